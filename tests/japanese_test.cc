// Japanese text through texttops and Ghostscript with the IPA fonts, which
// Debian registers as Ryumin-Light and GothicBBB-Medium.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
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

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos;
       at = s.find(what, at + what.size()))
    ++n;
  return n;
}

// Loads the printer fonts once, in global memory, so that each document
// of a batch finds them at once.
const char* const kLoadFonts =
    "true setglobal [/Courier /Ryumin-Light-H /Ryumin-Light-Hankaku "
    "/GothicBBB-Medium-H /GothicBBB-Medium-Hankaku] {findfont pop} forall "
    "false setglobal\n";

// The codes txtwrite reports for the characters each document shows, in
// order: an ASCII or Latin-1 character as itself, a kana as its byte, a
// kanji as its JIS code ("3021"). A page showing "~" follows each document.
std::vector<std::vector<std::string>> shownCodes(
    const std::vector<std::string>& docs) {
  std::string all = kLoadFonts;
  for (const std::string& doc : docs)
    all += doc + "/Courier findfont 10 scalefont setfont 9 9 moveto (~) show "
                 "showpage\n";
  RunResult r =
      ghostscript(all, {"-sDEVICE=txtwrite", "-dTextFormat=0", "-sOutputFile=-"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  std::vector<std::vector<std::string>> codes(1);
  for (size_t at = 0; (at = r.out.find(" c=\"", at)) != std::string::npos;) {
    at += 4;
    std::string c = r.out.substr(at, r.out.find('"', at) - at);
    if (c.rfind("&#x", 0) == 0) c = c.substr(3, c.size() - 4);
    if (c == "~")
      codes.emplace_back();
    else if (c != " ")
      codes.back().push_back(c);
  }
  codes.pop_back();
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
    {"", "ab\xb1\x88\x9f\x82\xa0\x88\x9f\n",  // Shift_JIS, found
     {"a", "b", "b1", "3021", "2422", "3021"}},
    // What no font has: one geta mark (JIS 0x222E) each.
    {"-Ke=utf-8", "a\xf0\x9f\x98\x80" "b\xe9\n", {"a", "222e", "b", "222e"}},
    {"-Ke=sjis", "\x85\x40x\n", {"222e", "x"}},  // a pair with no character
    // Found without -Ke: 村長 in EUC-JP (also valid UTF-8), 100円 in
    // Shift_JIS; UTF-8 composed (か + U+3099, e + U+0301), a zero-width
    // space and joiner left out.
    {"", "\xc2\xbc\xc4\xb9\n", {"423c", "4439"}},
    {"", "100\x89\x7e\n", {"1", "0", "0", "315f"}},
    {"", "\xe3\x81\x8b\xe3\x82\x99" "e\xcc\x81\xe2\x80\x8b" "b\xe2\x80\x8d\n",
     {"242c", "e9", "b"}},
};

TEST(Japanese, EachClassIsShownInItsOwnFont) {
  std::vector<std::string> docs;
  std::vector<std::vector<std::string>> expected;
  for (const char* layout : {"-s10", "-l60", "-w20"}) {
    for (const auto& c : kMixedLines) {
      std::vector<std::string> args = {layout};
      if (*c.encoding) args.push_back(c.encoding);
      RunResult r = texttops(args, c.text);
      ASSERT_EQ(r.status, 0) << r.err;
      docs.push_back(r.out);
      expected.push_back(c.codes);
    }
  }
  RunResult r = texttops({"-Kg"}, "\xb0\xa1\x8e\xb1\n");
  EXPECT_NE(r.out.find("/GothicBBB-Medium-Hankaku /GothicBBB-Medium-H\n"),
            std::string::npos);
  docs.push_back(r.out);
  expected.push_back({"3021", "b1"});
  EXPECT_EQ(shownCodes(docs), expected);
}

// The lines each document shows, as the JIS codes of their kanji ("2123"),
// one document per entry: show prints the bytes of what it shows, NL and
// NL2 a line end.
std::vector<std::vector<std::vector<std::string>>> shownLines(
    const std::vector<std::string>& docs) {
  std::string all = std::string(kLoadFonts) +
                    "/Sys /show load def "
                    "/show {dup {=only ( ) print} forall (\\n) print Sys} def\n";
  const std::string setup = "%%EndDocumentSetup\n";
  for (std::string d : docs) {
    d.insert(d.find(setup) + setup.size(),
             "/NLo /NL load def /NL2o /NL2 load def "
             "/NL {(|\\n) print NLo} def /NL2 {(|\\n) print NL2o} def\n");
    all += d + "(#\\n) print\n";
  }
  RunResult r = ghostscript(all);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  std::vector<std::vector<std::vector<std::string>>> shown(1, {{}});
  std::istringstream out(r.out);
  for (std::string line; std::getline(out, line);) {
    if (line == "#") {
      shown.push_back({{}});
    } else if (line == "|") {
      shown.back().emplace_back();
    } else {
      std::istringstream bytes(line);
      int mode = 0;
      for (int b; bytes >> b;) {
        int second = 0;
        if (b == 255) bytes >> mode;
        else if (mode == 2 && bytes >> second) {
          char code[8];
          std::snprintf(code, sizeof code, "%02x%02x", b, second);
          if (std::string(code) != "2121") shown.back().back().push_back(code);
        }
      }
    }
  }
  shown.pop_back();
  return shown;
}

// A paragraph of prose wraps in every layout, at many widths, with no 。、
// 」ー or 々 at the start of a line and no 「 at its end.
TEST(Japanese, ProseKeepsItsLineBreakRules) {
  const std::string prose =
      "「吾輩は猫である。名前はまだ無い。」どこで生れたかとんと見当がつかぬ。"
      "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。"
      "吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生と"
      "いう人間中で一番獰悪な種族であったそうだ。「この書生というのは時々我々"
      "を捕えて煮て食うという話である。」\n";
  std::vector<std::string> docs;
  std::vector<std::string> names;
  for (int n = 20; n <= 32; ++n) {
    std::string w = "-w" + std::to_string(n), s = "-s" + std::to_string(n);
    for (std::vector<std::string> args :
         {std::vector<std::string>{w}, {"-l60", w}, {"-l20", "-2", w}, {s},
          {"-2", std::to_string(n - 8).insert(0, "-s")}}) {
      RunResult r = texttops(args, prose);
      ASSERT_EQ(r.status, 0) << r.err;
      docs.push_back(r.out);
      names.push_back(args.back() + " " + args.front());
    }
  }
  const std::vector<std::string> noStart = {"2123", "2122", "2157", "213c",
                                            "2139"};
  auto shown = shownLines(docs);
  ASSERT_EQ(shown.size(), docs.size());
  for (size_t d = 0; d < docs.size(); ++d) {
    size_t kanji = 0, lines = 0;
    for (const auto& line : shown[d]) {
      kanji += line.size();
      if (line.empty()) continue;
      ++lines;
      EXPECT_EQ(std::count(noStart.begin(), noStart.end(), line.front()), 0)
          << names[d] << " line " << lines;
      EXPECT_NE(line.back(), "2156") << names[d] << " line " << lines;
    }
    EXPECT_EQ(kanji, 158u) << names[d];
    EXPECT_GT(lines, 5u) << names[d];
  }
}

// The rows of ink on the first page of a document rendered at 144 dpi,
// from the top: where each band of inked pixel rows starts, its height and
// the width of its ink, in pixels.
struct InkBand {
  int top, height, width;
};
// The first page of a document at 144 dpi, gray pixels row by row;
// `width` its width.
std::string firstPage(const std::string& doc, int* width,
                      const std::string& prelude = "") {
  RunResult r = ghostscript(prelude + doc, {"-sDEVICE=pgmraw", "-r144",
                                            "-dLastPage=1", "-sOutputFile=-"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::istringstream in(r.out);
  std::string magic, word;
  int h = 0, max = 0;
  in >> magic;
  while (in >> word && word[0] == '#') std::getline(in, word);
  *width = std::atoi(word.c_str());
  in >> h >> max;
  in.get();
  std::string px(static_cast<size_t>(*width) * h, '\0');
  in.read(px.data(), static_cast<std::streamsize>(px.size()));
  return px;
}

std::vector<InkBand> inkBands(const std::string& doc) {
  int w = 0;
  std::string px = firstPage(doc, &w);
  int h = w ? static_cast<int>(px.size()) / w : 0;
  std::vector<InkBand> bands;
  for (int y = 0, left = w, right = -1; y < h; ++y) {
    int l = w, rt = -1;
    for (int x = 0; x < w; ++x)
      if (static_cast<unsigned char>(px[y * w + x]) < 128) {
        l = std::min(l, x);
        rt = x;
      }
    if (rt >= 0 && (bands.empty() || bands.back().top + bands.back().height < y)) {
      bands.push_back({y, 0, 0});
      left = w;
      right = -1;
    }
    if (rt < 0) continue;
    left = std::min(left, l);
    right = std::max(right, rt);
    bands.back().height = y - bands.back().top + 1;
    bands.back().width = right - left + 1;
  }
  return bands;
}

// Characters JIS X 0208 lacks print from the kanji font's full glyph set,
// alike from every encoding that has them: circled one, a company mark,
// the numero sign and an IBM kanji, each its own glyph. A printer without
// the font's Unicode CMap prints a geta mark for each instead.
TEST(Japanese, WindowsCharactersPrintAsThemselves) {
  const char* const utf8[] = {"\xe2\x91\xa0", "\xe3\x88\xb1", "\xe2\x84\x96",
                              "\xe9\xab\x99"};
  const struct {
    const char* encoding;
    std::string text;
  } cases[] = {
      {"-Ke=sjis", "\x87\x40\x87\x8a\x87\x82\xfb\xfc\n"},
      {"-Ke=euc-jp", "\xad\xa1\xad\xea\xad\xe2\x8f\xf4\xfb\n"},
  };
  const std::string noCMap =
      "/resourcestatus {dup /CMap eq 2 index /UniJIS-UTF8-H eq and "
      "{pop pop false} {//resourcestatus} ifelse} bind def\n";
  auto page = [](const std::string& text, const std::string& encoding,
                 const std::string& prelude = "") {
    int w;
    return firstPage(texttops({encoding}, text).out, &w, prelude);
  };
  std::string geta = page("\xa2\xae", "-Ke=euc-jp");
  std::vector<std::string> alone;
  std::string all;
  for (const char* c : utf8) {
    all += c;
    alone.push_back(page(c, "-Ke=utf-8"));
    EXPECT_NE(alone.back(), geta) << c;
    for (size_t j = 0; j + 1 < alone.size(); ++j) EXPECT_NE(alone.back(), alone[j]) << c;
  }
  all += "\n";
  std::string line = page(all, "-Ke=utf-8");
  std::string getas = page("\xa2\xae\xa2\xae\xa2\xae\xa2\xae\n", "-Ke=euc-jp");
  EXPECT_EQ(page(all, "-Ke=utf-8", noCMap), getas);
  for (const auto& c : cases) {
    EXPECT_EQ(page(c.text, c.encoding), line) << c.encoding;
    EXPECT_EQ(page(c.text, c.encoding, noCMap), getas) << c.encoding;
  }
  // Only a document with such characters asks for that CMap, which is
  // large; on its later pages they print as on the first.
  const std::string trap =
      "/resourcestatus {dup /CMap eq 2 index /UniJIS-UTF8-H eq and "
      "{/CMapAskedFor cvx exec} if //resourcestatus} bind def\n";
  page("\xb0\xa1\xa4\xa2\n", "-Ke=euc-jp", trap);
  auto onPage = [](const std::string& text, const char* n) {
    return ghostscript(texttops({"-Ke=utf-8"}, text).out,
                       {"-sDEVICE=pgmraw", "-r72", std::string("-dFirstPage=") + n,
                        std::string("-dLastPage=") + n, "-sOutputFile=-"}).out;
  };
  // (The first of them stands in a page already begun, whose restore
  // undoes what loaded the font.)
  std::string second = onPage("x\n" + all + "\f" + all, "2");
  EXPECT_GT(second.size(), 1000u);
  EXPECT_EQ(second, onPage(all, "1"));
}

// A black square (JIS 0x2223) keeps its designed shape in both layouts,
// and rows of it stand apart: by default half a font size of pitch more
// than with -Kp=1, else as -Kp asks.
TEST(Japanese, GlyphsKeepTheirShapeAndRowsStandApart) {
  const std::string squares = "\xa2\xa3\n\xa2\xa3\n";
  const struct {
    std::vector<std::string> args;
    const char* pitch;
    double ratio;  // of the row distance to that of -Kp=1
  } cases[] = {
      {{"-s30"}, nullptr, 1.5},
      {{"-l20", "-w60", "-s30"}, nullptr, 1.5},
      {{"-s30"}, "-Kp=2", 2},
      {{"-w40", "-s20"}, "-Kp=1.25", 1.25},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("-Ke=euc-jp");
    std::vector<InkBand> rows[2];
    for (int i = 0; i < 2; ++i) {
      std::vector<std::string> a = args;
      if (i == 1 || c.pitch) a.push_back(i == 1 ? "-Kp=1" : c.pitch);
      rows[i] = inkBands(texttops(a, squares).out);
      ASSERT_EQ(rows[i].size(), 2u) << c.args[0];
      EXPECT_NEAR(static_cast<double>(rows[i][0].width) / rows[i][0].height,
                  1.0, 0.05)
          << c.args[0];
    }
    double ratio = static_cast<double>(rows[0][1].top - rows[0][0].top) /
                   (rows[1][1].top - rows[1][0].top);
    EXPECT_NEAR(ratio, c.ratio, 0.05) << c.args[0];
  }
  // Without kana or kanji, lines stay one font size apart.
  RunResult plain = texttops({"-s30"}, "x\ny\n");
  EXPECT_EQ(plain.out.find("/height size 1"), std::string::npos);
  EXPECT_EQ(texttops({"-Kp=0.5"}, "x\n").status, 255);
}

// Under the spooler a close call between two encodings is named in the
// log; a clear one is not.
TEST(Japanese, CloseCallsAreLoggedUnderTheSpooler) {
  const struct {
    const char* text;
    const char* log;
  } cases[] = {
      {"\xe0\xa1\n", "zavpsif: job of ?@?: input read as euc-jp, nearly as well as sjis\n"},
      {"100\x89\x7e\n", ""},
  };
  for (const auto& c : cases) {
    RunResult r = run({bin("zavpsif")}, {c.text, {"TEXTTOPSOPTION"}, ""});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, c.log);
  }
}

// Byte sequences that once aborted the job or corrupted the page: a
// backspace after a kanji or a form feed, SS2 before a byte that is no
// kana, SS3, lone lead bytes before a newline, a cut character at the end.
TEST(Japanese, FaultySequencesPrintWhatTheyHold) {
  const struct {
    std::string text;
    std::vector<std::string> codes;
  } cases[] = {
      {"ab\xb4\xc1\n\xb4\xc1\b\n", {"a", "b", "3441", "3441"}},
      {"abcdefg\n\xb4\xc1\bX\n",
       {"a", "b", "c", "d", "e", "f", "g", "3441", "X"}},
      {"ok\x8e\xff" "A\n", {"o", "k", "222e", "222e", "A"}},
      {"a\x8f\xa2\xaf\nb\xb0\n\x8e\nc\n",
       {"a", "222e", "b", "222e", "222e", "c"}},
      {"a\f\bx\n\b\by\n", {"a", "x", "y"}},
      {"a\n\x8e", {"a", "222e"}},
  };
  std::vector<std::string> docs;
  std::vector<std::vector<std::string>> expected;
  for (const char* layout : {"-s10", "-l1", "-l60", "-w20"}) {
    for (const auto& c : cases) {
      RunResult r = texttops({layout}, c.text);
      ASSERT_EQ(r.status, 0) << r.err;
      docs.push_back(r.out);
      expected.push_back(c.codes);
    }
  }
  EXPECT_EQ(shownCodes(docs), expected);
}

// Where each line of a document ends: the pen's x when NL or NL2 moves
// on to the next line, in points.
std::vector<double> lineEnds(const std::string& doc) {
  std::string d = doc;
  const std::string setup = "%%EndDocumentSetup\n";
  d.insert(d.find(setup) + setup.size(),
           "/NLo /NL load def /NL2o /NL2 load def\n"
           "/NL {C pop = NLo} def /NL2 {C pop = NL2o} def\n");
  RunResult r = ghostscript(d);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  std::vector<double> ends;
  for (size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1) {
    ends.push_back(std::atof(r.out.c_str() + at));
    if (r.out.find('\n', at) == std::string::npos) break;
  }
  return ends;
}

TEST(Japanese, ColumnsLineUpInBothLayouts) {
  // 36 columns each: kanji take two, kana, Latin-1 and geta marks their
  // own count of columns; a tab after them reaches column 8.
  auto times = [](int n, const std::string& s) {
    std::string r;
    while (n-- > 0) r += s;
    return r;
  };
  const std::string kanji = "\xe4\xba\x9c", kana = "\xef\xbd\xb1";
  std::string rest = std::string(28, 'b') + "\n";
  std::string text = std::string(36, 'a') + "\n" + times(18, kanji) + "\n" +
                     times(36, kana) + "\n" + times(9, "a" + kana + kanji) +
                     "\n" + kanji + "\t" + rest + "Caf\xc3\xa9\xc3\xa9\t" +
                     rest + "\xf0\x9f\x98\x80" + kana + "\t" + rest;
  for (const char* layout : {"-s12", "-l60", "-w40", "-Kg"}) {
    RunResult r = texttops({layout}, text);
    std::vector<double> ends = lineEnds(r.out);
    ASSERT_EQ(ends.size(), 7u) << layout << r.out;
    for (double end : ends) EXPECT_NEAR(end, ends[0], 0.05) << layout;
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

// Every document of `docs` made a counting document, in one file.
std::string countingAll(const std::string& docs) {
  const std::string head = "%!PS-Adobe-";
  std::string all;
  for (size_t at = docs.find(head), next; at != std::string::npos; at = next) {
    next = docs.find(head, at + head.size());
    all += countingLines(docs.substr(at, next - at));
  }
  return all;
}

// The line counts a batch of counting documents printed.
std::vector<int> printedLineCounts(const std::string& docs, std::string* err) {
  RunResult r = ghostscript(kLoadFonts + docs);
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
      "word", "(a)\\", "\t", "\b", "\x01\x1b\x7f", "\r", " ", "\f",
      "\xb0\xa1\xc6\xfc", "\x8e\xb1\x8e\xdf", "\x8f\xa2\xaf", "\x8e", "\x8f",
      "\xb0", "\x8e\xff", "\xff\xfe", "\x80", "\xe4\xba\x9c\xe3\x81\x82",
      "\xef\xbd\xb1", "\xc3\xa9\xc3\xbf", "\xe4\xba", "\xf0\x9f\x98",
      "\xed\xa0\x80", "\xc2", "\x82\xa0\x88", "\x85\x77", "\xef\xbb\xbf",
      nullptr};
  static const int kinds = [] {
    int n = 0;
    while (pieces[n]) ++n;
    return n;
  }();
  std::string line;
  for (int n = rng() % 7; n > 0; --n) line += pieces[rng() % kinds];
  return line + (rng() % 4 == 0 ? "\r\n" : "\n");
}

// 300 random texts, 25 per encoding and layout; each layout's documents
// go through Ghostscript in one run. A form feed ends a line too.
TEST(Japanese, RandomMixesKeepTheirLinesAndPrintCleanly) {
  std::mt19937 rng(12);
  TempDir dir;
  for (const char* layout : {"-s10", "-l40", "-w100"}) {
    std::string docs;
    std::vector<int> expected;
    for (const char* encoding : {"-Ke=auto", "-Ke=euc-jp", "-Ke=utf-8",
                                 "-Ke=sjis"}) {
      std::vector<std::string> args = {layout, encoding};
      for (int i = 0; i < 25; ++i) {
        std::string text;
        for (int l = 1 + rng() % 60; l > 0; --l) text += randomLine(rng);
        // A byte order mark of UTF-16 at the start makes another text.
        if (text.starts_with("\xff\xfe")) text.insert(0, "x");
        args.push_back(dir.write(std::to_string(i), text));
        // Line feeds that only follow the last form feed print nothing.
        size_t end = text.find_last_not_of("\r\n");
        int unprinted = end != std::string::npos && text[end] == '\f'
                            ? static_cast<int>(std::count(text.begin() + end, text.end(), '\n'))
                            : 0;
        expected.push_back(static_cast<int>(
            std::count(text.begin(), text.end(), '\n') +
            std::count(text.begin(), text.end(), '\f')) - unprinted);
      }
      RunResult r = texttops(args, "");
      ASSERT_EQ(r.status, 0) << r.err;
      docs += r.out;
    }
    std::string err;
    EXPECT_EQ(printedLineCounts(countingAll(docs), &err), expected)
        << layout << err;
  }
}

// A manual page as man formats it for a UTF-8 terminal: that of ls, or,
// where the system has dropped its manual pages, this program's own.
TEST(Japanese, ManualPageKeepsItsLines) {
  RunOptions utf8 = {"", {"MANWIDTH=80", "LC_ALL=C.UTF-8", "MANPAGER=cat",
                          "PAGER=cat"}, ""};
  RunResult man = run({"man", "ls"}, utf8);
  if (man.status != 0 || man.out.empty())
    man = run({"man", "-l", ZAVPS_MAN_DIR "/texttops.1"}, utf8);
  ASSERT_EQ(man.status, 0) << man.err;
  ASSERT_NE(man.out.find("\xe2\x80\x90"), std::string::npos);  // U+2010
  int lines = static_cast<int>(std::count(man.out.begin(), man.out.end(), '\n'));
  for (const char* layout : {"-s10", "-l66"}) {
    RunResult r = texttops({layout}, man.out);
    // Not one geta mark more than the page holds.
    EXPECT_EQ(count(r.out, "\\042\\056"), count(man.out, "\xe3\x80\x93"));
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
