#include "options.h"

#include <gtest/gtest.h>

namespace {

struct Options : testing::Test {
  void SetUp() override { resetOptions(); }
};

int readInput(const std::string& text) {
  std::string s = text;
  int code = -1;
  readInputKeyword(s, 0, &code);
  return code;
}

std::string errorOf(void (*f)(const std::string&), const std::string& s) {
  try {
    f(s);
  } catch (const FatalError& e) {
    return e.message + "/" + std::to_string(e.status);
  }
  return "no error";
}

TEST_F(Options, DefaultsOfBothSets) {
  EXPECT_EQ(opt.input_selection->kind, INPUT_Paper);
  EXPECT_EQ(opt.input_selection->paper_id, 1);
  initTextSet();
  EXPECT_EQ(opt.text_lines, 66u);
  EXPECT_EQ(opt.text_columns, 132u);
  EXPECT_EQ(opt.text_tab_width, 8u);
  EXPECT_EQ(opt.text_font_size, 10u);
  EXPECT_EQ(opt.text_printer.copies, 1u);
  EXPECT_EQ(opt.text_font, "Courier");
  EXPECT_EQ(opt.text_printer.stamp.font, "Helvetica");
  EXPECT_EQ(opt.text_printer.stamp.position, 999);
  EXPECT_EQ(opt.image_printer.copies, 0u);  // the other set stays zero
  initImageSet();
  EXPECT_EQ(opt.image_width_inch, 1.0);
  EXPECT_EQ(opt.image_height_inch, 1.0);
  EXPECT_EQ(opt.image_offset_x, 0.25);
  EXPECT_EQ(opt.image_offset_y, 0.25);
  EXPECT_EQ(opt.image_offset_given, 1);
  EXPECT_EQ(opt.image_printer.copies, 1u);
  EXPECT_EQ(opt.image_printer.stamp.position, 999);
}

TEST_F(Options, InputKeywords) {
  EXPECT_EQ(readInput("A4"), 5);
  EXPECT_EQ(opt.input_selection->kind, INPUT_Paper);
  EXPECT_EQ(readInput(" 3"), 3);
  EXPECT_EQ(opt.input_selection->kind, INPUT_Tray);
  EXPECT_EQ(opt.input_selection->tray_id, 3);
  EXPECT_EQ(readInput("LP210x900"), 17);
  EXPECT_EQ(opt.input_selection->paper_id, 13);

  auto fails = [](const std::string& s) {
    return errorOf([](const std::string& t) { readInput(t); }, s);
  };
  EXPECT_EQ(fails("a4"), "Unknown option 'a4'\n/255");
  EXPECT_EQ(fails("A3"), "Unknown option 'A3'\n/255");
  EXPECT_EQ(fails("A4x"), "Unknown option 'A4x'\n/255");
  EXPECT_EQ(fails("8x10"), "Unknown option '8x10'\n/255");
  // A tab does not end the keyword; a newline ends the whole string.
  EXPECT_EQ(fails("A4\t-t"), "Unknown option 'A4\t-t'\n/255");
  EXPECT_EQ(readInput("A4\n-t"), 5);
}

TEST_F(Options, KeywordConsumesTrailingBlanksAndCutsAtNewline) {
  std::string s = "A4   -t";
  int code = 0;
  EXPECT_EQ(readInputKeyword(s, 0, &code), 5u);
  s = "  ";
  EXPECT_EQ(readInputKeyword(s, 0, &code), 2u);
  s = "A4\n-t";
  EXPECT_EQ(readInputKeyword(s, 0, &code), 2u);
  EXPECT_EQ(s, "A4");
}

TEST_F(Options, CustomSizes) {
  EXPECT_EQ(readInput("210x297mm"), 18);
  EXPECT_EQ(opt.input_selection->kind, INPUT_Custom);
  EXPECT_EQ(opt.custom_width_points, 595);
  EXPECT_EQ(opt.custom_height_points, 842);
  EXPECT_EQ(opt.custom_unit, 0);
  EXPECT_EQ(checkPaperSize(18), 1);

  readInput("8.5x11in");
  EXPECT_EQ(opt.custom_width_points, 612);
  EXPECT_EQ(opt.custom_height_points, 792);
  readInput("8.555x11in");  // cut to 8.55
  EXPECT_FLOAT_EQ(opt.custom_width_value, 8.55f);
  EXPECT_EQ(opt.custom_width_points, 616);
  readInput("612.9x792pt");  // points keep no decimals
  EXPECT_EQ(opt.custom_width_points, 612);
  EXPECT_EQ(opt.custom_unit, 2);

  EXPECT_EQ(readInput("-100x150mm"), 0);  // manual feed
  EXPECT_EQ(opt.input_selection->kind, INPUT_Invalid);
  EXPECT_EQ(opt.custom_width_points, 283);
  EXPECT_EQ(opt.custom_height_points, 425);
  EXPECT_EQ(checkPaperSize(0), 1);
}

TEST_F(Options, PaperSizeCheckLimits) {
  auto check = [](const std::string& size) {
    readInput(size);
    return checkPaperSize(18);
  };
  EXPECT_EQ(check("70x297mm"), -2);
  EXPECT_EQ(check("216x297mm"), -1);
  EXPECT_EQ(check("215.99x297mm"), 1);  // cut to 215.9, the limit itself
  EXPECT_EQ(check("75.5x127mm"), 1);
  EXPECT_EQ(check("100x126.9mm"), -2);
  EXPECT_EQ(check("100x355.7mm"), -1);
  EXPECT_EQ(check("2.97x5in"), 1);
  EXPECT_EQ(check("8.51x14in"), -1);
  EXPECT_EQ(check("214x360pt"), 1);
  EXPECT_EQ(check("613x400pt"), -1);
  EXPECT_EQ(check("axbmm"), -2);  // numbers that do not convert give 0
  EXPECT_EQ(check("nanxnanmm"), -2);
  EXPECT_EQ(check("1e30x1e30mm"), -1);
  EXPECT_EQ(checkPaperSize(5), 1);
}

TEST_F(Options, OutputKeywordsAndNames) {
  std::string s = "of";
  int code = 0;
  readOutputKeyword(s, 0, &code);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorOf(
                [](const std::string& t) {
                  std::string c = t;
                  int k;
                  readOutputKeyword(c, 0, &k);
                },
                "xx"),
            "Unknown option 'xx'\n/255");
  EXPECT_STREQ(inputKeywordName(17), "LP210x900");
  EXPECT_STREQ(inputKeywordName(5), "A4");
  EXPECT_EQ(inputKeywordName(18), nullptr);
  EXPECT_EQ(inputKeywordName(0), nullptr);
  EXPECT_STREQ(outputKeywordName(2), "re");
  EXPECT_EQ(outputKeywordName(0), nullptr);
}

TEST_F(Options, LongWordsAreQuotedWhole) {
  std::string word(5000, 'Q');
  EXPECT_EQ(errorOf([](const std::string& t) { readInput(t); }, word),
            "Unknown option '" + word + "'\n/255");
}

}  // namespace
