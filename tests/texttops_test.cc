// Whole-program tests of texttops under its three names, with Ghostscript
// as the printer.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "run.h"

namespace {

RunResult texttops(const std::vector<std::string>& args,
                   const std::string& input = "",
                   const std::string& name = "texttops") {
  std::vector<std::string> argv = {bin(name)};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv, {input, {"TEXTTOPSOPTION", "LC_ALL=C"}, ""});
}

std::string lines(int n, const std::string& text = "line") {
  std::string s;
  for (int i = 1; i <= n; ++i) s += text + " " + std::to_string(i) + "\n";
  return s;
}

#define EXPECT_PRINTS(doc)                      \
  do {                                          \
    std::string why_;                           \
    EXPECT_TRUE(printsCleanly(doc, &why_)) << why_; \
  } while (0)

TEST(TexttopsProgram, MessagesAndStatuses) {
  RunResult r = texttops({"-"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Usage: " + bin("texttops") +
                       " [ -c -w width -l length -i indent -n login -h host -I "
                       "input -O output] [-d|-D] filename\n");
  EXPECT_EQ(r.out, "");
  r = texttops({"-V"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "texttops version = " ZAVPS_VERSION "\n");
  r = texttops({"-V"}, "", "zavpsif");
  EXPECT_EQ(r.err, "zavpsif version = " ZAVPS_VERSION "\n");
  for (const char* name : {"zavposttxt", "zavpsif"}) {
    r = texttops({"-q"}, "x\n", name);
    EXPECT_EQ(r.status, std::string(name) == "zavpsif" ? 2 : 255);  // discard
    EXPECT_EQ(r.err, std::string(name) == "zavpsif"
                         ? "zavpsif: job of ?@?: Unknown option 'q'\n"
                         : "Unknown option 'q'\n");
    EXPECT_EQ(r.out, "");
  }
  r = texttops({"-I8x10"});
  EXPECT_EQ(r.err, "Unknown option '8x10'\n");
  r = texttops({"-I2x3in"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "Illegal paper size\n");
  // Without LOGNAME the stamp's user comes from the user database.
  r = run({bin("texttops"), "-Hd=ul"}, {"x\n", {"LOGNAME", "TEXTTOPSOPTION"}, ""});
  EXPECT_EQ(r.out.find("(User: "), std::string::npos);
  EXPECT_NE(r.out.find("(User:"), std::string::npos);
  // -h and --help name margins, stamps, two columns, landscape and
  // Japanese; under the spooler's name it answers with the version on
  // standard error, which is the printer's log.
  for (const char* help : {"-h", "--help"}) {
    r = texttops({"-w80", help});
    EXPECT_EQ(r.status, 0) << help;
    EXPECT_EQ(r.err, "") << help;
    for (const char* option : {"-mg=", "-Hd=", " -2 ", " -r ", "-Ke=", "-Kg"})
      EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
  r = texttops({"--version"});
  EXPECT_EQ(r.out, "texttops version = " ZAVPS_VERSION "\n");
  r = texttops({"-w80", "--help"}, "", "zavpsif");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zavpsif version = " ZAVPS_VERSION "\n");
}

TEST(TexttopsProgram, EnvironmentOptionsOnlyUnderItsOwnName) {
  RunResult r = run({bin("texttops")}, {"x\n", {"TEXTTOPSOPTION=-D"}, ""});
  EXPECT_NE(r.out.find("/Duplex true"), std::string::npos);
  r = run({bin("zavposttxt")}, {"x\n", {"TEXTTOPSOPTION=-D"}, ""});
  EXPECT_EQ(r.out.find("/Duplex true"), std::string::npos);
  r = run({bin("texttops"), "-Nc=2"}, {"x\n", {"TEXTTOPSOPTION=-x"}, ""});
  EXPECT_EQ(r.err, "Unknown option 'x'\n");
}

TEST(TexttopsProgram, OneDocumentPerFileAndMissingFiles) {
  TempDir dir;
  std::string a = dir.write("a.txt", "first\n");
  std::string b = dir.write("b.ps", "%!PS\nshowpage\n");
  RunResult r = texttops({a, b, dir.path + "/missing"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "texttops: " + dir.path + "/missing: No such file or directory\n");
  EXPECT_NE(r.out.find("%%Title: " + a + "\n"), std::string::npos);
  EXPECT_NE(r.out.find("(first\\012) LS\n"), std::string::npos);
  EXPECT_NE(r.out.find("xpsav restore\n%!PS\nshowpage\n"), std::string::npos);
  // After "--", a name that begins with a dash is a file.
  std::string dashed = dir.write("-s9", "dashed\n");
  r = run({bin("texttops"), "--", "-s9"}, {"", {"TEXTTOPSOPTION"}, dir.path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("(dashed\\012) LS\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n10 /Courier"), std::string::npos);  // not read as -s9
}

TEST(TexttopsProgram, EmptyInputPrintsNothing) {
  RunResult r = texttops({}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_PRINTS(r.out);
  EXPECT_EQ(pagesPrinted(r.out), 0);
  r = texttops({"-l60"}, "");
  EXPECT_NE(r.out.find("%%Pages: 0\n"), std::string::npos);
  EXPECT_PRINTS(r.out);
}

TEST(TexttopsProgram, PagesInBothLayouts) {
  RunResult r = texttops({"-l60"}, lines(130));
  EXPECT_NE(r.out.find("%%Pages: 3\n"), std::string::npos);
  EXPECT_EQ(pagesPrinted(r.out), 3);
  // The stream layout leaves page breaks to the printer.
  r = texttops({}, lines(250));
  EXPECT_EQ(r.out.find("%%Page:"), std::string::npos);
  int pages = pagesPrinted(r.out);
  EXPECT_GE(pages, 3);
  EXPECT_LE(pages, 4);
  r = texttops({}, "one\fTwo\fthree\n");
  EXPECT_EQ(pagesPrinted(r.out), 3);
  r = texttops({"-l60", "-2"}, lines(130));
  EXPECT_EQ(pagesPrinted(r.out), 2);
}

TEST(TexttopsProgram, LayoutsAndOptionsPrintCleanly) {
  std::string text = lines(80, "text (with) \\ escapes\tand tabs") +
                     "back\b\bspace\n\fform feed\n";
  std::vector<std::vector<std::string>> cases = {
      {},
      {"-mg=1:0.5:0.5:1"},
      {"-r"},
      {"-2", "-r", "-l40"},
      {"-w40", "-l50", "-o4", "-L2"},
      {"-w30"},
      {"-2", "-mg=0.5:0.5:0.5:0.5"},
      {"-s14", "-fTimes-Roman"},
      {"-F", "-e4"},
      {"-I2"},
      {"-I2", "-C2"},
      {"-ILT", "-C0"},
      {"-IA5", "-C1"},
      {"-I210x297mm"},
      {"-I8x10in", "-C2"},
      {"-I-100x150mm"},
      {"-Oce", "-Nc=2", "-Cl"},
      {"-Ore", "-D"},
      {"-Oof", "-d", "-Jjob"},
      {"-Jset", "-Nc=3"},
      {"-t"},
      {"-E", "-t"},
  };
  for (const auto& args : cases) {
    RunResult r = texttops(args, text);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string why;
    EXPECT_TRUE(printsCleanly(r.out, &why))
        << testing::PrintToString(args) << "\n" << why;
  }
}

// ASCII quotes are code and shell text: the straight apostrophe and the
// grave accent, not the curly quotes of Latin-1 and the standard encoding.
TEST(TexttopsProgram, AsciiQuotesPrintAsThemselves) {
  const std::string query =
      "currentfont /FDepVector get 0 get /Encoding get dup 39 get == "
      "dup 96 get == 233 get ==\n";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"-w60", "-2"}, {"-r", "-fTimes-Roman"}, {"-Ke=utf-8"}}) {
    RunResult r = texttops(args, "echo 'it' `date`\n");
    std::string doc = r.out;
    doc.insert(doc.find("%%Trailer"), query);
    RunResult gs = ghostscript(doc, {"-sDEVICE=nullpage"});
    EXPECT_EQ(gs.out, "/quotesingle\n/grave\n/eacute\n")
        << testing::PrintToString(args) << gs.err;
  }
}

// Only a document with kana or kanji has the printer find the Japanese
// fonts, once, even when they first appear on a later page.
TEST(TexttopsProgram, JapaneseFontsFoundOnlyWhenNeeded) {
  const std::string logged =
      "/findfont {dup == systemdict /findfont get exec} bind def\n";
  const std::string kanji = "kanji \xb0\xa1\n";
  const struct {
    std::vector<std::string> args;
    std::string text;
    bool japanese;
  } cases[] = {{{}, lines(100), false},
               {{"-l60", "-2"}, lines(100), false},
               {{}, lines(100) + kanji + kanji, true},
               {{"-l60"}, lines(100) + kanji + lines(100) + kanji, true}};
  for (const auto& c : cases) {
    RunResult r = texttops(c.args, c.text);
    RunResult gs = ghostscript(logged + r.out);
    // The English font, then the kana and kanji fonts.
    size_t found = std::count(gs.out.begin(), gs.out.end(), '\n');
    EXPECT_EQ(found > 1, c.japanese)
        << testing::PrintToString(c.args) << gs.out << gs.err;
  }
}

// The rule character wraps early, but not in a column too narrow for it.
TEST(TexttopsProgram, RuleCharacterInANarrowColumnPrints) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-s200", "-2"}, {"-mg=0:0:2:2", "-2"}, {"-s200", "-2", "-w9"}}) {
    RunResult r = texttops(args, "a_b\nfoo_bar\n_\n");
    int pages = pagesPrinted(r.out);
    EXPECT_TRUE(pages > 0 && pages < 5) << pages << testing::PrintToString(args);
  }
}

TEST(TexttopsProgram, JapaneseControlsAndLongLinesPrintCleanly) {
  std::string euc = "kana \x8e\xb1\x8e\xb2\x8e\xb3 kanji \xb0\xa1\xb0\xa2\xc6\xfc"
                    "\xcb\xdc mixed \x07\x01\x7f\n";
  std::string longLine;
  for (int i = 0; i < 2000; ++i) longLine += "(\xb0\xa1\x8e\xb1x";
  longLine += "\n";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"-l60"}, {"-w20"}, {"-l60", "-w20", "-2"}}) {
    RunResult r = texttops(args, euc + longLine + euc + "trailing\xb0");
    ASSERT_EQ(r.status, 0);
    std::string why;
    EXPECT_TRUE(printsCleanly(r.out, &why))
        << testing::PrintToString(args) << "\n" << why;
  }
}

