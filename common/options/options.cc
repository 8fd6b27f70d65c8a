#include "options.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>

OptionSettings opt;

const char* const kVersion = ZAVPS_VERSION;

const InputSelection defaultInputSelection = {0, INPUT_Paper, 1};

const InputKeyword inputkeytab[] = {
    {"1", 1, {1, INPUT_Tray, 15}},
    {"2", 2, {2, INPUT_Tray, 15}},
    {"3", 3, {3, INPUT_Tray, 15}},
    {"4", 4, {4, INPUT_Tray, 15}},
    {"A4", 5, {5, INPUT_Paper, 1}},
    {"A5", 6, {6, INPUT_Paper, 2}},
    {"A6", 7, {7, INPUT_Paper, 3}},
    {"B5", 8, {8, INPUT_Paper, 4}},
    {"LT", 9, {9, INPUT_Paper, 5}},
    {"FL", 10, {10, INPUT_Paper, 6}},
    {"LG", 11, {11, INPUT_Paper, 7}},
    {"EX", 12, {12, INPUT_Paper, 8}},
    {"MO", 13, {13, INPUT_Paper, 9}},
    {"COM10", 14, {14, INPUT_Paper, 10}},
    {"DL", 15, {15, INPUT_Paper, 11}},
    {"C5", 16, {16, INPUT_Paper, 12}},
    {"LP210x900", 17, {17, INPUT_Paper, 13}},
    {nullptr, 0, {19, INPUT_Invalid, 16}},
};

const InputKeyword customkeytab[] = {
    {"Custom", kCustomInputCode, {18, INPUT_Custom, 14}},
    {nullptr, 0, {19, INPUT_Invalid, 16}},
};

const OutputKeyword outputkeytab[] = {
    {"ce", 1},
    {"re", 2},
    {"of", 3},
    {nullptr, 0},
};

// The first row of each encoding is the name the option tool writes.
const EncodingKeyword encodingkeytab[] = {
    {"auto", ENCODING_Auto},       {"euc-jp", ENCODING_Euc},
    {"eucjp", ENCODING_Euc},       {"euc", ENCODING_Euc},
    {"utf-8", ENCODING_Utf8},      {"utf8", ENCODING_Utf8},
    {"shift_jis", ENCODING_Sjis},  {"sjis", ENCODING_Sjis},
    {"cp932", ENCODING_Sjis},      {nullptr, ENCODING_Invalid},
};

const char* const stampProcedureNames[4] = {"lsu", "rsu", "lsd", "rsd"};

bool isWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

void unknownOption(const std::string& word) {
  throw FatalError{"Unknown option '" + word + "'\n", 255};
}

void resetOptions() { opt = OptionSettings(); }

namespace {

// A print set's printer options as the filters start with them.
PrinterSettings initialPrinterSettings() {
  PrinterSettings p;
  p.copies = 1;
  p.stamp.position = kNoStamp;
  p.stamp.font = "Helvetica";
  return p;
}

}  // namespace

void initTextSet() {
  opt.text_printer = initialPrinterSettings();
  for (double& m : opt.text_page_margins) m = 0.0;
  opt.text_use_page_margins = 0;
  opt.text_page_margins_given = 0;
  opt.text_two_line = 0;
  opt.text_landscape = 0;
  opt.text_ignore_formfeed = 0;
  opt.text_tab_width = 8;
  opt.text_lines = kDefaultLines;
  opt.text_lines_set = 0;
  opt.text_lines_explicit = 0;
  opt.text_columns = kDefaultColumns;
  opt.text_columns_set = 0;
  opt.text_top_margin = 0;
  opt.text_top_margin_given = 0;
  opt.text_left_margin = 0;
  opt.text_left_margin_given = 0;
  opt.text_font_size = 10;
  opt.text_font = "Courier";
  opt.text_kana_font = "Ryumin-Light-Hankaku";
  opt.text_kanji_font = "Ryumin-Light-H";
  opt.text_encoding = ENCODING_Auto;
  opt.text_line_pitch = 0;
  opt.text_force_postscript = 0;
}

void initImageSet() {
  opt.image_printer = initialPrinterSettings();
  opt.image_width_inch = 1.0;
  opt.image_height_inch = 1.0;
  opt.image_size_given = 0;
  opt.image_fit_width_inch = 0.0;
  opt.image_fit_width_given = 0;
  opt.image_width_points = 0;
  opt.image_points_given = 0;
  opt.image_offset_x = 0.25;
  opt.image_offset_y = 0.25;
  opt.image_offset_given = 1;
  opt.image_rotate = 0;
  opt.image_no_showpage = 0;
  opt.image_g4 = 0;
}

