#include "cups.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>

#include "options.h"

namespace {

std::string joined(const std::vector<CupsOption>& options) {
  std::string s;
  for (const CupsOption& o : options) s += o.name + "=" + o.value + "|";
  return s;
}

TEST(Cups, OptionsArgumentAsCupsWritesIt) {
  const struct {
    const char* text;
    const char* options;
  } cases[] = {
      {"media=A4 Collate", "media=A4|Collate=true|"},
      {"noCollate zavps-options=-2\\ -s9", "Collate=false|zavps-options=-2 -s9|"},
      {"a='x y' b=\"p 'q'\" c=", "a=x y|b=p 'q'|c=|"},
      {"  no  ", "no=true|"},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(joined(parseCupsOptions(c.text)), c.options) << c.text;
}

TEST(Cups, CommandLine) {
  const char* good[] = {"zavpscups-text", "7", "ann", "My report", "2", "", "f"};
  CupsJob job = readCupsJob(7, const_cast<char**>(good));
  EXPECT_EQ(job.user, "ann");
  EXPECT_EQ(job.title, "My report");
  EXPECT_EQ(job.copies, 2u);
  EXPECT_STREQ(job.file, "f");
  EXPECT_EQ(readCupsJob(6, const_cast<char**>(good)).file, nullptr);
  const char* badCopies[] = {"x", "7", "ann", "t", "-1", ""};
  for (int argc : {1, 5, 8}) {
    try {
      readCupsJob(argc, const_cast<char**>(good));
      ADD_FAILURE() << argc;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.status, 1);
    }
  }
  EXPECT_THROW(readCupsJob(6, const_cast<char**>(badCopies)), FatalError);
}

struct Mapped {
  const char* options;
  unsigned copies;
  bool text;
  const char* words;
  const char* flags;  // the keys of the options switched off; w a warning
};

std::string flags(const CupsRequest& r) {
  std::string f;
  for (const PrinterOption* o : r.off) f += o->key;
  return f + (r.warnings.empty() ? "" : "w");
}

TEST(Cups, OptionsMapToTheOptionLanguage) {
  const Mapped cases[] = {
      {"media=A4 sides=two-sided-long-edge Collate", 2, true, "-Nc=2 -IA4 -D -Cl", ""},
      {"PageSize=Custom.595x842", 1, true, "-IA4", ""},
      {"PageSize=Custom.300x500", 1, true, "-I300x500pt", ""},
      {"PageSize=Custom.21x29.7cm", 1, false, "-IA4", ""},
      {"PageSize=Custom.100.5x200mm", 1, true, "-I100.5x200mm", ""},
      {"PageSize=Custom.1e3x2in", 1, true, "", "w"},
      {"media=na_letter_8.5x11in,Tray2 PageSize=ZV210x900mm", 1, true,
       "-ILT -I2 -ILP210x900", ""},
      {"InputSlot=Tray3 PageSize=A5", 1, true, "-IA5 -I3", ""},
      {"media=iso_a3_297x420mm", 1, true, "-I297x420mm", ""},
      {"OutputBin=OCT Duplex=DuplexTumble", 1, false, "-Oof -d", ""},
      {"sides=one-sided noCollate", 1, true, "", "DCl"},
      {"sides=one-sided Duplex=DuplexNoTumble", 1, true, "-D", ""},
      {"orientation-requested=4", 1, false, "-r", ""},
      {"landscape", 1, true, "-r", ""},
      {"page-top=72 page-left=36", 1, true, "-mg=1:0:0:0.5", ""},
      {"page-top=72 page-left=36", 1, false, "", ""},
      {"page-top=-3", 1, true, "", "w"},
      {"zavps-jog=set zavps-enhance=true zavps-stamp=ur:uht zavps-toner-saver",
       1, true, "-Hd=ur:uht -t -E -Jset", ""},
      {"zavps-stamp='ur -D'", 1, true, "", "w"},
      {"nozavps-toner-saver zavps-enhance=no", 1, true, "", "tE"},
      {"foo=bar media=Tabloid", 1, true, "", "w"},
      {"multiple-document-handling=separate-documents-collated-copies", 3,
       false, "-Nc=3 -Cl", ""},
  };
  for (const Mapped& c : cases) {
    CupsRequest r = mapCupsOptions(parseCupsOptions(c.options), c.copies, c.text);
    EXPECT_EQ(r.options, c.words) << c.options;
    EXPECT_EQ(flags(r), c.flags) << c.options;
  }
  CupsRequest own = mapCupsOptions(parseCupsOptions("zavps-options='-2 -s9' -D"), 1, true);
  EXPECT_EQ(own.own, "-2 -s9");
}

// Every choice of the PPD maps without a warning, and the PPD reaches
// every tray and paper keyword of the option language.
TEST(Cups, PpdChoicesCoverTheKeywordTables) {
  std::ifstream ppd(ZAVPS_PPD_TEMPLATE);
  ASSERT_TRUE(ppd) << ZAVPS_PPD_TEMPLATE;
  const std::regex choice(
      R"(^\*(PageSize|InputSlot|OutputBin|Duplex|Collate|zavps-[a-z-]+) ([^/:]+)[/:].*)");
  std::string line, words;
  std::set<std::string> options;
  for (std::smatch m; std::getline(ppd, line);) {
    if (!std::regex_match(line, m, choice)) continue;
    options.insert(m[1]);
    CupsRequest r = mapCupsOptions({{m[1], m[2]}}, 1, true);
    EXPECT_TRUE(r.warnings.empty()) << line;
    words += " " + r.options + " ";
  }
  EXPECT_EQ(options.size(), 8u);
  for (const InputKeyword* k = inputkeytab; k->name; ++k)
    EXPECT_NE(words.find(std::string(" -I") + k->name + " "), std::string::npos)
        << k->name;
  for (const OutputKeyword* k = outputkeytab; k->name; ++k)
    EXPECT_NE(words.find(std::string(" -O") + k->name + " "), std::string::npos)
        << k->name;
}

}  // namespace