// The document as it was before the one-show and grid procedures: none in
// the prolog (everything after GS), every string handed to MS, WS or GS,
// and the stamp worked out on each page.
std::string perCharacter(std::string doc) {
  size_t from = doc.find("} def\n", doc.find("\n/GS\n")) + 6;
  doc.erase(from, doc.find("end\n%%EndProlog\n") - from);
  const std::string fixedEnd = "end grestore def\n";
  if (size_t at = doc.find("gsave initgraphics"); at != std::string::npos)
    doc.erase(at, doc.find(fixedEnd, at) + fixedEnd.size() - at);
  const char* const swaps[][2] = {{" FW\n", " WS\n"}, {" LS\n", " MS\n"},
                                  {" LW\n", " WS\n"}};
  for (const auto& s : swaps)
    for (size_t at = doc.find(s[0]); at != std::string::npos;
         at = doc.find(s[0], at))
      doc.replace(at, 4, s[1]);
  // The byte counts the body gives FT, FN and GF go with them.
  doc = std::regex_replace(doc, std::regex(R"(\) (JX? )?-?\d+ \d+ \d+ F[TN]\n)"),
                           ") $1MS\n");
  return std::regex_replace(doc, std::regex(R"(\) (JX? )?-?\d+ \d+ \d+ GF\n)"),
                            ") $1GS\n");
}