namespace {

// Skips whitespace from `pos`, stopping at the end of the text.
size_t skipWhite(const std::string& text, size_t pos) {
  while (pos < text.size() && isWhite(text[pos])) ++pos;
  return pos;
}

// The keyword word at `pos`: the option string ends at its first newline
// (the rest is dropped), and the word ends at the first space.
std::string keywordWord(std::string& text, size_t pos) {
  size_t nl = text.find('\n', pos);
  if (nl != std::string::npos) text.resize(nl);
  size_t sp = text.find(' ', pos);
  return text.substr(pos, sp == std::string::npos ? std::string::npos
                                                  : sp - pos);
}

// Keeps `keep` digits after the first '.' of `s` (none: the point goes).
void cutDecimals(std::string& s, size_t keep) {
  size_t dot = s.find('.');
  if (dot == std::string::npos) return;
  s.resize(keep == 0 ? dot : std::min(s.size(), dot + 1 + keep));
}

// Points of a custom-size value, each step in single precision, half up.
int customPoints(float value, float divisor, float factor) {
  float inUnit = value / divisor;
  float points = inUnit * factor;
  if (!(points > -1e9f && points < 1e9f)) return 0;  // nan, inf, absurd
  int whole = static_cast<int>(points);
  if (points - static_cast<float>(whole) >= 0.5f) ++whole;
  return whole;
}

}  // namespace

size_t readInputKeyword(std::string& text, size_t pos, int* code) {
  size_t start = pos;
  pos = skipWhite(text, pos);
  if (pos >= text.size()) return pos - start;
  std::string word = keywordWord(text, pos);
  for (const InputKeyword* row = inputkeytab; row->name; ++row) {
    if (word == row->name) {
      *code = row->code;
      opt.input_selection = &row->selection;
      pos = skipWhite(text, pos + word.size());
      return pos - start;
    }
  }
  if (readCustomSize(word, code)) {
    pos = skipWhite(text, pos + word.size());
    return pos - start;
  }
  unknownOption(word);
}

size_t readOutputKeyword(std::string& text, size_t pos, int* code) {
  size_t start = pos;
  pos = skipWhite(text, pos);
  if (pos >= text.size()) return pos - start;
  std::string word = keywordWord(text, pos);
  for (const OutputKeyword* row = outputkeytab; row->name; ++row) {
    if (word == row->name) {
      *code = row->code;
      pos = skipWhite(text, pos + word.size());
      return pos - start;
    }
  }
  unknownOption(word);
}

int readCustomSize(const std::string& word, int* code) {
  opt.custom_width_points = 0;
  opt.custom_height_points = 0;
  opt.custom_width_value = 0;
  opt.custom_height_value = 0;

  struct Unit {
    const char* mark;
    int unit;
    float divisor;
    float factor;
    size_t decimals;
  };
  static const Unit units[] = {
      {"mm", 0, 25.4f, 72.0f, 1},
      {"in", 1, 1.0f, 72.0f, 2},
      {"pt", 2, 1.0f, 1.0f, 0},
      {nullptr, 0, 0, 0, 0},
  };
  const Unit* u = units;
  size_t at = std::string::npos;
  for (; u->mark; ++u) {
    at = word.find(u->mark);
    if (at != std::string::npos) break;
  }
  if (!u->mark) return 0;
  opt.custom_unit = u->unit;
  std::string size = word.substr(0, at);

  size_t dash = size.find('-');
  bool manual = dash != std::string::npos;
  size_t x = size.find('x');
  if (x == std::string::npos) return 0;
  // The width runs from the start (or after the dash) to the 'x' or, when
  // the dash lies beyond the 'x', to the end of the word.
  size_t wstart = manual ? dash + 1 : 0;
  size_t wend = wstart <= x ? x : size.size();
  std::string width = size.substr(wstart, wend - wstart);
  std::string height = size.substr(x + 1);
  cutDecimals(width, u->decimals);
  cutDecimals(height, u->decimals);

  opt.custom_width_value = std::strtof(width.c_str(), nullptr);
  opt.custom_height_value = std::strtof(height.c_str(), nullptr);
  opt.custom_width_points =
      customPoints(opt.custom_width_value, u->divisor, u->factor);
  opt.custom_height_points =
      customPoints(opt.custom_height_value, u->divisor, u->factor);

  if (manual) {
    *code = 0;
    opt.input_selection = &customkeytab[1].selection;
  } else {
    *code = kCustomInputCode;
    opt.input_selection = &customkeytab[0].selection;
  }
  return 1;
}

int checkPaperSize(int input_code) {
  if (input_code != kCustomInputCode) return 1;
  struct Limits {
    float wmin, wmax, hmin, hmax;
  };
  static const Limits limits[] = {
      {75.5f, 215.9f, 127.0f, 355.6f},
      {2.97f, 8.5f, 5.0f, 14.0f},
      {214.0f, 612.0f, 360.0f, 1008.0f},
  };
  int unit = opt.custom_unit >= 0 && opt.custom_unit <= 2 ? opt.custom_unit : 0;
  const Limits& l = limits[unit];
  float w = opt.custom_width_value;
  float h = opt.custom_height_value;
  // Written so that a size that is not a number counts as too small.
  if (!(w >= l.wmin)) return -2;
  if (w > l.wmax) return -1;
  if (!(h >= l.hmin)) return -2;
  if (h > l.hmax) return -1;
  return 1;
}

const char* inputKeywordName(int code) {
  for (const InputKeyword* row = inputkeytab; row->code != 0; ++row)
    if (row->code == code) return row->name;
  return nullptr;
}

int readEncodingKeyword(const std::string& word) {
  const EncodingKeyword* row = encodingkeytab;
  while (row->name && strcasecmp(row->name, word.c_str()) != 0) ++row;
  return row->encoding;
}

const char* outputKeywordName(int code) {
  for (const OutputKeyword* row = outputkeytab; row->code != 0; ++row)
    if (row->code == code) return row->name;
  return nullptr;
}
