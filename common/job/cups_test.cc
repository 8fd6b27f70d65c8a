#include "cups.h"

#include <gtest/gtest.h>

#include <unistd.h>

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

std::string words(const CupsRequest& r) {
  std::string s;
  for (const CupsWords& w : r.options) s += (s.empty() ? "" : " ") + w.words;
  return s;
}

std::string flags(const CupsRequest& r) {
  std::string f;
  for (const PrinterOption* o : r.off) f += o->key;
  return f + (r.warnings.empty() ? "" : "w");
}

TEST(Cups, OptionsMapToTheOptionLanguage) {
  const Mapped cases[] = {
      {"media=A4 sides=two-sided-long-edge Collate", 2, true, "-Nc=2 -IA4 -D -Cl", ""},
      {"PageSize=Custom.595x842", 1, true, "-Nc=1 -IA4", ""},
      {"PageSize=Custom.300x500", 1, true, "-Nc=1 -I300x500pt", ""},
      {"PageSize=Custom.21x29.7cm", 1, false, "-Nc=1 -IA4", ""},
      {"PageSize=custom.100.5x200MM", 1, true, "-Nc=1 -I100.5x200mm", ""},
      {"PageSize=Custom.1e3x2in", 1, true, "-Nc=1", "w"},
      {"media=na_letter_8.5x11in,Tray2 PageSize=ZV210x900mm", 1, true,
       "-Nc=1 -ILT -ILP210x900 -I2", ""},
      // The PPD's name for the long paper; a bare size needs its unit.
      {"PageSize=210x900mm media=210x297MM", 1, true, "-Nc=1 -IA4 -ILP210x900", ""},
      {"media=100x200", 1, true, "-Nc=1", "w"},
      {"media=A4,Tray2 PageSize=A4", 1, true, "-Nc=1 -IA4 -IA4 -I2", ""},
      {"MEDIA=a4,tray2 pagesize=a4", 1, true, "-Nc=1 -IA4 -IA4 -I2", ""},
      {"InputSlot=Tray3 PageSize=A5", 1, true, "-Nc=1 -IA5 -I3", ""},
      {"media=iso_a3_297x420mm", 1, true, "-Nc=1 -I297x420mm", ""},
      {"OutputBin=OCT Duplex=DuplexTumble", 1, false, "-Nc=1 -Oof -d", ""},
      {"outputbin=oct duplex=duplextumble", 1, false, "-Nc=1 -Oof -d", ""},
      {"sides=one-sided noCollate", 1, true, "-Nc=1", "DCl"},
      {"sides=one-sided Duplex=DuplexNoTumble", 1, true, "-Nc=1 -D", ""},
      {"collate=TRUE SIDES=Two-Sided-Long-Edge", 1, true, "-Nc=1 -D -Cl", ""},
      {"orientation-requested=4", 1, false, "-Nc=1 -r", ""},
      {"Landscape", 1, true, "-Nc=1 -r", ""},
      {"page-top=72 page-left=36", 1, true, "-Nc=1 -mg=1:0:0:0.5", ""},
      {"page-top=72 page-left=36", 1, false, "-Nc=1", ""},
      {"page-top=-3", 1, true, "-Nc=1", "w"},
      {"zavps-jog=set zavps-enhance=true zavps-stamp=UR:uht zavps-toner-saver",
       1, true, "-Nc=1 -Hd=ur:uht -t -E -Jset", ""},
      {"zavps-stamp='ur -D'", 1, true, "-Nc=1", "w"},
      {"nozavps-toner-saver zavps-enhance=no", 1, true, "-Nc=1", "tE"},
      {"foo=bar media=Tabloid", 1, true, "-Nc=1", "w"},
      {"multiple-document-handling=separate-documents-collated-copies", 3,
       false, "-Nc=3 -Cl", ""},
  };
  for (const Mapped& c : cases) {
    CupsRequest r = mapCupsOptions(parseCupsOptions(c.options), c.copies, c.text);
    EXPECT_EQ(words(r), c.words) << c.options;
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
    words += " " + ::words(r) + " ";
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

namespace {

// A bad value of a known option is ignored with a warning; a word of the
// user's own zavps-options the grammar refuses stops the job.
TEST(Cups, RefusedValuesAreIgnored) {
  const struct {
    const char* options;
    bool fails;
  } cases[] = {
      {"zavps-stamp=middle PageSize=Custom.9000x9000 Duplex=DuplexTumble", false},
      {"zavps-options=-Q", true},
  };
  for (const auto& c : cases) {
    CupsJob job;
    job.copies = 3;
    job.options = c.options;
    JobContext run;
    run.name = "zavpsif";
    run.mode = RunMode::CupsFilter;
    if (c.fails) {
      EXPECT_THROW(applyCupsJob(job, true, run), FatalError) << c.options;
      continue;
    }
    applyCupsJob(job, true, run);
    EXPECT_EQ(opt.text_printer.stamp.position, kNoStamp) << c.options;
    EXPECT_EQ(opt.text_printer.input_tray, 0) << c.options;
    EXPECT_EQ(opt.text_printer.duplex, 3) << c.options;
    EXPECT_EQ(opt.text_printer.copies, 3u) << c.options;
  }
}

}  // namespace

namespace {

// The queue's defaults from $PPD apply where the job's options say
// nothing; a default the printer cannot take is ignored.
TEST(Cups, QueueDefaultsFromThePpd) {
  char path[] = "/tmp/zavps-ppd-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::string ppd =
      "*DefaultOutputBin: RearTray\n*DefaultDuplex: DuplexTumble\n"
      "*Defaultzavps-jog: job\r\n*DefaultPageSize: Bogus\n*DefaultFont: Courier\n";
  ASSERT_EQ(write(fd, ppd.data(), ppd.size()), static_cast<ssize_t>(ppd.size()));
  close(fd);
  EXPECT_EQ(joined(ppdDefaults(ppd)),
            "OutputBin=RearTray|Duplex=DuplexTumble|zavps-jog=job|"
            "PageSize=Bogus|Font=Courier|");
  setenv("PPD", path, 1);
  CupsJob job;
  job.options = "sides=one-sided";
  JobContext run;
  run.name = "zavpsif";
  run.mode = RunMode::CupsFilter;
  applyCupsJob(job, true, run);
  unsetenv("PPD");
  unlink(path);
  const PrinterSettings& set = opt.text_printer;
  EXPECT_EQ(set.output_tray, 2);
  EXPECT_EQ(set.duplex, 0);
  EXPECT_EQ(set.jog, 1);
  EXPECT_EQ(set.input_tray, 0);
}

}  // namespace