// Pages at 150 dpi, one gray byte a pixel, all pages one after the other.
// Without the glyph cache: a glyph first measured by stringwidth and one
// first shown may be cached at different subpixel phases, which moves
// single pixels of later copies wherever they stand.
std::string rendered(const std::string& doc) {
  RunResult r = ghostscript(doc, {"-sDEVICE=pgmraw", "-r150", "-dNOCACHE",
                                  "-sOutputFile=-"});
  return r.status == 0 ? r.out : "gs failed: " + r.err;
}

TEST(TexttopsProgram, OneShowLinesPrintLikeCharacterByCharacter) {
  // Lines of every length around the right edge of a column and of the
  // sheet, some ending in the rule character, which wraps two columns early.
  std::string edges;
  for (int n = 36; n <= 136; n += n < 60 || n >= 84 ? 1 : 24)
    edges += std::string(n, 'x') + "\n" + std::string(n - 1, 'y') + "_\n";
  std::string ascii = lines(70, "plain (text) \\ line\twith\ttabs") +
                      "under\b\b__lined\b_\n\nform\ffeed\f\f" + edges;
  std::string euc = lines(30, "kana \x8e\xb1\x8e\xb2 kanji \xb0\xa1\xc6\xfc_") +
                    std::string(60, '\xb0') + "\n\x8e\xb1\xb0\xa1x\b_\n";
  std::string utf8 = lines(
      30, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xef\xbd\xb1 caf\xc3\xa9 \xe2\x91\xa0");
  std::string longLine;
  for (int i = 0; i < 300; ++i) longLine += "word" + std::to_string(i) + " ";
  longLine += "\n" + longLine;
  // Lines that wrap once or twice, of every length around the second
  // edge, with tabs and the rule character where the first line ends.
  std::string wraps;
  for (int n = 150; n <= 172; ++n)
    wraps += std::string(n, 'x') + "\n" + std::string(n - 1, 'y') + "_\n" +
             "a\tb" + std::string(n % 8 + 70, 'z') + "___" +
             std::string(n, 'w') + "\n";
  // Japanese lines that wrap, of every length around the edge: a kana or
  // a letter moves the kanji by a column, and a full stop is held to the
  // kanji before it.
  std::string jwraps;
  for (int n = 40; n <= 50; ++n) {
    std::string k;
    for (int i = 0; i < n; ++i) k += "\xb0\xa1";
    jwraps += "\x8e\xb1" + k + "\xa1\xa3x" + k + "\n" +
              std::string(n % 3, 'a') + k + k + "\xa1\xa2_\n";
  }
  std::string tiny = "ab\nc_\n", rules = "a_b\nfoo_bar\n_\n";
  struct Case {
    std::vector<std::string> args;
    const std::string& text;
    std::vector<const char*> calls;  // the one-show procedures the body uses
  } cases[] = {
      {{}, ascii, {") LS\n", " FT\n"}},
      {{"-w60"}, ascii, {") LW\n", ") FW\n"}},
      {{"-2", "-r"}, ascii, {") LS\n", " FT\n"}},
      {{"-2", "-s9", "-Hd=ul"}, ascii, {") LS\n", " FT\n"}},
      {{"-Hd=ul", "-s14", "-fTimes-Roman"}, ascii, {") LS\n", " FT\n"}},
      {{"-Hd=dr::a", "-2"}, euc, {" FT\n"}},
      {{"-w30"}, euc, {") FW\n"}},
      {{"-Ke=utf-8", "-r"}, utf8, {" FT\n"}},
      {{"-2"}, ascii + euc, {") LS\n", " FT\n"}},
      {{}, longLine, {" FT\n"}},
      {{"-Hd=ur"}, longLine, {" FT\n"}},
      {{"-w50", "-2", "-r"}, longLine, {") LW\n", ") FW\n"}},
      {{}, wraps, {") LS\n"}},
      {{"-2", "-r", "-Hd=ul"}, wraps, {") LS\n"}},
      {{"-s9", "-Hd=dr::a"}, wraps + euc, {") LS\n", " FT\n"}},
      {{}, jwraps, {" FN\n", " GF\n", " FT\n"}},
      {{"-2", "-r", "-Hd=ur"}, jwraps, {" FN\n", " GF\n", " FT\n"}},
      // Margins that leave room for one line, and for none.
      {{"-mg=5.7:5.7:1:1"}, tiny, {") LS\n"}},
      {{"-mg=6:6:1:1"}, tiny, {") LS\n"}},
      // Columns narrower than a character.
      {{"-mg=0:0:2:2", "-2"}, rules, {") LS\n"}},
  };
  for (const Case& c : cases) {
    RunResult r = texttops(c.args, c.text);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* call : c.calls)
      EXPECT_NE(r.out.find(call), std::string::npos)
          << call << testing::PrintToString(c.args);
    std::string fast = rendered(r.out);
    std::string slow = rendered(perCharacter(r.out));
    EXPECT_GT(fast.size(), 1000u) << fast.substr(0, 300);
    EXPECT_TRUE(fast == slow) << testing::PrintToString(c.args);
  }
}

