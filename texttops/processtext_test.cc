#include "processtext.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "dispatch.h"
#include "option.h"
#include "options.h"
#include "parse.h"
#include "reader.h"
#include "status.h"
#include "writer.h"

namespace {

struct Convert : testing::Test {
  void SetUp() override {
    resetOptions();
    initTextSet();
    context = JobContext();
    context.name = "zavpsif";
  }
  // The run the documents are made for.
  JobContext context;
  // Options as the grammar reads them, then the document for `input`.
  std::string doc(const std::string& input, const char* options = "",
                  bool standalone = true) {
    parseTextOptions(options);
    Reader in(input);
    Writer out = Writer::memory();
    context.mode = standalone ? RunMode::Standalone : RunMode::LpdFilter;
    context.creator = standalone ? "texttops" : "zavpsif";
    dispatchInput(in, out, context);
    return out.str();
  }
  // The body: what stands between the document setup and the trailer,
  // without the J that loads the Japanese fonts and the JX that loads the
  // fourth font as well. Each stands once (checked here): JX after the
  // first string with a fourth-font escape, J after the first with a kana
  // or kanji escape unless that is the same string.
  std::string body(const std::string& input, const char* options = "") {
    const size_t npos = std::string::npos;
    std::string d = doc(input, options);
    size_t start = d.find("%%EndDocumentSetup\n") + 19;
    size_t end = d.find(opt.text_lines_explicit ? "%%Trailer" : "Flush\n");
    std::string b = d.substr(start, end - start);
    size_t x = b.find("\\377\\003"), jx = b.find(") JX ");
    EXPECT_EQ(jx, x == npos ? npos : b.find(')', x));
    size_t first = std::min({b.find("\\377\\001"), b.find("\\377\\002"), x});
    size_t j = b.find(") J ");
    EXPECT_EQ(j, first == npos || b.find(')', first) == jx ? npos
                                                          : b.find(')', first));
    if (jx != npos) b.erase(jx + 1, 3);
    if (j != npos) b.erase(j + 1, 2);
    EXPECT_EQ(b.find(") J"), npos);
    return b;
  }
};

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos;
       at = s.find(what, at + 1))
    ++n;
  return n;
}

TEST_F(Convert, EmptyInputGivesTheWholeFrameAndNoPage) {
  std::string d = doc("");
  EXPECT_EQ(d.rfind("%!PS-Adobe-2.1\n%%Title: stdin\n%%Creator: texttops\n", 0),
            0u);
  EXPECT_EQ(count(d, "%%Pages"), 0u);
  EXPECT_NE(d.find("%%DocumentFonts: Courier\n%%EndComments\n"),
            std::string::npos);
  EXPECT_EQ(std::count(d.begin(), d.end(), '\n'), 480);
  EXPECT_NE(d.find("10 /Courier /Ryumin-Light-Hankaku /Ryumin-Light-H\n"
                   "SetUpFonts\n0 0 F F "
                   "SetUpPage\n%%EndDocumentSetup\nFlush\n%%Trailer\nEndDoc\n"
                   "xpsav restore\n"),
            std::string::npos);
  EXPECT_EQ(count(d, "%%Page:"), 0u);
  EXPECT_EQ(count(d, ") FN"), 0u);
}

TEST_F(Convert, ShowProceduresMsAndWs) {
  std::string d = doc("");
  EXPECT_NE(d.find("count strLen ge {exit} if\nInPage not {StartPage BL} if "
                   "Lbuf count get 16#FF eq\n"),
            std::string::npos);
  size_t ws = d.find("/WS\n{\n");
  ASSERT_NE(ws, std::string::npos);
  EXPECT_EQ(d.find("count strLen ge {exit} if\nInPage not {StartPage BL} if\n"
                   "Lbuf count get 16#FF eq\n",
                   ws) > ws,
            true);
  // WS never wraps: only the two lines of MS call MNLL before showing.
  EXPECT_EQ(count(d, "{MNLL exch MNP InPage not {StartPage BL} if exch S}"),
            2u);
  EXPECT_EQ(count(d, "{exch MNP InPage not {StartPage BL} if exch S} ifelse"),
            3u);
  EXPECT_NE(d.find("dup 1 (\\377\\001H) put"), std::string::npos);
}

