#include "parse.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "options.h"

namespace {

struct TextGrammar : testing::Test {
  void SetUp() override {
    resetOptions();
    initTextSet();
  }
};

struct ImageGrammar : testing::Test {
  void SetUp() override {
    resetOptions();
    initImageSet();
  }
};

// The message a parse ends with, or "" when it succeeds; as in a
// standalone run, the include directive is read.
std::string textError(const char* s, bool readInclude = true) {
  try {
    parseTextOptions(s, readInclude);
  } catch (const FatalError& e) {
    EXPECT_EQ(e.status, 255);
    return e.message;
  }
  return "";
}

std::string imageError(const char* s) {
  try {
    parseImageOptions(s);
  } catch (const FatalError& e) {
    EXPECT_EQ(e.status, 255);
    return e.message;
  }
  return "";
}

TEST_F(TextGrammar, FlagsWithAndWithoutDashesAndBlanks) {
  parseTextOptions(nullptr);
  EXPECT_EQ(opt.text_printer.toner_saver, 0);
  parseTextOptions("tED");
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  EXPECT_EQ(opt.text_printer.render_enhance, 1);
  EXPECT_EQ(opt.text_printer.duplex, 2);
  SetUp();
  parseTextOptions("-t -E -d -r -F");
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  EXPECT_EQ(opt.text_printer.duplex, 3);
  EXPECT_EQ(opt.text_landscape, 1);
  EXPECT_EQ(opt.text_ignore_formfeed, 1);
  EXPECT_EQ(textError("--t"), "Unknown option '-'\n");
  EXPECT_EQ(textError("-x"), "Unknown option 'x'\n");
  EXPECT_EQ(textError("- \t-t"), "");  // blank after a dash does nothing
  for (const char* dash : {"-t -", "-t -\n", "-", "-\n-t"})  // no key
    EXPECT_EQ(textError(dash), "Unknown option '-'\n") << dash;
}

TEST_F(TextGrammar, EmptyStringsAndNewlinesEndTheString) {
  for (const char* s : {"", "   ", "\n-t", "  \n -t", "-D\n-t"}) {
    SetUp();
    parseTextOptions(s);
    EXPECT_EQ(opt.text_printer.toner_saver, 0) << s;
  }
}

TEST_F(TextGrammar, NumbersTouchTheirKey) {
  parseTextOptions("-l66 -w80");
  EXPECT_EQ(opt.text_lines, 66u);
  EXPECT_EQ(opt.spool_length, 66u);
  EXPECT_EQ(opt.text_columns, 80u);
  EXPECT_EQ(opt.spool_width, 80u);
  EXPECT_EQ(opt.text_lines_set, 1);
  EXPECT_EQ(opt.text_lines_explicit, 1);
  EXPECT_EQ(opt.text_columns_set, 1);

  SetUp();
  parseTextOptions("-l0");
  EXPECT_EQ(opt.text_lines, 66u);
  EXPECT_EQ(opt.text_lines_set, 0);

  SetUp();
  EXPECT_EQ(textError("-l 66"), "Unknown option '6'\n");
  EXPECT_EQ(opt.text_lines, 66u);  // stored before the error
  EXPECT_EQ(opt.text_lines_set, 1);

  SetUp();
  parseTextOptions("-l60x -e4");  // rest of the word ignored
  EXPECT_EQ(opt.text_lines, 60u);
  EXPECT_EQ(opt.text_tab_width, 4u);
}

// Copies, font sizes and tab widths out of range are refused; the value
// before stays.
TEST_F(TextGrammar, NumbersInRange) {
  const struct {
    const char* option;
    unsigned* field;
    unsigned value;  // what the option stores; 7 (the value before): refused
  } cases[] = {
      {"-Nc=0", &opt.text_printer.copies, 0},       {"-Nc=999", &opt.text_printer.copies, 999},
      {"-Nc=1000", &opt.text_printer.copies, 7},    {"-Nc=-3", &opt.text_printer.copies, 7},
      {"-Nc=99999999999", &opt.text_printer.copies, 7},
      {"-s1000", &opt.text_font_size, 1000}, {"-s1001", &opt.text_font_size, 7},
      {"-s0", &opt.text_font_size, 7},      {"-s-3", &opt.text_font_size, 7},
      {"-s99999999999", &opt.text_font_size, 7},
      {"-e0", &opt.text_tab_width, 0},      {"-e1000", &opt.text_tab_width, 1000},
      {"-e1001", &opt.text_tab_width, 7},
      {"-l10000", &opt.text_lines, 10000}, {"-l10001", &opt.text_lines, 7},
      {"-l-5", &opt.text_lines, 7},         {"-w9999", &opt.text_columns, 9999},
      {"-w10000", &opt.text_columns, 7},    {"-w-1", &opt.text_columns, 7},
      {"-o1000", &opt.text_left_margin, 1000}, {"-o-3", &opt.text_left_margin, 7},
      {"-L1001", &opt.text_top_margin, 7},  {"-L-2", &opt.text_top_margin, 7},
  };
  for (const auto& c : cases) {
    SetUp();
    *c.field = 7;
    bool refused = c.value == 7;
    EXPECT_EQ(textError(c.option),
              refused ? "Unknown option '" + std::string(c.option) + "'\n" : "");
    EXPECT_EQ(*c.field, c.value) << c.option;
  }
  EXPECT_EQ(imageError("-Nc=1000"), "Unknown option '-Nc=1000'\n");
}

TEST_F(TextGrammar, FontSizeAndMarginsInLines) {
  EXPECT_EQ(textError("-sx"), "Unknown option 'x'\n");
  EXPECT_EQ(opt.text_font_size, 10u);
  parseTextOptions("-s12");
  EXPECT_EQ(opt.text_font_size, 12u);
  parseTextOptions("-s");  // the last character: nothing
  EXPECT_EQ(opt.text_font_size, 12u);

  parseTextOptions("-mg=1:1:1:1 -L3");
  EXPECT_EQ(opt.text_top_margin, 3u);
  EXPECT_EQ(opt.text_top_margin_given, 1);
  EXPECT_EQ(opt.text_use_page_margins, 0);
  SetUp();
  EXPECT_EQ(textError("-o"), "");  // flags set even without a number
  EXPECT_EQ(opt.text_left_margin_given, 1);
}

TEST_F(TextGrammar, JogCopiesCollatePolicy) {
  parseTextOptions("-Jjob");
  EXPECT_EQ(opt.text_printer.jog, 1);
  EXPECT_EQ(opt.text_printer.jog_set, 1);
  EXPECT_EQ(textError("-Jsetx"), "Unknown option 'x'\n");
  EXPECT_EQ(opt.text_printer.jog, 3);
  EXPECT_EQ(textError("J"), "Unknown option ''\n");
  // The forms the option tool writes.
  const struct {
    const char* text;
    int jog, set;
  } jogs[] = {{"-J0", 0, 1},         {"-J3", 3, 1},   {"-J2", 2, 1},
              {"-J99999999999", 1000, 1}, {"-JN", 0, 1}, {"-JU=bob", 99, 0},
              {"-JU=", 99, 0},       {nullptr, 0, 0}};
  for (int i = 0; jogs[i].text; ++i) {
    SetUp();
    opt.text_printer.jog = 99;
    EXPECT_EQ(textError(jogs[i].text), "") << jogs[i].text;
    EXPECT_EQ(opt.text_printer.jog, jogs[i].jog) << jogs[i].text;
    EXPECT_EQ(opt.text_printer.jog_set, jogs[i].set) << jogs[i].text;
  }
  // Any other jog word is refused, quoted up to its end.
  for (const char* bad : {"-J2x", "-JNo", "-J-1", "-J", "-Jbob", "-JU"})
    EXPECT_EQ(textError(bad), std::string("Unknown option '") + bad + "'\n");
  EXPECT_EQ(textError("-J U=x"), "Unknown option '-J'\n");

  parseTextOptions("-Nc=3x -Cl -C2");
  EXPECT_EQ(opt.text_printer.copies, 3u);
  EXPECT_EQ(opt.text_printer.collate, 1);
  EXPECT_EQ(opt.text_printer.page_size_policy, 2u);
  EXPECT_EQ(opt.text_printer.page_size_policy_set, 1);
  EXPECT_EQ(textError("-Nx=3"), "Unknown option '-Nx=3'\n");
  SetUp();
  EXPECT_EQ(textError("-Cx"), "Unknown option 'x'\n");
  EXPECT_EQ(opt.text_printer.page_size_policy_set, 0);
}

TEST_F(TextGrammar, FontsAndStamps) {
  parseTextOptions("-Hf -t");  // empty font word: next word read as keys
  EXPECT_EQ(opt.text_printer.stamp.font, "Helvetica");
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  parseTextOptions("-HfTimes-Roman -fGothic");
  EXPECT_EQ(opt.text_printer.stamp.font, "Times-Roman");
  EXPECT_EQ(opt.text_font, "Gothic");

  parseTextOptions("-Hd=ur");
  EXPECT_EQ(opt.text_printer.stamp.position, 1);
  EXPECT_EQ(opt.text_printer.stamp.user_slot, 1);
  EXPECT_EQ(opt.text_printer.stamp.host_slot, 2);
  EXPECT_EQ(opt.text_printer.stamp.date_slot, 0);
  EXPECT_EQ(opt.text_printer.stamp.pages, 999);

  parseTextOptions("-Hd=dl:tuh:a");
  EXPECT_EQ(opt.text_printer.stamp.position, 2);
  EXPECT_EQ(opt.text_printer.stamp.date_slot, 1);
  EXPECT_EQ(opt.text_printer.stamp.user_slot, 2);
  EXPECT_EQ(opt.text_printer.stamp.host_slot, 3);
  EXPECT_EQ(opt.text_printer.stamp.pages, 2);

  SetUp();
  parseTextOptions("-Hd=ul:t");
  EXPECT_EQ(opt.text_printer.stamp.date_slot, 1);
  EXPECT_EQ(opt.text_printer.stamp.user_slot, 0);
  EXPECT_EQ(opt.text_printer.stamp.host_slot, 0);

  parseTextOptions("-Hd=dr::f");  // empty list: page letters from the fifth
  EXPECT_EQ(opt.text_printer.stamp.position, 3);
  EXPECT_EQ(opt.text_printer.stamp.user_slot, 1);
  EXPECT_EQ(opt.text_printer.stamp.pages, 1);
  parseTextOptions("-Hd=ul:uu:af");  // repeated letter keeps later place
  EXPECT_EQ(opt.text_printer.stamp.user_slot, 2);
  EXPECT_EQ(opt.text_printer.stamp.pages, 1);

  EXPECT_EQ(textError("-Hd=xx"), "Unknown option 'xx'\n");
  EXPECT_EQ(textError("-Hx"), "Unknown option 'x'\n");
  // Font names are PostScript names in the document: no delimiters.
  for (const char* bad : {"/Courier", "Courier)", "a[b", "x%y"}) {
    EXPECT_EQ(textError((std::string("-f") + bad).c_str()), "Unknown option '" + std::string(bad) + "'\n");
    EXPECT_EQ(textError((std::string("-Hf") + bad).c_str()), "Unknown option '" + std::string(bad) + "'\n");
    EXPECT_EQ(textError((std::string("-Kk=") + bad).c_str()), "Unknown option '" + std::string(bad) + "'\n");
  }
  EXPECT_EQ(imageError("-Hf<x>"), "Unknown option '<x>'\n");
}

TEST_F(TextGrammar, JapaneseFontsAndEncodings) {
  EXPECT_EQ(opt.text_kanji_font, "Ryumin-Light-H");
  EXPECT_EQ(opt.text_kana_font, "Ryumin-Light-Hankaku");
  EXPECT_EQ(opt.text_encoding, ENCODING_Auto);
  parseTextOptions("-Kg -t");
  EXPECT_EQ(opt.text_kanji_font, "GothicBBB-Medium-H");
  EXPECT_EQ(opt.text_kana_font, "GothicBBB-Medium-Hankaku");
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  parseTextOptions("-Kk=Ryumin-Light-H -Kh= -Kh=Kana -fCourier-Bold");
  EXPECT_EQ(opt.text_kanji_font, "Ryumin-Light-H");
  EXPECT_EQ(opt.text_kana_font, "Kana");
  EXPECT_EQ(opt.text_font, "Courier-Bold");
  const struct {
    const char* option;
    int encoding;
  } encodings[] = {{"-Ke=UTF-8", ENCODING_Utf8},  {"-Ke=sjis", ENCODING_Sjis},
                   {"-Ke=CP932", ENCODING_Sjis},  {"-Ke=euc-jp", ENCODING_Euc},
                   {"-Ke=auto", ENCODING_Auto},   {nullptr, 0}};
  for (auto* e = encodings; e->option; ++e) {
    parseTextOptions(e->option);
    EXPECT_EQ(opt.text_encoding, e->encoding) << e->option;
  }
  EXPECT_EQ(textError("-Ke=latin1"), "Unknown option 'latin1'\n");
  EXPECT_EQ(textError("-Ke="), "Unknown option ''\n");
  EXPECT_EQ(textError("-Kx=a"), "Unknown option '-Kx=a'\n");
  EXPECT_EQ(opt.text_line_pitch, 0);
  parseTextOptions("-Kp=1.75");
  EXPECT_EQ(opt.text_line_pitch, 1.75);
  EXPECT_EQ(textError("-Kp=4.5"), "Unknown option '4.5'\n");
  EXPECT_EQ(textError("-Kp=1.5x"), "Unknown option '1.5x'\n");
  EXPECT_EQ(imageError("-Kg"), "Unknown option 'K'\n");
}

TEST_F(TextGrammar, PageMargins) {
  parseTextOptions("-mg=1:0.5:0.5:1");
  EXPECT_EQ(opt.text_page_margins[0], 1.0);
  EXPECT_EQ(opt.text_page_margins[1], 0.5);
  EXPECT_EQ(opt.text_page_margins[2], 0.5);
  EXPECT_EQ(opt.text_page_margins[3], 1.0);
  EXPECT_EQ(opt.text_use_page_margins, 1);
  EXPECT_EQ(opt.text_page_margins_given, 1);
  parseTextOptions("-l60");
  EXPECT_EQ(opt.text_use_page_margins, 0);

  EXPECT_EQ(textError("-mg=1:2"), "Unknown option '1:2'\n");
  EXPECT_EQ(textError("-mx"), "Unknown option '-mx'\n");
  SetUp();
  parseTextOptions("-mg= -t");
  EXPECT_EQ(opt.text_use_page_margins, 0);
  EXPECT_EQ(opt.text_printer.toner_saver, 1);

  double m[4] = {9, 9, 9, 9};
  EXPECT_EQ(readMargins("1::3:", m), 1);  // empty field keeps, empty last is 0
  EXPECT_EQ(m[0], 1.0);
  EXPECT_EQ(m[1], 9.0);
  EXPECT_EQ(m[2], 3.0);
  EXPECT_EQ(m[3], 0.0);
  EXPECT_EQ(readMargins("2:3:4:5:6", m), 1);
  EXPECT_EQ(m[3], 5.0);
}

TEST_F(TextGrammar, PostScriptAndTwoColumns) {
  EXPECT_EQ(textError("-pq"), "Unknown option 'pq'\n");
  EXPECT_EQ(textError("-p300"), "Unknown option 'p300'\n");
  parseTextOptions("-psx");
  EXPECT_EQ(opt.text_force_postscript, 1);
}

TEST_F(TextGrammar, TwoFollowedByAKey) {
  EXPECT_EQ(textError("-2x"), "Unknown option 'x'\n");
  EXPECT_EQ(opt.text_two_line, 0);
  parseTextOptions("-2");
  EXPECT_EQ(opt.text_two_line, 1);
  SetUp();
  parseTextOptions("-2 -t");
  EXPECT_EQ(opt.text_two_line, 1);
}

TEST_F(TextGrammar, InputAndOutputKeys) {
  parseTextOptions("-IA4 -t -Oof");
  EXPECT_EQ(opt.text_printer.input_tray, 5);
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  EXPECT_EQ(opt.text_printer.output_tray, 3);
  parseTextOptions("-I 210x297mm");
  EXPECT_EQ(opt.text_printer.input_tray, 18);
  EXPECT_EQ(textError("-Ia4"), "Unknown option 'a4'\n");
}

TEST_F(TextGrammar, HostileStringsEndCleanly) {
  std::string longWord = "-f" + std::string(100000, 'F');
  parseTextOptions(longWord.c_str());
  EXPECT_EQ(opt.text_font.size(), 100000u);
  std::string manyNumbers;
  for (int i = 0; i < 20000; ++i) manyNumbers += "-l5 ";
  parseTextOptions(manyNumbers.c_str());
  EXPECT_EQ(opt.text_lines, 5u);
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  EXPECT_NE(textError(bytes.c_str()), "");
  EXPECT_EQ(textError("-l99999999999999999999"),
            "Unknown option '-l99999999999999999999'\n");
}

TEST_F(ImageGrammar, ImageOnlyKeys) {
  parseImageOptions("-G4 -n -r -p 300");
  EXPECT_EQ(opt.image_g4, 1);
  EXPECT_EQ(opt.image_no_showpage, 1);
  EXPECT_EQ(opt.image_rotate, 1);
  EXPECT_EQ(opt.image_width_points, 300u);
  EXPECT_EQ(opt.image_points_given, 1);
  parseImageOptions("-l=1,2.5");
  EXPECT_EQ(opt.image_offset_x, 1.0);
  EXPECT_EQ(opt.image_offset_y, 2.5);
  parseImageOptions("-l=3");  // first number alone still counts
  EXPECT_EQ(opt.image_offset_x, 3.0);
  EXPECT_EQ(imageError("-G3"), "Unknown option '-G3'\n");
  for (const char* key : {"-2", "-<zavpsif>", "-F", "-L1", "-e4", "-fX",
                          "-mg=1:1:1:1", "-o1", "-w80"})
    EXPECT_EQ(imageError(key), std::string("Unknown option '") + key[1] +
                                   "'\n");
}

TEST_F(ImageGrammar, SizeAndFitWidthExcludeEachOther) {
  parseImageOptions("-s=2,2 -S=3");
  EXPECT_EQ(opt.image_fit_width_given, 1);
  EXPECT_EQ(opt.image_size_given, 1);
  parseImageOptions("-s=2,2");
  EXPECT_EQ(opt.image_fit_width_given, 0);
  EXPECT_EQ(imageError("-Sx"), "Unknown option '-Sx'\n");
  EXPECT_EQ(imageError("-s2,2"), "Unknown option '-s2,2'\n");
}

TEST_F(ImageGrammar, SizesAndOffsetsThatHideThePictureAreRefused) {
  for (const char* word : {"-S=inf", "-S=nan", "-S=0", "-S=-1", "-S=1e-30",
                           "-S=1e9", "-s=inf,1", "-s=1,nan", "-s=0,2",
                           "-l=nan,1", "-l=1,-inf", "-l=1e9,0",
                           "-p0", "-p9999999"}) {
    SetUp();
    EXPECT_EQ(imageError(word), std::string("Unknown option '") + word + "'\n");
  }
  parseImageOptions("-S=0.5 -s=40,30 -l=-1,99 -p7200");
  EXPECT_EQ(opt.image_fit_width_inch, 0.5);
  EXPECT_EQ(opt.image_size_given, 1);
  EXPECT_EQ(opt.image_offset_x, -1.0);
  EXPECT_EQ(opt.image_width_points, 7200u);
}

TEST_F(ImageGrammar, SharedKeysWriteTheImageSet) {
  parseImageOptions("-D -t -E -Nc=2 -Cl -C1 -Jset -Oce -ILT -Hd=dr -HfTimes");
  EXPECT_EQ(opt.image_printer.duplex, 2);
  EXPECT_EQ(opt.image_printer.toner_saver, 1);
  EXPECT_EQ(opt.image_printer.render_enhance, 1);
  EXPECT_EQ(opt.image_printer.copies, 2u);
  EXPECT_EQ(opt.image_printer.collate, 1);
  EXPECT_EQ(opt.image_printer.page_size_policy_set, 1);
  EXPECT_EQ(opt.image_printer.jog, 3);
  parseImageOptions("-J2 -JU=x");
  EXPECT_EQ(opt.image_printer.jog, 2);
  EXPECT_EQ(opt.image_printer.output_tray, 1);
  EXPECT_EQ(opt.image_printer.input_tray, 9);
  EXPECT_EQ(opt.image_printer.stamp.position, 3);
  EXPECT_EQ(opt.image_printer.stamp.font, "Times");
  EXPECT_EQ(opt.text_printer.duplex, 0);
  EXPECT_EQ(opt.text_printer.copies, 0u);
}

// A defaults file in a temporary directory.
struct DefaultsFile : testing::Test {
  void SetUp() override {
    resetOptions();
    initTextSet();
    char templ[] = "/tmp/zavps-parse-XXXXXX";
    dir = mkdtemp(templ);
    path = dir + "/.zavpsdefault";
  }
  void TearDown() override {
    unlink(path.c_str());
    rmdir(dir.c_str());
  }
  void write(const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  std::optional<std::string> find(const std::string& name) {
    std::string problem;
    return findFilterLine(name, *readDefaultsFile(path, &problem));
  }
  std::string dir, path;
};

TEST_F(DefaultsFile, FindsTheFirstLineOfTheFilter) {
  write("#zavpsif -D\nzavpsvf -G4\n  zavpsif -t\nzavpsif -E\n");
  EXPECT_EQ(find("zavpsif"), " -t\n");
  EXPECT_EQ(find("zavpsvf"), " -G4\n");
  EXPECT_EQ(find("zavpsg4f"), std::nullopt);
  write("zavpsif");
  EXPECT_EQ(find("zavpsif"), "");
  write("zavpsifq -t\n");
  EXPECT_EQ(find("zavpsif"), "q -t\n");
  EXPECT_EQ(textError(find("zavpsif")->c_str()), "Unknown option 'q'\n");
}

TEST_F(DefaultsFile, LongLinesAreReadWhole) {
  std::string pad(600, ' ');
  write("zavpsvf" + pad + "zavpsif -D\nzavpsif " + pad + "-t\n");
  EXPECT_EQ(find("zavpsif"), " " + pad + "-t\n");
}

TEST_F(DefaultsFile, OnlySmallRegularFilesAreRead) {
  const struct {
    const char* make;  // shell command; $F is the file
    const char* problem;
    size_t size;
  } cases[] = {
      {"", "", 0},
      {"mkfifo $F", "not a regular file", 0},
      {"ln -s /dev/zero $F", "not a regular file", 0},
      {"mkdir $F", "not a regular file", 0},
      {"head -c 65537 /dev/zero > $F", "larger than 64 KiB", 0},
      {"head -c 65536 /dev/zero > $F", "", 65536},
  };
  for (const auto& c : cases) {
    std::string sh = std::string("F=") + path + "; rm -rf $F; " + c.make;
    ASSERT_EQ(0, system(sh.c_str()));
    std::string problem = "x";
    std::optional<std::string> content = readDefaultsFile(path, &problem);
    EXPECT_EQ(c.problem, problem) << c.make;
    EXPECT_EQ(c.size > 0, content.has_value()) << c.make;
    if (content) {
      EXPECT_EQ(c.size, content->size());
    }
    std::string rm = "rm -rf " + path;
    ASSERT_EQ(0, system(rm.c_str()));
  }
}

TEST_F(DefaultsFile, IncludeReadsTheUsersTextLineOnce) {
  const char* oldHome = getenv("HOME");
  std::string saved = oldHome ? oldHome : "";
  setenv("HOME", dir.c_str(), 1);
  write("zavpsif -t <zavpsif> -D\n");
  EXPECT_EQ(textError("-E <zavpsif> -r"), "");
  EXPECT_EQ(opt.text_printer.render_enhance, 1);
  EXPECT_EQ(opt.text_printer.toner_saver, 1);
  EXPECT_EQ(opt.text_printer.duplex, 2);
  EXPECT_EQ(opt.text_landscape, 1);
  EXPECT_EQ(textError("-<other>"), "Unknown option '<other>'\n");
  write("zavpsif -x\n");
  EXPECT_EQ(textError("<zavpsif>"), "Unknown option 'x'\n");
  // Under a spooler the running user is not the job's owner.
  EXPECT_EQ(textError("<zavpsif>", false), "");
  unlink(path.c_str());
  EXPECT_EQ(textError("<zavpsif>"), "");  // no file: nothing changes
  unsetenv("HOME");
  EXPECT_EQ(textError("<zavpsif>"), "");
  if (oldHome) setenv("HOME", saved.c_str(), 1);
}

}  // namespace
