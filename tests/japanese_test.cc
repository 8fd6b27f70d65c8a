// Japanese text through texttops and Ghostscript with the IPA fonts, which
// Debian registers as Ryumin-Light and GothicBBB-Medium.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "run.h"

namespace {

RunResult texttops(const std::vector<std::string>& args,
                   const std::string& input,
                   std::vector<std::string> env = {}) {
  std::vector<std::string> argv = {bin("texttops")};
  argv.insert(argv.end(), args.begin(), args.end());
  env.push_back("TEXTTOPSOPTION");
  return run(argv, {input, env, ""});
}

// The codes txtwrite reports for the characters shown, in order: an
// ASCII or Latin-1 character as itself, a kana as its byte, a kanji as
// its JIS code ("3021").
std::vector<std::string> shownCodes(const std::string& doc) {
  RunResult r =
      ghostscript(doc, {"-sDEVICE=txtwrite", "-dTextFormat=0", "-sOutputFile=-"});
  std::vector<std::string> codes;
  for (size_t at = 0; (at = r.out.find(" c=\"", at)) != std::string::npos;) {
    at += 4;
    std::string c = r.out.substr(at, r.out.find('"', at) - at);
    if (c.rfind("&#x", 0) == 0) c = c.substr(3, c.size() - 4);
    if (c != " ") codes.push_back(c);
  }
  return codes;
}

// In the shown codes of one line: kanji 亜 and あ, kana ｱ, "ab", é.
const struct {
  const char* encoding;
  std::string text;
  std::vector<std::string> codes;
} kMixedLines[] = {
    {"-Ke=euc-jp", "ab\x8e\xb1\xb0\xa1\xa4\xa2\n",
     {"a", "b", "b1", "3021", "2422"}},
    {"", "ab\x8e\xb1\xb0\xa1\xa4\xa2\n", {"a", "b", "b1", "3021", "2422"}},
    {"", "ab\xef\xbd\xb1\xe4\xba\x9c\xe3\x81\x82 \xc3\xa9\n",
     {"a", "b", "b1", "3021", "2422", "e9"}},
    {"-Ke=sjis", "ab\xb1\x88\x9f\x82\xa0\r\n",
     {"a", "b", "b1", "3021", "2422"}},
    // What no font has: one geta mark (JIS 0x222E) each.
    {"-Ke=utf-8", "a\xf0\x9f\x98\x80" "b\xe9\n", {"a", "222e", "b", "222e"}},
};

TEST(Japanese, EachClassIsShownInItsOwnFont) {
  for (const char* layout : {"", "-l60", "-w20"}) {
    for (const auto& c : kMixedLines) {
      std::vector<std::string> args = {c.encoding, layout};
      args.erase(std::remove(args.begin(), args.end(), ""), args.end());
      RunResult r = texttops(args, c.text);
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(shownCodes(r.out), c.codes)
          << layout << " " << testing::PrintToString(c.text);
    }
  }
  RunResult r = texttops({"-Kg"}, "\xb0\xa1\x8e\xb1\n");
  EXPECT_EQ(shownCodes(r.out), (std::vector<std::string>{"3021", "b1"}));
  EXPECT_NE(r.out.find("/GothicBBB-Medium-Hankaku /GothicBBB-Medium-H\n"),
            std::string::npos);
}

// Rightmost inked pixel of each text line (lines are separated by blank
// rows) of the first page at 144 dpi.
std::vector<int> lineEnds(const std::string& doc) {
  TempDir dir;
  std::string page = dir.path + "/p.pgm";
  ghostscript(doc, {"-sDEVICE=pgmraw", "-r144", "-dLastPage=1",
                    "-sOutputFile=" + page});
  std::string pgm = readFile(page);
  // Header: "P5", width, height, maximum, each after blanks or comments.
  int header[3] = {0, 0, 0};
  size_t pos = 2;
  for (int& value : header) {
    while (pos < pgm.size() && (std::isspace(pgm[pos]) || pgm[pos] == '#'))
      pos = pgm[pos] == '#' ? pgm.find('\n', pos) : pos + 1;
    value = std::atoi(pgm.c_str() + pos);
    while (pos < pgm.size() && std::isdigit(pgm[pos])) ++pos;
  }
  int w = header[0], h = header[1];
  if (w <= 0 || h <= 0 || pgm.size() < pos + 1 + size_t(w) * h) return {};
  const unsigned char* px =
      reinterpret_cast<const unsigned char*>(pgm.data()) + pos + 1;
  std::vector<int> ends;
  bool inLine = false;
  for (int y = 0; y < h; ++y) {
    int right = -1;
    for (int x = 0; x < w; ++x)
      if (px[y * w + x] < 128) right = x;
    if (right >= 0 && !inLine) ends.push_back(right);
    if (right >= 0) ends.back() = std::max(ends.back(), right);
    inLine = right >= 0;
  }
  return ends;
}

TEST(Japanese, ColumnsLineUpInBothLayouts) {
  // Eight columns before each bar: kanji take two, kana and Latin-1 one.
  std::string text =
      "abcdefgh|\n\n"
      "\xe4\xba\x9c\xe4\xba\x9c\xe3\x81\x82\xe3\x81\x82|\n\n"
      "\xef\xbd\xb1\xef\xbd\xb2\xef\xbd\xb3\xef\xbd\xb4\xef\xbd\xb5\xef\xbd\xb6"
      "\xef\xbd\xb7\xef\xbd\xb8|\n\n"
      "a\xef\xbd\xb1\xe4\xba\x9c" "b\xef\xbd\xb2\xe4\xba\x9c|\n\n"
      "\xe4\xba\x9c\t|\n\n"
      "Caf\xc3\xa9\xc3\xa9\t|\n\n"
      "\xf0\x9f\x98\x80\xef\xbd\xb1\t|\n";
  for (const char* layout : {"-s12", "-l60", "-w40", "-Kg"}) {
    RunResult r = texttops({layout}, text);
    std::vector<int> ends = lineEnds(r.out);
    ASSERT_EQ(ends.size(), 7u) << layout;
    for (int end : ends) EXPECT_NEAR(end, ends[0], 2) << layout;
  }
}

// Each document prints a "|" for every line it starts (every NL and NL2,
// as MS and the line-count body call them) and "LINES" at its end.
std::string countingLines(const std::string& doc) {
  std::string d = doc;
  const std::string setup = "%%EndDocumentSetup\n";
  d.insert(d.find(setup) + setup.size(),
           "/NLo /NL load def /NL2o /NL2 load def\n"
           "/NL {(|) print NLo} def /NL2 {(|) print NL2o} def\n");
  d.insert(d.find("%%Trailer\n"), "(LINES\\n) print flush\n");
  return d;
}

// The line counts a batch of counting documents printed.
std::vector<int> printedLineCounts(const std::string& docs, std::string* err) {
  RunResult r = ghostscript(docs);
  *err = r.status == 0 ? "" : r.out + r.err;
  std::vector<int> counts;
  size_t from = 0;
  for (size_t at; (at = r.out.find("LINES\n", from)) != std::string::npos;
       from = at + 6) {
    counts.push_back(static_cast<int>(
        std::count(r.out.begin() + from, r.out.begin() + at, '|')));
  }
  return counts;
}

// A random line of at most six pieces: words, kanji and kana in EUC and
// UTF-8, Latin-1, control characters, and malformed or cut sequences.
std::string randomLine(std::mt19937& rng) {
  static const char* const pieces[] = {
      "word", "(a)\\", "\t", "\b", "\x01\x1b\x7f", "\r", " ",
      "\xb0\xa1\xc6\xfc", "\x8e\xb1\x8e\xdf", "\x8f\xa2\xaf", "\x8e", "\x8f",
      "\xb0", "\x8e\xff", "\xff\xfe", "\x80", "\xe4\xba\x9c\xe3\x81\x82",
      "\xef\xbd\xb1", "\xc3\xa9\xc3\xbf", "\xe4\xba", "\xf0\x9f\x98",
      "\xed\xa0\x80", "\xc2", "\x82\xa0\x88", "\xef\xbb\xbf", nullptr};
  static const int kinds = [] {
    int n = 0;
    while (pieces[n]) ++n;
    return n;
  }();
  std::string line;
  for (int n = rng() % 7; n > 0; --n) line += pieces[rng() % kinds];
  return line + (rng() % 4 == 0 ? "\r\n" : "\n");
}

TEST(Japanese, RandomMixesKeepTheirLinesAndPrintCleanly) {
  std::mt19937 rng(12);
  const char* const encodings[] = {"-Ke=auto", "-Ke=euc-jp", "-Ke=utf-8",
                                   "-Ke=sjis"};
  for (const char* layout : {"-s10", "-l40", "-w100"}) {
    std::string docs;
    std::vector<int> expected;
    for (int i = 0; i < 100; ++i) {
      int lines = 1 + rng() % 60;
      std::string text;
      for (int l = 0; l < lines; ++l) text += randomLine(rng);
      RunResult r = texttops({layout, encodings[rng() % 4]}, text);
      ASSERT_EQ(r.status, 0) << r.err;
      docs += countingLines(r.out);
      expected.push_back(lines);
    }
    std::string err;
    EXPECT_EQ(printedLineCounts(docs, &err), expected) << layout << err;
  }
}

TEST(Japanese, ManualPageKeepsItsLines) {
  if (!haveProgram("man")) GTEST_SKIP() << "needs man (man-db)";
  RunResult man = run({"man", "ls"}, {"", {"MANWIDTH=80", "LC_ALL=C.UTF-8",
                                           "MANPAGER=cat", "PAGER=cat"}, ""});
  if (man.status != 0 || man.out.empty())
    GTEST_SKIP() << "no manual page for ls: " << man.err;
  ASSERT_NE(man.out.find("\xe2\x80\x90"), std::string::npos);  // U+2010
  int lines = static_cast<int>(std::count(man.out.begin(), man.out.end(), '\n'));
  for (const char* layout : {"-s10", "-l66"}) {
    RunResult r = texttops({layout}, man.out);
    EXPECT_EQ(r.out.find("\\042\\056"), std::string::npos);  // no geta
    std::string err;
    EXPECT_EQ(printedLineCounts(countingLines(r.out), &err),
              std::vector<int>{lines})
        << layout << err;
  }
}

TEST(Japanese, DatesAreAsciiUnderAJapaneseLocale) {
  TempDir dir;
  if (run({"localedef", "-i", "ja_JP", "-f", "UTF-8",
           dir.path + "/ja_JP.UTF-8"}).status > 1)
    GTEST_SKIP() << "localedef cannot make ja_JP.UTF-8 (package locales)";
  RunResult r = texttops({"-Hd=ul:t"}, "x\n",
                         {"LOCPATH=" + dir.path, "LC_ALL=ja_JP.UTF-8"});
  size_t date = r.out.find("%%CreationDate: ");
  size_t stamp = r.out.find(") lsu\n");
  ASSERT_NE(date, std::string::npos);
  ASSERT_NE(stamp, std::string::npos);
  std::string head = r.out.substr(0, stamp);
  EXPECT_TRUE(std::all_of(head.begin(), head.end(),
                          [](char c) { return (c & 0x80) == 0; }))
      << r.out.substr(date, 40);
}

}  // namespace