TEST_F(Convert, LineCountHeaderAndTrailer) {
  std::string input;
  for (int i = 0; i < 130; ++i) input += "line\n";
  std::string d = doc(input, "-l60 -fTimes-Roman", false);
  EXPECT_NE(d.find("%%Creator: zavpsif\n"), std::string::npos);
  EXPECT_NE(d.find("%%Pages: (atend)\n%%DocumentFonts: Times-Roman\n"),
            std::string::npos);
  EXPECT_NE(d.find("%%Page: ? 3\nStartPage\nBL\n"), std::string::npos);
  EXPECT_EQ(count(d, "EndPage\n"), 3u);
  EXPECT_NE(d.find("%%Trailer\nEndDoc\nxpsav restore\n%%Pages: 3\n"),
            std::string::npos);
  EXPECT_EQ(d.substr(d.size() - 11), "%%Pages: 3\n");
}

TEST_F(Convert, LineCountEmptyInputCountsNoPage) {
  std::string d = doc("", "-l60");
  EXPECT_NE(d.find("%%Pages: 0\n"), std::string::npos);
}

TEST_F(Convert, FullLineSwallowsItsLineFeed) {
  std::string b = body(std::string(10, 'x') + "\nab\n", "-l60 -w10");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(xxxxxxxxxx) S NL\n(ab ) S NL\n"
               "EndPage\n");
}

TEST_F(Convert, KanjiAtTheLastColumnMovesOn) {
  std::string b = body("abc\xb0\xa1\n", "-l60 -w4");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(abc\\377\\002\\041\\041) S NL\n"
               "(\\377\\002\\060\\041\\377\\000 ) S NL\nEndPage\n");
}

TEST_F(Convert, TwoColumnsAndFormFeeds) {
  std::string b = body("a\nb\nc\n\fd\ne\n", "-l2 -2");
  EXPECT_EQ(b,
            "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\n(b ) S NL\nBL2\n"
            "(c ) S NL2\n( ) S NL2\nEndPage\n"
            "%%Page: ? 2\nStartPage\nBL\n(d ) S NL\n(e ) S NL\nBL2\n"
            "EndPage\n");
  SetUp();
  b = body("a\fb\n", "-l5 -F");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\n(b ) S NL\nEndPage\n");
  // A form feed after a full column or page: no empty column or sheet;
  // a second one still gives one.
  SetUp();
  b = body("a\nb\n\fc\nd\n\f\fe\n", "-l2");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\n(b ) S NL\nEndPage\n"
               "%%Page: ? 2\nStartPage\nBL\n(c ) S NL\n(d ) S NL\nEndPage\n"
               "%%Page: ? 3\nStartPage\nBL\n( ) S NL\nEndPage\n"
               "%%Page: ? 4\nStartPage\nBL\n(e ) S NL\nEndPage\n");
  // Line feeds after the last form feed: no sheet of their own; before
  // more text they stay.
  SetUp();
  EXPECT_EQ(body("a\f\n\n", "-l5"), "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\nEndPage\n");
  SetUp();
  EXPECT_EQ(body("a\f\n\n", "-l1 -2"), "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\nBL2\nEndPage\n");
  SetUp();
  EXPECT_EQ(body("a\f\n\n"), "(a\\014) 1 0 0 FN\n");
  SetUp();
  EXPECT_EQ(body("a\f\nb\n"), "(a\\014) 1 0 0 FN\n(\\012) LS\n(b\\012) LS\n");
  SetUp();
  b = body("a\nb\n\fc\n", "-l2 -2");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\n(b ) S NL\nBL2\n"
               "(c ) S NL2\nEndPage\n");
}

TEST_F(Convert, TabsBackspacesAndEscapes) {
  std::string b = body("abc\tX\b\bY\n\bZ\n", "-l60");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(abc     X) S  BSF\n() S  BSF\n"
               "(Y ) S NL\n() S (Z ) S NL\nEndPage\n");
  SetUp();
  b = body("a\tb\n", "-l60 -e0");
  EXPECT_NE(b.find("(ab ) S NL"), std::string::npos);
  SetUp();
  b = body("(x)\\\x07\xe9t\n", "-l60 -Ke=euc-jp");  // a lone lead byte keeps the t
  EXPECT_NE(b.find("(\\(x\\)\\\\\\007\\377\\002\\042\\056\\377\\000t ) S NL"),
            std::string::npos);
}