TEST(TexttopsProgram, StampsInEveryPositionAndMode) {
  for (const char* pos : {"ul", "ur", "dl", "dr"}) {
    for (const char* mode : {"", ":uht:f", ":t:a", ":hu"}) {
      std::string stamp = std::string("-Hd=") + pos + mode;
      RunResult r = texttops({stamp, "-ILT"}, lines(150));
      ASSERT_EQ(r.status, 0) << r.err;
      std::string why;
      EXPECT_TRUE(printsCleanly(r.out, &why)) << stamp << "\n" << why;
    }
  }
  RunResult r = run({bin("zavpsif"), "-n", "a)b\\", "-h", "(pc1"},
                    {"x\n", {"TEXTTOPSOPTION"}, ""});
  EXPECT_EQ(r.status, 0);
}

TEST(TexttopsProgram, PassThroughPrintsWithSetupAndStamps) {
  std::string ps =
      "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n"
      "/Helvetica findfont 20 scalefont setfont\n"
      "72 720 moveto (page one) show\nshowpage\n"
      "72 720 moveto (page two) show\nshowpage\n";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"-Hd=ur"}, {"-Hd=ul::a", "-D", "-Nc=2", "-Cl"}, {"-t", "-E"},
           {"-I3", "-Oof", "-Jset"}}) {
    RunResult r = texttops(args, ps);
    std::string why;
    EXPECT_TRUE(printsCleanly(r.out, &why))
        << testing::PrintToString(args) << "\n" << why;
    bool twoCopies =
        std::find(args.begin(), args.end(), "-Nc=2") != args.end();
    EXPECT_EQ(pagesPrinted(r.out), twoCopies ? 4 : 2);
  }
  // The stamp, drawn as the page ends, leaves the document's dictionaries
  // alone, even a read-only one that is current then.
  RunResult r =
      texttops({"-Hd=ur::a"},
               "%!\n/XX 7 def /d 0 dict readonly def\n"
               "d begin showpage end\nXX 7 ne {stamp_changed_XX} if\n");
  EXPECT_PRINTS(r.out);
  EXPECT_EQ(pagesPrinted(r.out), 1);
  // On the sheet the document chooses, in the corner asked for.
  for (const char* corner : {"ur", "dl"}) {
    r = texttops({std::string("-Hd=") + corner},
                 "%!\n<< /PageSize [612 792] >> setpagedevice\nshowpage\n");
    std::vector<TextSpan> spans = textSpans(r.out);
    ASSERT_EQ(spans.size(), 1u) << corner;
    bool right = corner[0] == 'u';
    EXPECT_NEAR(right ? spans[0].x1 : spans[0].x0, right ? 597 : 12, 1) << corner;
    EXPECT_NEAR(spans[0].y0, right ? 22 : 777, 1) << corner;
  }
  r = texttops({"-ps"}, "72 72 moveto /Courier findfont 12 scalefont setfont "
                        "(forced) show showpage\n");
  EXPECT_EQ(r.out.rfind("%!\n72 72", 0), 0u);
  EXPECT_EQ(pagesPrinted(r.out), 1);
  r = texttops({}, "\x04%!\nshowpage\n");
  EXPECT_EQ(r.out, "\x04%!\nshowpage\n");
}

