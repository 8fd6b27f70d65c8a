#include "guess.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "decode.h"
#include "options.h"
#include "reader.h"

namespace {

// `text` converted by iconv, or "" where it cannot be.
std::string convert(const std::string& text, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "";
  std::string out(text.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  char* o = out.data();
  size_t inLeft = text.size(), outLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return "";
  out.resize(out.size() - outLeft);
  return out;
}

// A text and the encoding it is written in.
struct Sample {
  std::string text;
  int encoding;
};

// Share of `samples` that `guess` reads as their own encoding does.
template <class Guess>
double shareRight(const std::vector<Sample>& samples, Guess guess) {
  size_t right = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    int g = guess(i);
    right += g == samples[i].encoding ||
             (g != ENCODING_Invalid &&
              printedAs(samples[i].text, g) ==
                  printedAs(samples[i].text, samples[i].encoding));
  }
  return static_cast<double>(right) / static_cast<double>(samples.size());
}

// nkf's guess for each sample, or nothing when nkf is missing.
std::vector<int> nkfGuesses(const std::vector<Sample>& samples) {
  namespace fs = std::filesystem;
  char dir[] = "/dev/shm/guess_test.XXXXXX";
  char tmp[] = "/tmp/guess_test.XXXXXX";
  char* made = mkdtemp(dir);
  if (!made && !(made = mkdtemp(tmp))) return {};
  for (size_t i = 0; i < samples.size(); ++i)
    std::ofstream(fs::path(made) / std::to_string(i), std::ios::binary)
        << samples[i].text;
  static const std::map<std::string, int> names = {
      {"EUC-JP", ENCODING_Euc},     {"CP51932", ENCODING_Euc},
      {"eucJP-ms", ENCODING_Euc},   {"Shift_JIS", ENCODING_Sjis},
      {"CP932", ENCODING_Sjis},     {"UTF-8", ENCODING_Utf8}};
  std::vector<int> guesses(samples.size(), ENCODING_Invalid);
  std::string command = std::string("cd ") + made +
                        " && ls | xargs nkf --guess 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  char line[256];
  size_t seen = 0;
  while (p && std::fgets(line, sizeof line, p)) {
    std::string s(line);
    size_t colon = s.find(": ");
    size_t i = std::stoul(s.substr(0, colon));
    std::string name = s.substr(colon + 2, s.find(' ', colon + 2) - colon - 2);
    if (i < guesses.size() && names.count(name)) guesses[i] = names.at(name);
    ++seen;
  }
  if (p) pclose(p);
  fs::remove_all(made);
  if (seen != samples.size()) return {};
  return guesses;
}

// Every character of JIS X 0208 in EUC-JP, row by row.
std::vector<std::string> jisCharacters() {
  std::vector<std::string> chars;
  for (int first = 0xA1; first <= 0xFE; ++first)
    for (int second = 0xA1; second <= 0xFE; ++second)
      if (jisCodePoint(first, second))
        chars.push_back({static_cast<char>(first), static_cast<char>(second)});
  return chars;
}

std::vector<std::string> oneCharacter() {
  std::vector<std::string> texts;
  for (const std::string& c : jisCharacters()) texts.push_back(c + "\n");
  return texts;
}

// Each character after one common character and before another: the
// particle の, the kanji 日, the katakana ア and the comma 、.
std::vector<std::string> withCommonOnes() {
  const char* common[] = {"\xa4\xce", "\xc6\xfc", "\xa5\xa2", "\xa1\xa2"};
  std::vector<std::string> texts;
  std::vector<std::string> chars = jisCharacters();
  for (size_t i = 0; i < chars.size(); ++i) {
    texts.push_back(chars[i] + common[i % 4] + "\n");
    texts.push_back(common[(i + 1) % 4] + chars[i] + "\n");
  }
  return texts;
}

// Pairs of characters drawn at random.
std::vector<std::string> randomPairs() {
  std::vector<std::string> chars = jisCharacters();
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 5000; ++i)
    texts.push_back(chars[rng() % chars.size()] + chars[rng() % chars.size()] +
                    "\n");
  return texts;
}