TEST_F(Convert, KanaAndKanjiSwitchFonts) {
  std::string b = body("a\x8e\xb1\x8e\xb2\xb0\xa1z\n");
  // With the bytes of each font: the English a and z, two kana, a kanji.
  EXPECT_EQ(b, "(a\\377\\001\\261\\262\\377\\002\\060\\041\\377\\000z\\012) "
               "2 2 1 FT\n");
}

// Each input, in the stream layout: the strings the body writes.
TEST_F(Convert, EveryEncodingAndMalformedSequence) {
  const char* kGeta = "\\377\\002\\042\\056";
  const struct {
    const char* options;
    const char* input;
    std::string strings;
  } cases[] = {
      // EUC: a bad byte after SS2, SS3 with JIS X 0212, lone lead bytes,
      // a row JIS X 0208 leaves empty, an incomplete character at the end.
      {"", "ok\x8e\xff" "A\n",
       std::string("(ok") + kGeta + "\\042\\056\\377\\000A\\012) 3 0 2 FT\n"},
      // (A run that may not be broken across lines, a mark and the "|"
      // after it, is a string of its own for GF.)
      {"-Ke=euc-jp", "\x8f\xa2\xaf|\x8f\xa1\n",
       std::string("(") + kGeta + "\\377\\000|) 1 0 1 GF\n(" + kGeta +
           "\\377\\000\\012) 0 0 1 FT\n"},
      {"", "\xb0\n\xad\xa1\f", std::string("(") + kGeta +
                                   "\\377\\000\\012) 0 0 1 FT\n(\\377\\003\\342\\221\\240"
                                   "\\377\\000\\014) -1 0 0 FN\n"},
      {"", "ab\x8e", std::string("(ab") + kGeta + ") 2 0 1 FN\n"},
      // Empty cells of JIS X 0208: in the symbol rows and after the
      // last kanji of row 84.
      {"", "\xa2\xaf\xa8\xc1\xf4\xa7\xf4\xa6",
       std::string("(") + kGeta + "\\042\\056\\042\\056\\164\\046) 0 0 4 FN\n"},
      {"", "a\r\nb\rc\r", "(a\\012) LS\n(b\\015c\\015) 4 0 0 FN\n"},
      // UTF-8: Latin-1 in the English font (y diaeresis moved from the
      // font escape), kana, JIS X 0208, what no font has, malformed.
      {"", "\xef\xbb\xbf" "Caf\xc3\xa9 \xc3\xbf\n",
       "(Caf\\351 \\200\\012) LS\n"},
      {"", "-\xe2\x80\x90\xef\xbd\xb1\xe4\xba\x9c\xf0\x9f\x98\x80\xc2\x85\n",
       "(-\\377\\002\\041\\076) 1 0 1 GF\n"
       "(\\377\\001\\261\\377\\002\\060\\041\\042\\056"
       "\\042\\056\\377\\000\\012) 0 1 3 FT\n"},
      {"-Ke=utf-8", "\xe3\x81\n\xed\xa0\x80\n",
       std::string("(") + kGeta + "\\377\\000\\012) 0 0 1 FT\n(" + kGeta +
           "\\042\\056\\042\\056\\377\\000\\012) 0 0 3 FT\n"},
      {"-Ke=euc-jp", "\xef\xbb\xbf", "(\\377\\002\\157\\073\\042\\056) 0 0 2 FN\n"},
      // Shift_JIS: a kanji, a kana, a lead byte without its partner.
      {"-Ke=sjis", "\x88\x9f\xb1\x81\n\x81\x7f",
       std::string("(\\377\\002\\060\\041\\377\\001\\261\\377\\002") +
           "\\042\\056\\377\\000\\012) 0 1 2 FT\n(" + kGeta +
           "\\377\\000\\177) 1 0 1 FN\n"},
      // Found without -Ke: Shift_JIS, whose lead bytes EUC-JP lacks, and
      // EUC-JP, which also reads as Shift_JIS half-width kana.
      {"", "\x93\xfa\x96\x7b\n", "(\\377\\002\\106\\174\\113\\134\\377\\000\\012) 0 0 2 FT\n"},
      {"", "\xc6\xfc\xcb\xdc\n", "(\\377\\002\\106\\174\\113\\134\\377\\000\\012) 0 0 2 FT\n"},
      // A stray byte in a short EUC-JP line.
      {"", "\xc0\xdf\xc4\xea\xa5\xd5\xa5\xa1\xa5\xa4\xa5\x9c\xeb\n",
       "(\\377\\002\\100\\137\\104\\152) 0 0 2 FN\n"
       "(\\377\\002\\045\\125\\045\\041) 0 0 2 GF\n(\\377\\002\\045\\044"
       "\\042\\056\\042\\056\\042\\056\\377\\000\\012) 0 0 4 FT\n"},
      // A pair that is no character is one geta mark.
      {"-Ke=sjis", "\x85\x77x\x85\xa0\n",
       std::string("(") + kGeta + "\\377\\000x" + kGeta +
           "\\377\\000\\012) 1 0 2 FT\n"},
      // A backspace after a kanji ends the string on a whole character.
      {"", "\xb4\xc1\b\n", "(\\377\\002\\064\\101) 0 0 1 FN\nBS\n(\\012) 0 0 0 FT\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    EXPECT_EQ(body(c.input, c.options), c.strings)
        << c.options << " " << testing::PrintToString(std::string(c.input));
  }
}

TEST_F(Convert, MalformedEndOfInputStaysOnItsPage) {
  std::string b = body("a\n\x8e", "-l1");
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(a ) S NL\nEndPage\n"
               "%%Page: ? 2\nStartPage\nBL\n(\\377\\002\\042\\056) S NL\n"
               "EndPage\n");
  b = body("\xb0\xa1\r\n" "ab\r\n", "-l60 -w2");  // full lines take CRLF
  EXPECT_EQ(b, "%%Page: ? 1\nStartPage\nBL\n(\\377\\002\\060\\041) S NL\n"
               "(ab) S NL\nEndPage\n");
}

