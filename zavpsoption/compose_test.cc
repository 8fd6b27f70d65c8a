#include "compose.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "defaults.h"
#include "options.h"
#include "parse.h"
#include "printeroptions.h"
#include "tooltest.h"

namespace {

const char kNewFile[] = "zavpsif\nzavpsof\nzavpsvf\nzavpsg4f\n";

// `file` with the four filters' lines composed for the command line
// `args`; `found` tells whether any filter line was there.
std::string compose(const std::string& file,
                    const std::vector<std::string>& args,
                    bool* found = nullptr) {
  ToolSettings tool = toolFor(args);
  std::vector<std::string> lines = splitLines(file);
  bool any = false;
  for (int i = 0; filterNames[i]; ++i)
    any |= composeFilterLines(lines, filterNames[i],
                              filterSettings(tool, filterNames[i]));
  if (found) *found = any;
  std::string out;
  for (const std::string& line : lines) out += line;
  return out;
}

TEST(Compose, NewFile) {
  EXPECT_EQ(compose(kNewFile, {"-IA4", "-D"}),
            "zavpsif -IA4 -D\nzavpsof -IA4\nzavpsvf -IA4 -D\n"
            "zavpsg4f -IA4 -D\n");
  EXPECT_EQ(compose(kNewFile, {}), kNewFile);
  // -ps only for the text filter, -G4 only for the run-length image filter.
  EXPECT_EQ(compose(kNewFile, {"-ps", "-G4", "-Oof", "-t"}),
            "zavpsif -Oof -t -ps\nzavpsof -Oof\nzavpsvf -Oof -t -G4\n"
            "zavpsg4f -Oof -t\n");
  // A custom size on the three filter lines, a bare -I on zavpsof.
  EXPECT_EQ(compose(kNewFile, {"-I210x297mm"}),
            "zavpsif -I210x297mm\nzavpsof -I\nzavpsvf -I210x297mm\n"
            "zavpsg4f -I210x297mm\n");
}

TEST(Compose, AppendOrder) {
  EXPECT_EQ(compose("zavpsif\n", {"-Hftimes", "-Hd=ul", "-JU=bob", "-ps",
                                  "-Cl", "-Nc=2", "-J2", "-C3", "-E", "-t",
                                  "-d", "-Oce", "-ILT"}),
            "zavpsif -ILT -Oce -d -t -E -C3 -J2 -Nc=2 -Cl -ps -JU=bob -Hd=ul "
            "-Hftimes\n");
  EXPECT_EQ(compose("zavpsg4f\n", {"-JN", "-Hd=dl"}),
            "zavpsg4f -JN -Hd=dl\n");
}

TEST(Compose, RemoveReplaceKeep) {
  // Removed options take their blanks with them; one blank stays after
  // the name.
  EXPECT_EQ(compose("zavpsif -IA4 -t -D\n", {"-Oof"}), "zavpsif -Oof\n");
  EXPECT_EQ(compose("zavpsif   -s9  -IA4 \t\n", {"-Oof"}),
            "zavpsif -s9 -Oof\n");
  EXPECT_EQ(compose("zavpsif -s12 -IA4\n", {"-ILT"}), "zavpsif -s12 -ILT\n");
  // A replacement takes the old option's place, whatever its length.
  EXPECT_EQ(compose("zavpsif -ICOM10 -t\n", {"-IA4", "-t"}),
            "zavpsif -IA4 -t\n");
  EXPECT_EQ(compose("zavpsif -ICOM10\n", {"-IA4"}), "zavpsif -IA4\n");
  // A longer one moves the rest right.
  EXPECT_EQ(compose("zavpsif -I3 -t\n", {"-ILP210x900", "-t"}),
            "zavpsif -ILP210x900 -t\n");
  EXPECT_EQ(compose("zavpsvf -ps -G4\n", {"-G4"}), "zavpsvf -G4\n");
  EXPECT_EQ(compose("zavpsif -d -T\n", {"-D", "-t"}), "zavpsif -D -T\n");
  EXPECT_EQ(compose("zavpsif -Cl -C3\n", {"-C5"}), "zavpsif -C5\n");
  EXPECT_EQ(compose("zavpsif -Cl -C3\n", {"-Cl"}), "zavpsif -Cl\n");
  EXPECT_EQ(compose("zavpsif -J -Nc=3\n", {"-J2", "-Nc=12"}),
            "zavpsif -J2 -Nc=12\n");
  EXPECT_EQ(compose("zavpsif -Oce -E -Nc=3 -Hd=ul -Hfx -ps -G4\n",
                    {"-Oof", "-ps"}),
            "zavpsif -Oof -ps\n");
  EXPECT_EQ(compose("zavpsif -Hd=ul:uht -Hf Times -E\n",
                    {"-Hd=dr", "-HfHelvetica", "-E"}),
            "zavpsif -Hd=dr -HfHelvetica -E\n");
  // Flags are kept by their letters only: "-tE" is "-t" and the token "E".
  EXPECT_EQ(compose("zavpsif -tE\n", {"-t"}), "zavpsif -tE\n");
  EXPECT_EQ(compose("zavpsif -tE\n", {}), "zavpsif E\n");
}

TEST(Compose, JogForms) {
  EXPECT_EQ(compose("zavpsif -JU=bob\n", {"-JN"}), "zavpsif -JN\n");
  EXPECT_EQ(compose("zavpsif -JN\n", {"-J2"}), "zavpsif -J2\n");
  EXPECT_EQ(compose("zavpsif -JU=al -J0\n", {"-JU=bob"}),
            "zavpsif -JU=bob\n");
  // Each form keeps its place, so a second run changes nothing.
  EXPECT_EQ(compose("zavpsif -J2 -JN\n", {"-J2", "-JN"}), "zavpsif -J2 -JN\n");
  EXPECT_EQ(compose("zavpsif -JN\n", {"-JN"}), "zavpsif -JN\n");
}

TEST(Compose, SecondRunChangesNothing) {
  const std::vector<std::string> all = {
      "-IA4",  "-Oof", "-D",  "-t",  "-E",  "-C3",    "-J2",
      "-Nc=2", "-Cl",  "-ps", "-G4", "-JN", "-Hd=ur", "-Hfx"};
  for (const std::string& line :
       {std::string(kNewFile), std::string("zavpsif -tE -Dx -I A4 -s9\n"),
        std::string("zavpsvf -JU=u -ICOM10 -G4 -ps -Nc=1")}) {
    std::string once = compose(line, all);
    EXPECT_EQ(compose(once, all), once) << line;
  }
}

TEST(Compose, OptionValues) {
  // A value may stand apart; a separate word beginning with '-' is not one.
  EXPECT_EQ(compose("zavpsif -I A4 -O ce -t\n", {}), "zavpsif\n");
  EXPECT_EQ(compose("zavpsif -I -t\n", {"-IA4", "-t"}), "zavpsif -IA4 -t\n");
  // An attached value is the option's own, even when it begins with '-'.
  EXPECT_EQ(compose("zavpsif -I-70x297mm -t\n", {"-IA4", "-t"}),
            "zavpsif -IA4 -t\n");
  // zavpsof has no text for a custom size: an existing value stays.
  EXPECT_EQ(compose("zavpsof -IA4 -Oce\n", {"-I210x297mm"}),
            "zavpsof -IA4\n");
  // Text the tool does not manage is left alone.
  EXPECT_EQ(compose("zavpsif -s12 -f Courier -w80 -x\n", {"-t"}),
            "zavpsif -s12 -f Courier -w80 -x -t\n");
}

TEST(Compose, WhichLines) {
  bool found = false;
  std::string others =
      "# zavpsif -D\n#zavpsif -D\nlpr -D\n\nzavpsifq -t\n zavpsvfx -t\n";
  EXPECT_EQ(compose(others, {"-IA4"}, &found), others);
  EXPECT_TRUE(found);  // "zavpsifq" begins with the name
  EXPECT_EQ(compose("# only a comment\nlpr -D\n", {"-IA4"}, &found),
            "# only a comment\nlpr -D\n");
  EXPECT_FALSE(found);
  // Both lines of a filter, with leading blanks or a tab after the name.
  EXPECT_EQ(compose("zavpsif -D\n  zavpsif\t-D -s9\n", {"-t"}),
            "zavpsif -t\n  zavpsif -s9 -t\n");
  EXPECT_EQ(compose("zavpsif -D\r\n", {"-D"}), "zavpsif -D\n");
}

TEST(Compose, LineWithoutNewline) {
  EXPECT_EQ(compose("lpr\nzavpsif -D", {"-IA4", "-D"}),
            "lpr\nzavpsif -D -IA4\n");
  EXPECT_EQ(compose("zavpsif", {"-t"}), "zavpsif -t\n");
  EXPECT_EQ(compose("zavpsif\nlpr -x", {"-t"}), "zavpsif -t\nlpr -x");
}

TEST(Compose, LongLines) {
  // Edited as one line, however long.
  std::string middle;
  for (int i = 0; i < 80; ++i) middle += " -s12";
  EXPECT_EQ(compose("zavpsif" + middle + " -IA4 -t\n", {"-ILT"}),
            "zavpsif" + middle + " -ILT\n");
  // A long line of something else is not split into pieces that match.
  std::string other = "lpr " + std::string(300, 'x') + " zavpsif -D\n";
  EXPECT_EQ(compose(other + "zavpsvf\n", {"-t"}), other + "zavpsvf -t\n");
  std::string font(127, 'F');
  EXPECT_EQ(compose("zavpsif -Hfx -D\n", {"-Hf" + font}),
            "zavpsif -Hf" + font + "\n");
}

// What the filters read from a composed file.
std::optional<std::string> lineOf(const std::string& file,
                                  const std::string& name) {
  return findFilterLine(name, file);
}

TEST(Compose, FiltersReadWhatIsWritten) {
  std::string file =
      compose("zavpsif -s12 -ICOM10 -t -fCourier-Bold\n" + std::string(kNewFile),
              {"-IA4", "-Oof", "-D", "-E", "-C3", "-Nc=2", "-Cl", "-Hd=ur",
               "-Hftimes", "-ps", "-G4"});
  resetOptions();
  initTextSet();
  ASSERT_TRUE(lineOf(file, "zavpsif"));
  parseTextOptions(lineOf(file, "zavpsif")->c_str());
  EXPECT_EQ(opt.text_font_size, 12u);
  EXPECT_EQ(opt.text_font, "Courier-Bold");
  EXPECT_EQ(opt.text_printer.input_tray, 5);
  EXPECT_EQ(opt.text_printer.output_tray, 3);
  EXPECT_EQ(opt.text_printer.duplex, 2);
  EXPECT_EQ(opt.text_printer.toner_saver, 0);
  EXPECT_EQ(opt.text_printer.render_enhance, 1);
  EXPECT_EQ(opt.text_printer.page_size_policy, 3u);
  EXPECT_EQ(opt.text_printer.copies, 2u);
  EXPECT_EQ(opt.text_printer.collate, 1);
  EXPECT_EQ(opt.text_printer.stamp.position, 1);
  EXPECT_EQ(opt.text_printer.stamp.font, "times");
  EXPECT_EQ(opt.text_force_postscript, 1);

  resetOptions();
  initImageSet();
  ASSERT_TRUE(lineOf(file, "zavpsvf"));
  parseImageOptions(lineOf(file, "zavpsvf")->c_str());
  EXPECT_EQ(opt.image_g4, 1);
  EXPECT_EQ(opt.image_printer.input_tray, 5);
  EXPECT_EQ(opt.image_printer.copies, 2u);
  resetOptions();
  initImageSet();
  ASSERT_TRUE(lineOf(file, "zavpsg4f"));
  parseImageOptions(lineOf(file, "zavpsg4f")->c_str());
  EXPECT_EQ(opt.image_g4, 0);
  EXPECT_EQ(opt.image_printer.duplex, 2);

  file = compose(kNewFile, {"-I8.5x11in"});
  resetOptions();
  initTextSet();
  parseTextOptions(lineOf(file, "zavpsif")->c_str());
  EXPECT_EQ(opt.text_printer.input_tray, 18);
  EXPECT_EQ(opt.custom_width_points, 612);
  EXPECT_EQ(opt.custom_height_points, 792);

  // Every jog form the tool writes is read; the last one wins.
  file = compose(kNewFile, {"-J3", "-JU=bob"});
  resetOptions();
  initTextSet();
  parseTextOptions(lineOf(file, "zavpsif")->c_str());
  EXPECT_EQ(opt.text_printer.jog, 3);
}

// The tool's argument, after the row's letter, for each printer option.
const std::map<std::string, std::string> kToolArguments = {
    {"I", "B5"}, {"C", "3"},    {"O", "of"},    {"D", ""},      {"N", "c=4"},
    {"Cl", "l"}, {"J", "2"},    {"Hd=", "d=dl"}, {"Hf", "fTimes"}, {"t", ""},
    {"E", ""},
};

// Every printer option the tool has a letter for comes out of the
// composer as that option's key, which the filters' grammar reads.
TEST(Compose, EveryToolLetterReachesTheFilters) {
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    if (!o->letter) continue;
    std::string arg = std::string("-") + o->letter + kToolArguments.at(o->key);
    std::string file = compose("zavpsif\n", {arg});
    ASSERT_EQ(file.compare(0, 9, "zavpsif -"), 0) << arg;
    EXPECT_EQ(printerOptionAt(file, 9), o) << arg << " " << file;
    resetOptions();
    initTextSet();
    const PrinterSettings initial = opt.text_printer;
    parseTextOptions(lineOf(file, "zavpsif")->c_str());
    EXPECT_FALSE(opt.text_printer == initial) << arg;
  }
}

}  // namespace