// Input that is not text, and output that cannot be written: standalone
// runs go on with the next file, the spooler is told to discard or retry.
TEST(TexttopsProgram, RefusedInputsAndWriteErrors) {
  TempDir dir;
  std::string binary = dir.write("a.out", std::string("\x7f" "ELF\2\1\0\0", 8));
  std::string text = dir.write("b.txt", "text\n");
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;
    bool document;
  } cases[] = {
      {"texttops", {dir.path, text}, "", 255,
       "texttops: " + dir.path + ": is a directory, not printed\n", true},
      {"texttops", {binary, text}, "", 255,
       "texttops: " + binary + ": binary file, not printed\n", true},
      {"zavpsif", {"-n", "ann", "-h", "pc1"}, std::string("\0\0\0", 3), 2,
       "zavpsif: job of ann@pc1: binary file, not printed\n", false},
  };
  for (const auto& c : cases) {
    RunResult r = texttops(c.args, c.input, c.name);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(!r.out.empty(), c.document) << c.err;
  }
  for (const char* name : {"texttops", "zavpsif"}) {
    RunResult r = run({"sh", "-c", "exec \"$0\" > /dev/full", bin(name)},
                      {"text\n", {}, ""});
    EXPECT_EQ(r.status, std::string(name) == "zavpsif" ? 1 : 255);  // retry
    EXPECT_EQ(r.err, std::string(name) == "zavpsif"
                         ? "zavpsif: job of ?@?: cannot write output: No space left on device\n"
                         : "texttops: cannot write output: No space left on device\n");
  }
}