// The layout rules are part of each run: a second run in the same process
// with the same options gives the same document (-o narrows -w once).
TEST_F(Convert, SameOptionsGiveTheSameDocumentEveryRun) {
  const std::string line = std::string(12, 'x') + "\n";
  for (const char* options : {"-w10 -o2", "-l60 -w10 -o2", "-w4 -o9 -2"}) {
    std::string first;
    for (int run = 0; run < 2; ++run) {
      SetUp();
      parseTextOptions(options);
      applyLayoutRules(RunMode::Standalone);
      std::string b = body(line);
      if (run == 0) first = b;
      EXPECT_EQ(b, first) << options;
    }
  }
  SetUp();
  parseTextOptions("-w10 -o2");
  applyLayoutRules(RunMode::Standalone);
  EXPECT_EQ(body(line), "(xxxxxxxx\\377\\000\\012) FW\n(xxxx\\012) LW\n");
}

TEST_F(Convert, StreamLayoutWithAWidthWraps) {
  std::string b = body(std::string(25, 'x') + "\n", "-w10");
  EXPECT_EQ(b,
            "(xxxxxxxxxx\\377\\000\\012) FW\n(xxxxxxxxxx\\377\\000\\012) FW\n"
            "(xxxxx\\012) LW\n");
  SetUp();
  b = body(std::string(10, 'x') + "\nab\n", "-w10");  // wrapped: LF dropped
  EXPECT_EQ(b, "(xxxxxxxxxx\\377\\000\\012) FW\n(ab\\012) LW\n");
  SetUp();
  b = body("abcdefgh\xb0\xa1xy\n", "-w10");  // fewer than two columns left
  EXPECT_EQ(b, "(abcdefgh\\377\\002\\060\\041\\377\\000\\012) FW\n"
               "(xy\\012) LW\n");
  SetUp();
  b = body("abcdefghi\xb0\xa1\n", "-w10");  // the last column is too narrow
  EXPECT_EQ(b, "(abcdefghi\\377\\000\\012) FW\n"
               "(\\377\\002\\060\\041\\377\\000\\012) FW\n");
  SetUp();
  b = body("a\b\fb\f", "-F");
  EXPECT_EQ(b, "(a) 1 0 0 FN\nBS\n( b ) 3 0 0 FN\n");
  SetUp();
  b = body("x\fy");
  EXPECT_EQ(b, "(x\\014) 1 0 0 FN\n(y) 1 0 0 FN\n");
}