// Lines of Japanese: messages, prose, addresses, half-width katakana.
std::vector<std::string> sentences() {
  std::ifstream in(TEXTTOPS_TESTDATA "/sentences.txt");
  std::vector<std::string> texts;
  for (std::string line; std::getline(in, line);) texts.push_back(line + "\n");
  return texts;
}

const int kEncodings[3] = {ENCODING_Euc, ENCODING_Sjis, ENCODING_Utf8};
// The converters' names: the sets of JIS X 0208 are built in EUC-JP, the
// sentences (which have Windows characters too) in UTF-8.
const char* const kJis[3] = {"EUC-JP", "SHIFT_JIS", "UTF-8"};
const char* const kWindows[3] = {"EUC-JP-MS", "CP932", "UTF-8"};

// Per set and encoding, the least share read right. A one-character text
// of two bytes E0-E9 A1-FC (and four more) is the second level of kanji in
// both EUC-JP and Shift_JIS, two different ones: such a text reads as
// EUC-JP, as nkf reads it too, and so 924 of the Shift_JIS texts cannot.
const struct {
  const char* name;
  std::vector<std::string> (*build)();
  const char* const* to;
  double least[3];  // EUC-JP, Shift_JIS, UTF-8
} kSets[] = {
    {"one character", oneCharacter, kJis, {0.99, 0.86, 0.99}},
    {"two with a common one", withCommonOnes, kJis, {0.999, 0.999, 0.999}},
    {"two at random", randomPairs, kJis, {0.99, 0.975, 0.99}},
    {"sentences", sentences, kWindows, {0.999, 0.99, 0.999}},
};

TEST(GuessEncoding, ReadsShortJapaneseTextsRightAtLeastAsOftenAsNkf) {
  for (const auto& set : kSets) {
    std::vector<std::string> texts = set.build();
    for (size_t e = 0; e < 3; ++e) {
      std::vector<Sample> samples;
      for (const std::string& t : texts) {
        std::string s = convert(t, set.to[e], set.to == kJis ? "EUC-JP" : "UTF-8");
        if (!s.empty()) samples.push_back({s, kEncodings[e]});
      }
      double ours = shareRight(samples, [&](size_t i) {
        return guessEncoding(samples[i].text, -1, false).encoding;
      });
      std::vector<int> nkf = nkfGuesses(samples);
      double theirs = nkf.empty() ? 0 : shareRight(samples, [&](size_t i) {
        return nkf[i];
      });
      std::printf("%-22s %-9s %6zu texts: %.4f right, nkf %.4f\n", set.name,
                  set.to[e], samples.size(), ours, theirs);
      EXPECT_GE(ours, set.least[e]) << set.name << " " << set.to[e];
      EXPECT_GE(ours, theirs) << set.name << " " << set.to[e];
    }
  }
}

}  // namespace

namespace {

// Whole inputs read without -Ke print as they do with their encoding.
TEST(GuessEncoding, StrayBytesAndShortLines) {
  std::string japanese;
  for (const std::string& s : sentences()) japanese += s;
  std::string big;
  while (big.size() < 50000) big += japanese;
  const struct {
    std::string text;  // UTF-8
    const char* to;
    int encoding;
    const char* append;  // bytes after the converted text
  } cases[] = {
      {big, "UTF-8", ENCODING_Utf8, "\xe9\n"},  // one Latin-1 byte
      {"村長\n", "EUC-JP", ENCODING_Euc, ""},
      {"100円\n", "CP932", ENCODING_Sjis, ""},
      {"25℃\n", "CP932", ENCODING_Sjis, ""},
      {"表示\n", "CP932", ENCODING_Sjis, ""},
      {"第1章\n", "CP932", ENCODING_Sjis, ""},
      {"ｼｽﾃﾑｴﾗｰｶﾞ ﾊｯｾｲｼﾏｼﾀ\n", "CP932", ENCODING_Sjis, ""},
      {"Café au lait, 25°C\n", "UTF-8", ENCODING_Utf8, ""},
  };
  for (const auto& c : cases) {
    std::string text = convert(c.text, c.to, "UTF-8") + c.append;
    EXPECT_EQ(printedAs(text, ENCODING_Auto), printedAs(text, c.encoding))
        << c.text.substr(0, 40);
  }
}

}  // namespace