// PDF goes through Ghostscript's ps2write and is passed through with the
// printer setup; what Ghostscript cannot read, or a host without it, is
// refused in one line.
TEST(TexttopsProgram, PdfThroughGhostscript) {
  TempDir dir;
  std::string ps = dir.write("two.ps",
      "%!PS\n/Courier findfont 20 scalefont setfont\n"
      "72 700 moveto (first pdf page) show showpage\n"
      "72 700 moveto (second pdf page) show showpage\n");
  std::string pdf = dir.path + "/two.pdf";
  ASSERT_EQ(run({"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pdfwrite",
                 "-o", pdf, ps}).status, 0);
  RunResult r = texttops({"-Hd=ur:u", pdf});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(pagesPrinted(r.out), 2);
  std::string words;
  for (const TextSpan& span : textSpans(r.out)) words += span.text + "|";
  EXPECT_NE(words.find("first pdf page"), std::string::npos) << words;
  EXPECT_NE(words.find("second pdf page"), std::string::npos) << words;
  EXPECT_NE(words.find("User:"), std::string::npos) << words;
  std::string acct = dir.write("acct", "");
  r = run({bin("zavpsif"), "-n", "ann", "-h", "pc1", acct}, {readFile(pdf), {}, ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(pagesPrinted(r.out), 2);
  EXPECT_EQ(readFile(acct), "PostScript\tpc1:ann\n");
  const struct {
    const char* name;
    std::string input;
    std::vector<std::string> env;
    int status;
    std::string err;
  } refused[] = {
      {"zavposttxt", "%PDF-1.5\n", {}, 255, "zavposttxt: stdin: PDF not printed: "},
      {"zavpsif", "%PDF-1.5\ngarbage\n", {}, 2, "zavpsif: job of ?@?: PDF not printed: "},
      {"zavpsif", readFile(pdf), {"PATH=/nonexistent"}, 2,
       "zavpsif: job of ?@?: PDF needs Ghostscript (gs), not printed\n"},
  };
  for (const auto& c : refused) {
    r = run({bin(c.name)}, {c.input, c.env, ""});
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(r.out, "");
  }
}

// UTF-16 with a byte order mark, either order, prints as the same text
// in UTF-8 does; a unit that is no character prints one geta mark.
TEST(TexttopsProgram, Utf16WithByteOrderMark) {
  auto dated = [](std::string doc) {
    size_t at = doc.find("%%CreationDate:");
    return doc.erase(at, doc.find('\n', at) - at);
  };
  const std::string utf8 = "caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac\n\x0cpage two\n";
  std::string want = dated(texttops({}, utf8).out);
  for (const char* order : {"UTF-16LE", "UTF-16BE"}) {
    std::string mark = order[6] == 'L' ? "\xff\xfe" : "\xfe\xff";
    std::string text = run({"iconv", "-f", "UTF-8", "-t", order}, {utf8, {}, ""}).out;
    EXPECT_TRUE(want == dated(texttops({}, mark + text).out)) << order;
  }
  // A lone low surrogate prints one geta mark.
  RunResult lone = texttops({}, std::string("\xff\xfe" "a\0\x00\xdc" "b\0", 8));
  EXPECT_EQ(0, lone.status);
  EXPECT_TRUE(dated(texttops({"-Ke=utf-8"}, "a\xe3\x80\x93" "b").out) == dated(lone.out));
}

// Where ink of a run of text can be: txtwrite gives only the baseline, so
// the box reaches a generous ascent above it and descent below it.
struct Box {
  double x0, y0, x1, y1;
  bool meets(const Box& o) const {
    return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
  }
  bool onSheet(double w, double h) const {
    const double slack = 1;  // txtwrite rounds to whole points
    return x0 >= -slack && y0 >= -slack && x1 <= w + slack && y1 <= h + slack;
  }
};

Box inkBox(const TextSpan& s) {
  double up = 0.8 * s.size, down = 0.25 * s.size;
  if (s.x0 == s.x1 && s.y0 != s.y1)  // turned: ascent toward smaller x
    return {s.x0 - up, std::min(s.y0, s.y1), s.x0 + down, std::max(s.y0, s.y1)};
  return {std::min(s.x0, s.x1), s.y0 - up, std::max(s.x0, s.x1), s.y0 + down};
}

// Sheet sizes in points of the paper keywords the tests use.
struct Sheet {
  const char* keyword;
  double w, h;
};
const Sheet kA4 = {"-IA4", 595, 842};
const Sheet kLetter = {"-ILT", 612, 792};

bool isStamp(const TextSpan& s) { return s.font == "Helvetica"; }

TEST(TexttopsProgram, RequestedLinesAndColumnsFitTheSheet) {
  struct Case {
    int lines;  // 0: the stream layout
    int columns;  // 0: none given, lines of 300 characters
    bool landscape, twoColumns;
    Sheet sheet;
  };
  const Case cases[] = {
      {66, 80, true, false, kA4},      {100, 132, false, false, kA4},
      {200, 200, false, true, kA4},    {20, 200, true, false, kLetter},
      {120, 100, true, true, kLetter}, {200, 20, false, false, kLetter},
      {20, 20, true, true, kA4},       {0, 150, false, false, kA4},
      {60, 0, false, false, kA4},      {40, 0, true, true, kLetter},
  };
  for (const Case& k : cases) {
    std::vector<std::string> args = {k.sheet.keyword};
    if (k.columns) args.push_back("-w" + std::to_string(k.columns));
    if (k.lines) args.push_back("-l" + std::to_string(k.lines));
    if (k.landscape) args.push_back("-r");
    if (k.twoColumns) args.push_back("-2");
    // Lines exactly as wide as the columns, a page full and one more.
    int perPage = (k.lines ? k.lines : 60) * (k.twoColumns ? 2 : 1);
    std::vector<std::string> input;
    std::string text;
    for (int i = 1; i <= perPage + 1; ++i) {
      std::string line = "[" + std::to_string(i) + "]";
      line.resize(static_cast<size_t>(k.columns ? k.columns : 300), '-');
      input.push_back(line);
      text += line + "\n";
    }
    RunResult r = texttops(args, text);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<TextSpan> spans = textSpans(r.out);
    // The text of each baseline (the stream layout shows one character at
    // a time).
    std::string found, offSheet;
    double baseline = -1;
    for (const TextSpan& s : spans) {
      double at = s.page * 10000.0 + (s.y0 == s.y1 ? s.y0 : s.x0);
      if (at != baseline) found += "\n";
      baseline = at;
      found += s.text;
      if (offSheet.empty() && !inkBox(s).onSheet(k.sheet.w, k.sheet.h))
        offSheet = s.text.substr(0, 8) + " on page " + std::to_string(s.page);
    }
    EXPECT_EQ(offSheet, "") << testing::PrintToString(args);
    // Two columns keep apart: no run of text crosses the middle.
    double mid = (k.landscape ? k.sheet.h : k.sheet.w) / 2.0;
    for (const TextSpan& s : spans) {
      double a0 = k.landscape ? k.sheet.h - s.y0 : s.x0;
      double a1 = k.landscape ? k.sheet.h - s.y1 : s.x1;
      if (k.twoColumns && a0 < mid && a1 > mid) {
        ADD_FAILURE() << testing::PrintToString(args) << " " << s.text.substr(0, 8)
                      << " runs from " << a0 << " to " << a1;
        break;
      }
    }
    if (!k.columns) {  // wrapped lines: the text goes on at the next line
      std::string all;
      for (char c : found)
        if (c != '\n') all += c;
      found = all;
    }
    for (const std::string &line : input)
      EXPECT_NE(found.find(line), std::string::npos)
          << testing::PrintToString(args) << ": " << line.substr(0, 8);
  }
}

// A long owner and host on a narrow sheet: the stamp is made smaller.
TEST(TexttopsProgram, LongStampsStayOnNarrowSheets) {
  TempDir dir;
  std::string file = dir.write("t.txt", "text\n");
  for (const char* corner : {"ur", "dl"}) {
    RunResult r = run({bin("zavpscups-text"), "1", std::string(40, 'u'), "t", "1",
                       std::string("media=A6 zavps-stamp=") + corner +
                           ":uht job-originating-host-name=pc12.lab.example-university.ac.jp",
                       file});
    ASSERT_EQ(r.status, 0) << r.err;
    bool found = false;
    for (const TextSpan& s : textSpans(r.out)) {
      if (!isStamp(s)) continue;
      found = true;
      EXPECT_TRUE(inkBox(s).onSheet(298, 420)) << corner << " " << s.x0 << ".." << s.x1;
    }
    EXPECT_TRUE(found) << corner;
  }
}

TEST(TexttopsProgram, StampsStandInTheirCornerClearOfTheText) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += std::string(200, 'w') + "\n";
  for (bool landscape : {false, true}) {
    for (const char* corner : {"ul", "ur", "dl", "dr"}) {
      std::vector<std::string> args = {std::string("-Hd=") + corner, "-IA4"};
      if (landscape) args.push_back("-r");
      RunResult r = texttops(args, text);
      ASSERT_EQ(r.status, 0) << r.err;
      std::vector<TextSpan> spans = textSpans(r.out);
      std::string what = testing::PrintToString(args);
      ASSERT_FALSE(spans.empty()) << what;
      int pages = spans.back().page;
      EXPECT_GE(pages, 2) << what;
      std::vector<int> stamps(static_cast<size_t>(pages) + 1);
      for (const TextSpan& s : spans) {
        if (!isStamp(s)) continue;
        ++stamps[static_cast<size_t>(s.page)];
        Box b = inkBox(s);
        EXPECT_TRUE(b.onSheet(kA4.w, kA4.h)) << what;
        // The corner on the sheet as it is read (turned to the left in
        // landscape: its top is the sheet's left edge).
        double across = (b.x0 + b.x1) / 2, down = (b.y0 + b.y1) / 2;
        bool left = landscape ? down > kA4.h / 2 : across < kA4.w / 2;
        bool top = landscape ? across < kA4.w / 2 : down < kA4.h / 2;
        EXPECT_EQ(left, corner[1] == 'l') << what;
        EXPECT_EQ(top, corner[0] == 'u') << what;
        for (const TextSpan& t : spans)
          if (t.page == s.page && !isStamp(t)) {
            EXPECT_FALSE(b.meets(inkBox(t))) << what << " page " << s.page;
          }
      }
      for (int p = 1; p <= pages; ++p)
        EXPECT_EQ(stamps[static_cast<size_t>(p)], 1) << what << " page " << p;
    }
  }
  // The first page of each document only, also when one output holds two.
  TempDir dir;
  std::string file = dir.write("text", text);
  std::vector<TextSpan> spans =
      textSpans(texttops({"-Hd=ur:uh:f", file, file}).out);
  ASSERT_FALSE(spans.empty());
  int pages = spans.back().page;
  std::vector<int> stamped;
  for (const TextSpan& s : spans)
    if (isStamp(s)) stamped.push_back(s.page);
  EXPECT_EQ(stamped, std::vector<int>({1, pages / 2 + 1}));
}

TEST(TexttopsProgram, PassedThroughPagesKeepTheirStamp) {
  if (!haveProgram("enscript")) GTEST_SKIP() << "needs enscript";
  // enscript sets up its page device itself, which clears the page.
  RunResult doc =
      run({"enscript", "-q", "-p", "-", "-M", "A4"}, {lines(150), {}, ""});
  ASSERT_EQ(doc.status, 0) << doc.err;
  for (const char* corner : {"ul::a", "ur", "dl", "dr::a"}) {
    std::string option = std::string("-Hd=") + corner;
    std::vector<TextSpan> spans = textSpans(texttops({option}, doc.out).out);
    ASSERT_FALSE(spans.empty());
    int pages = spans.back().page;
    EXPECT_GE(pages, 2);
    int stamped = 0;
    for (const TextSpan& s : spans) {
      if (!isStamp(s)) continue;
      ++stamped;
      EXPECT_EQ(s.x0 < kA4.w / 2, corner[1] == 'l') << option;
      EXPECT_EQ(s.y0 < kA4.h / 2, corner[0] == 'u') << option;
      if (corner[2] != ':') {
        EXPECT_EQ(s.page, 1) << option;
      }
    }
    EXPECT_EQ(stamped, corner[2] == ':' ? pages : 1) << option;
  }
  // Each of two documents in one output has its first page stamped.
  TempDir dir;
  std::string file = dir.write("doc.ps", doc.out);
  std::vector<TextSpan> spans = textSpans(texttops({"-Hd=ur", file, file}).out);
  ASSERT_FALSE(spans.empty());
  std::vector<int> stamped;
  for (const TextSpan& s : spans)
    if (isStamp(s)) stamped.push_back(s.page);
  EXPECT_EQ(stamped, std::vector<int>({1, spans.back().page / 2 + 1}));
}

// The spooler's own command line, with an accounting file.
TEST(TexttopsProgram, SpoolerArgumentsAndAccounting) {
  TempDir dir;
  std::string acct = dir.write("lp-acct", "");
  RunResult r = run({bin("zavpsif"), "-w132", "-l66", "-i0", "-n", "ann", "-j",
                     "report.txt", "-h", "pc1", acct},
                    {lines(10), {}, ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("%%Creator: zavpsif\n"), std::string::npos);
  EXPECT_NE(r.out.find("%%Title: stdin\n"), std::string::npos);
  EXPECT_NE(r.out.find("%%For: pc1:ann\n"), std::string::npos);
  EXPECT_PRINTS(r.out);
  r = run({bin("zavpsif"), "-n", "ann", "-h", "pc1", acct},
          {"%!\nshowpage\n", {}, ""});
  r = run({bin("zavpsif"), "-n", "ann", acct}, {"x\n", {}, ""});
  EXPECT_EQ(readFile(acct),
            "   0.00\t\tpc1:ann\nPostScript\tpc1:ann\n   0.00\t\t:ann\n");
  // A login that would forge a second record stays on one line.
  run({bin("zavpsif"), "-n", "ann\nXWD\tpc9:root", "-h", "pc1\r", acct},
      {"x\n", {}, ""});
  EXPECT_EQ(readFile(acct).substr(readFile(acct).rfind("   0.00")),
            "   0.00\t\tpc1?:ann?XWD?pc9:root\n");
  std::string missing = dir.path + "/none";
  r = run({bin("zavpsif"), "-n", "ann", missing}, {"x\n", {}, ""});
  EXPECT_NE(access(missing.c_str(), F_OK), 0);
  EXPECT_EQ(r.err, "zavpsif: job of ann@?: accounting file " + missing +
                       " not written: No such file or directory\n");
}

TEST(TexttopsProgram, FilterModeCopiesAJobHeader) {
  std::string header = "\x1b%-12345X@PJL JOB\n@PJL ENTER LANGUAGE=POSTSCRIPT\n";
  RunResult r = run({bin("zavpsif")}, {header + "plain text\n", {}, ""});
  EXPECT_EQ(r.out.rfind(header + "%!PS-Adobe-2.1\n", 0), 0u);
  EXPECT_NE(r.out.find("(plain text\\012) LS"), std::string::npos);
}

TEST(TexttopsProgram, FilterModeReadsTheJobOwnersDefaults) {
  TestUser user("zavpstxt");
  if (!user.ok) GTEST_SKIP() << "needs root and useradd to make a test user";
  TempDir dir;
  std::string file = user.home.path + "/.zavpsdefault";
  run({"sh", "-c",
       "printf '#zavpsif -E\\nzavpsvf -G4\\n  zavpsif -D -Nc=2 -l30 -Hd=ur\\n"
       "zavpsif -t\\n' > " + file});
  RunResult r = run({bin("zavpsif"), "-n", user.name, "-h", "pc1"},
                    {lines(5), {}, ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("<</Duplex true /Tumble false>>"), std::string::npos);
  EXPECT_NE(r.out.find("<</NumCopies 2>>"), std::string::npos);
  EXPECT_EQ(r.out.find("(%Engine%)"), std::string::npos);  // only first line
  EXPECT_EQ(r.out.find("REValue1"), std::string::npos);
  EXPECT_NE(r.out.find("(User:" + user.name + " Host:pc1 ) rsu"),
            std::string::npos);
  EXPECT_NE(r.out.find("4 2 25 6 F F SetUpPage"), std::string::npos);
  EXPECT_PRINTS(r.out);
  // Under CUPS a stamp replaces the file's, items and all.
  r = run({bin("zavpscups-text"), "1", user.name, "t", "1", "zavps-stamp=ul:t"},
          {"x\n", {}, ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(") lsu\n"), std::string::npos);
  EXPECT_EQ(r.out.find("User:"), std::string::npos);

  run({"sh", "-c", "printf 'zavpsifq -t\\n' > " + file});
  r = run({bin("zavpsif"), "-n", user.name}, {"x\n", {}, ""});
  EXPECT_EQ(r.status, 2);  // the spooler discards the job
  EXPECT_EQ(r.err, "zavpsif: job of " + user.name + "@?: Unknown option 'q'\n");

  // Standalone names never read it, and the spooler's -d is ignored.
  run({"sh", "-c", "printf 'zavpsif -D\\n' > " + file});
  r = run({bin("zavposttxt")}, {"x\n", {"HOME=" + user.home.path}, ""});
  EXPECT_EQ(r.out.find("/Duplex"), std::string::npos);
  r = run({bin("zavposttxt"), "-<zavpsif>"}, {"x\n", {"HOME=" + user.home.path}, ""});
  EXPECT_NE(r.out.find("/Duplex"), std::string::npos);

  // A home the spooler's user cannot enter: the log names the file.
  if (!haveProgram("setpriv")) return;
  run({"chmod", "700", user.home.path});
  r = run({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
           bin("zavpsif"), "-n", user.name},
          {"x\n", {}, ""});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "zavpsif: job of " + user.name + "@?: " + file +
                       ": defaults file not read: Permission denied\n");
  EXPECT_EQ(r.out.find("/Duplex"), std::string::npos);
}

// The system file lies beside the program file: a private copy of the
// program reads the one in its own directory, and no test touches the
// machine's.
TEST(TexttopsProgram, FilterModeFallsBackToTheSystemFile) {
  TempDir installed;
  std::string program = installed.path + "/texttops";
  ASSERT_EQ(run({"cp", bin("texttops"), program}).status, 0);
  ASSERT_EQ(symlink("texttops", (installed.path + "/zavpsif").c_str()), 0);
  std::string zavpsif = installed.path + "/zavpsif";
  installed.write(".zavpsdefault", "zavpsif -Nc=5 -l10\n");
  std::string acct = installed.write("acct", "");
  RunResult unknown = run({zavpsif, "-n", "no-such-user-zz", acct}, {lines(15), {}, ""});
  EXPECT_NE(unknown.out.find("<</NumCopies 5>>"), std::string::npos);
  // A queue that bills sets a line count there: 2 pages, 5 copies.
  EXPECT_EQ(readFile(acct), "  10.00\t\t:no-such-user-zz\n");
  installed.write(".zavpsdefault", "zavpsif -Nc=5\n");
  // Through a link from another directory, as <prefix>/bin has them.
  TempDir bindir;
  std::string link = bindir.path + "/zavpsif";
  ASSERT_EQ(symlink(zavpsif.c_str(), link.c_str()), 0);
  RunResult linked = run({link, "-n", "no-such-user-zz"}, {"x\n", {}, ""});
  EXPECT_NE(linked.out.find("<</NumCopies 5>>"), std::string::npos);

  TestUser user("zavpssys");
  if (!user.ok) return;
  user.home.write(".zavpsdefault", "zavpsvf -G4\n");
  RunResult withoutLine = run({zavpsif, "-n", user.name}, {"x\n", {}, ""});
  EXPECT_NE(withoutLine.out.find("<</NumCopies 5>>"), std::string::npos);
}

}  // namespace