// Bytes the printer holds for a string literal of the output.
size_t printerBytes(const std::string& literal) {
  size_t n = 0;
  for (size_t i = 0; i < literal.size(); ++i, ++n) {
    if (literal[i] != '\\') continue;
    ++i;
    if (literal[i] >= '0' && literal[i] <= '7') i += 2;
  }
  return n;
}

TEST_F(Convert, LongStreamLinesFitThePrintersBuffer) {
  std::string line;
  for (int i = 0; i < 3000; ++i) line += "a(\xb0\xa1\x8e\xb1";
  std::string b = body(line + "\n");
  size_t strings = 0, at = 0;
  std::string joined;
  while ((at = b.find('(', at)) != std::string::npos) {
    size_t end = b.rfind(") ", b.find('\n', at));
    ASSERT_NE(end, std::string::npos);
    std::string lit = b.substr(at + 1, end - at - 1);
    EXPECT_LE(printerBytes(lit), 2048u);
    // The bytes of each font the printer is told of: "a(", kana, kanji.
    unsigned e, h, k;
    char call[3];
    ASSERT_EQ(std::sscanf(b.c_str() + end + 1, "%u %u %u %2s", &e, &h, &k, call), 4);
    EXPECT_EQ(e, count(lit, "a") + count(lit, "\\("));
    EXPECT_EQ(h, count(lit, "\\261"));
    EXPECT_EQ(k, count(lit, "\\060\\041"));
    // Every string starts in font 0; a string that begins inside a kana or
    // kanji run names its font before the first character.
    if (lit[0] == '\\' && lit[1] != '(') {
      EXPECT_TRUE(lit.rfind("\\377\\00", 0) == 0 || lit.rfind("\\050", 0) == 0)
          << lit.substr(0, 12);
    }
    joined += lit;
    ++strings;
    at = end;
  }
  EXPECT_GT(strings, 5u);
  EXPECT_EQ(count(joined, "\\060\\041"), 3000u);
  EXPECT_EQ(count(joined, "\\261"), 3000u);
  EXPECT_EQ(count(b, " FT\n"), 1u);
}

TEST_F(Convert, HugeTabStopsAreSplitToo) {
  std::string b = body("\t\t\t\n", "-e1000");
  for (size_t at = 0; (at = b.find('(', at)) != std::string::npos; ++at)
    EXPECT_LE(b.find(')', at) - at - 1, 2048u);
  EXPECT_EQ(count(b, " "),
            3000u + 4 * (count(b, " FN\n") + count(b, " FT\n")));
}

TEST_F(Convert, DocumentSetupNumbers) {
  std::string d = doc("", "-mg=0.5:0.5:0.5:0.5 -2 -r -s12");
  EXPECT_NE(d.find("12 /Courier /Ryumin-Light-Hankaku /Ryumin-Light-H\n"
                   "SetUpFonts\n36 36 36 36 T T "
                   "SetUpPage\n"),
            std::string::npos);
  EXPECT_NE(d.find("/SetUpPage % <bottommargin>"), std::string::npos);
  SetUp();
  d = doc("", "-mg=0.23:0.06:0.03:0.09 -Kg -fCourier-Bold");
  EXPECT_NE(d.find("\n10 /Courier-Bold /GothicBBB-Medium-Hankaku "
                   "/GothicBBB-Medium-H\nSetUpFonts\n"),
            std::string::npos);
  EXPECT_NE(d.find("\n4 2 16 6 F F SetUpPage\n"), std::string::npos);
  SetUp();
  d = doc("", "-L3 -o0");
  EXPECT_NE(d.find("\n3 0 F F SetUpPage\n"), std::string::npos);
  EXPECT_NE(d.find("/SetUpPage % <topmargin> <leftmargin>"), std::string::npos);
  EXPECT_EQ(count(d, "FitText"), 0u);
}

TEST_F(Convert, RequestedLinesAndColumnsAreFitted) {
  // 0 fits nothing.
  std::string d = doc("", "-l100 -w80 -L2 -2 -r");
  EXPECT_NE(d.find("\n100 80 2 0 T T FitText\n2 0 T T SetUpPage\n"),
            std::string::npos);
  EXPECT_NE(d.find("} def\n/FitText %"), std::string::npos);
  SetUp();
  EXPECT_NE(doc("", "-l60").find("\n60 0 0 0 F F FitText\n"),
            std::string::npos);
  SetUp();
  EXPECT_NE(doc("", "-w132").find("\n0 132 0 0 F F FitText\n"),
            std::string::npos);
}

TEST_F(Convert, StampInThePrologAndPages) {
  opt.stamp_user = "ann";
  opt.stamp_host = "pc1";
  std::string d = doc("x\n", "-Hd=ur:uh:f -ILT");
  EXPECT_NE(d.find("/rsu\n{dup stringwidth pop\n/XX exch def\n"),
            std::string::npos);
  EXPECT_NE(d.find("792 22 sub /YY exch def\n597 XX sub /XX exch def\n"),
            std::string::npos);
  // The page device draws it as each page is printed: here only the first.
  // Worked out once for the document, not on each page.
  EXPECT_NE(d.find("(User:ann Host:pc1 ) rsu\n}def\ngsave initgraphics\n"),
            std::string::npos);
  EXPECT_NE(d.find("end grestore def\ntrue setglobal /HFOnce [true] def false "
                   "setglobal\n<< /EndPage {exch pop dup 0 eq //HFOnce 0 get "
                   "and {//HFOnce 0 false put gsave initgraphics //StartHF exec "
                   "grestore} if 2 ne} >> setpagedevice\n"
                   "/SetUpPage"),
            std::string::npos);
  EXPECT_EQ(count(d, "StartHF"), 4u);
  SetUp();
  d = doc("x\n", "-Hd=ul -r -ILT");  // every page, on the turned sheet
  EXPECT_NE(d.find("{exch pop dup 0 eq {gsave initgraphics 90 "
                   "rotate 0 612 neg translate //StartHF"),
            std::string::npos);
  EXPECT_NE(d.find("{612 22 sub /YY exch def\n"), std::string::npos);
}

TEST_F(Convert, StampWithATrayUsesA4) {
  std::string d = doc("", "-Hd=dr -I2");
  EXPECT_NE(d.find("/rsd\n{dup stringwidth pop\n580 exch sub\n15 moveto\n"),
            std::string::npos);
  EXPECT_EQ(count(d, "\nStartHF\n"), 0u);
}

struct Accounting : Convert {
  void SetUp() override {
    Convert::SetUp();
    char templ[] = "/tmp/zavps-acct-XXXXXX";
    dir = mkdtemp(templ);
    file = dir + "/acct";
    context.owner = "ann";
    context.host = "pc1";
    context.accounting_file = file;
  }
  void TearDown() override {
    unlink(file.c_str());
    rmdir(dir.c_str());
  }
  std::string read() {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // A job that ends with `status`, its output written.
  void job(const std::string& input, const char* options, bool standalone,
           int status = 0) {
    doc(input, options, standalone);
    Writer out = Writer::memory();
    finishOutput(out, context, status);
  }
  std::string dir, file;
};

TEST_F(Accounting, RecordsAfterEachPrintedJob) {
  job("x\n", "", false);
  EXPECT_EQ(access(file.c_str(), F_OK), -1);  // never created
  std::ofstream(file).close();
  job("a\nb\nc\n", "-l1", false);
  EXPECT_EQ(read(), "   3.00\t\tpc1:ann\n");
  initTextSet();
  job("x\n", "", false);  // the stream layout counts no pages
  job("x\n", "", true);   // standalone: no record
  job("%!PS\nshowpage\n", "", true);
  EXPECT_EQ(read(), "   3.00\t\tpc1:ann\n   0.00\t\tpc1:ann\n"
                    "PostScript\tpc1:ann\n");
  context.host = "";
  job("x\n", "", false);
  context.owner = "";
  job("x\n", "", false);
  EXPECT_EQ(read().substr(read().size() - 14), "   0.00\t\t:ann\n");
}

// The spooler runs a job again that ended with status 1: it is accounted
// when it prints, once.
TEST_F(Accounting, NoRecordForAJobThatDidNotPrint) {
  std::ofstream(file).close();
  job("x\n", "", false, kStatusDiscard);
  doc("x\n", "", false);
  Writer full(open("/dev/full", O_WRONLY | O_CLOEXEC));
  full.write("output");
  EXPECT_EQ(finishOutput(full, context, 0), kStatusRetry);
  job("y\n", "", false);
  EXPECT_EQ(read(), "   0.00\t\tpc1:ann\n");  // once, nothing kept from before
}

}  // namespace
