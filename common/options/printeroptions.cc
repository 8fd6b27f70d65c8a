#include "printeroptions.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "devicesetup.h"
#include "options.h"
#include "paper.h"
#include "parse.h"
#include "tray.h"

namespace {

// Value readers of the option language.

// A key without a value: sets its field to `value`.
template <int PrinterSettings::*field, int value>
size_t setFlag(std::string&, size_t, size_t pos, PrinterSettings& set) {
  set.*field = value;
  return pos;
}

size_t readInput(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  return pos + readInputKeyword(s, pos, &set.input_tray);
}

size_t readOutput(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  return pos + readOutputKeyword(s, pos, &set.output_tray);
}

// "D" long edge, "d" short edge.
size_t readDuplex(std::string& s, size_t keyPos, size_t pos,
                  PrinterSettings& set) {
  set.duplex = s[keyPos] == 'D' ? 2 : 3;
  return pos;
}

// "C<n>": a number that is not there leaves the policy unset.
size_t readPolicy(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  pos = readUnsigned(s, pos, &set.page_size_policy);
  if (!opt.scan_error) set.page_size_policy_set = 1;
  return pos;
}

// "Cl", and whatever else the word holds.
size_t readCollate(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  set.collate = 1;
  return wordEnd(s, pos);
}

// "N" must be "Nc=<copies>"; the rest of the word is ignored.
size_t readCopies(std::string& s, size_t keyPos, size_t pos,
                  PrinterSettings& set) {
  if (!startsWith(s, pos, "c=")) wordError(s, keyPos);
  readInRange(s, pos + 2, keyPos, 0, kMaxCopies, &set.copies);
  return wordEnd(s, pos);
}

// Besides the words "no", "job" and "set" the jog takes what the option
// tool writes: a number (only the values the printer knows make a
// request), "N" (no jog) and "U=" with a user name, which names no jog of
// this printer and sets nothing.
size_t readJog(std::string& s, size_t keyPos, size_t p, PrinterSettings& set) {
  static const struct {
    const char* word;
    int jog;
  } jogwords[] = {{"no", 0}, {"job", 1}, {"set", 3}, {nullptr, 0}};
  for (int i = 0; jogwords[i].word; ++i) {
    if (!startsWith(s, p, jogwords[i].word)) continue;
    set.jog = jogwords[i].jog;
    set.jog_set = 1;
    return p + std::strlen(jogwords[i].word);
  }
  size_t end = wordEnd(s, p);
  if (startsWith(s, p, "U=")) return end;
  if (end == p + 1 && s[p] == 'N') {
    set.jog = 0;
    set.jog_set = 1;
    return end;
  }
  if (end == p) wordError(s, keyPos);
  unsigned jog = 0;
  for (size_t i = p; i < end; ++i) {
    if (s[i] < '0' || s[i] > '9') wordError(s, keyPos);
    jog = std::min(jog * 10 + static_cast<unsigned>(s[i] - '0'), 1000u);
  }
  set.jog = static_cast<int>(jog);
  set.jog_set = 1;
  return end;
}

// "Hd=" word: position, item list, page mode.
size_t readStamp(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  StampSettings& f = set.stamp;
  std::string word;
  size_t next = readToken(s, pos, &word);
  if (!word.empty()) {
    static const char* const positions[] = {"ul", "ur", "dl", "dr", nullptr};
    int p = 0;
    while (positions[p] && word.compare(0, 2, positions[p]) != 0) ++p;
    if (!positions[p]) unknownOption(word);
    f.position = p;
  }
  int place = 0;
  size_t pagesFrom = 4;
  if (word.size() > 3 && word[3] != ':') {
    size_t i = 3;
    for (; i < word.size() && word[i] != ':'; ++i) {
      switch (word[i]) {
        case 'u': f.user_slot = ++place; break;
        case 'h': f.host_slot = ++place; break;
        case 't': f.date_slot = ++place; break;
        default: break;
      }
    }
    pagesFrom = i < word.size() ? i + 1 : word.size();
  }
  if (place == 0) {
    f.user_slot = 1;
    f.host_slot = 2;
    f.date_slot = 0;
  }
  f.pages = kNoStamp;
  for (size_t i = pagesFrom; i < word.size(); ++i) {
    if (word[i] == 'f') f.pages = 1;
    if (word[i] == 'a') f.pages = 2;
  }
  return next;
}

// "Hf<font>": an empty word sets nothing.
size_t readStampFont(std::string& s, size_t, size_t pos, PrinterSettings& set) {
  std::string font;
  pos = readToken(s, pos, &font);
  if (!font.empty()) set.stamp.font = fontName(font);
  return pos;
}

// CUPS values.

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A decimal number without sign or exponent: "210", "8.5".
bool isPlainNumber(const std::string& s) {
  if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos)
    return false;
  return s.find('.') == s.rfind('.') && s != ".";
}

// The input keyword of a paper of the paper table.
const char* paperKeyword(int paperId) {
  for (const InputKeyword* k = inputkeytab; k->name; ++k)
    if (k->selection.kind == INPUT_Paper && k->selection.paper_id == paperId)
      return k->name;
  return nullptr;
}

// "-I" words for a size "WxH" with unit "mm", "in" or "pt": a paper of
// the table when one has that size, else the custom size.
std::string sizeWords(const std::string& w, const std::string& h,
                      const std::string& unit) {
  if (!isPlainNumber(w) || !isPlainNumber(h)) return "";
  double scale = unit == "mm" ? 72 / 25.4 : unit == "in" ? 72 : 1;
  double width = std::atof(w.c_str()) * scale;
  double height = std::atof(h.c_str()) * scale;
  for (const Paper* p = papertab; p->id != PAPER_Invalid; ++p)
    if (std::fabs(p->width - width) < 2 && std::fabs(p->height - height) < 2)
      if (const char* k = paperKeyword(p->id)) return std::string("-I") + k;
  return "-I" + w + "x" + h + unit;
}

bool sameName(const std::string& a, const char* b) {
  return b && strcasecmp(a.c_str(), b) == 0;
}

// PageSize names in any case: the paper table's, "Custom.WxH" (points,
// or a unit mm, cm, in, pt), self-describing names such as
// "iso_a4_210x297mm" or "na_letter_8.5x11in", and bare sizes with their
// unit such as "210x900mm" (the PPD's name for the long paper).
std::string mediaWords(const std::string& name) {
  for (const Paper* p = papertab; p->id != PAPER_Invalid; ++p)
    if (sameName(name, p->mediaName) || sameName(name, p->name))
      if (const char* k = paperKeyword(p->id)) return std::string("-I") + k;
  std::string v = name;
  for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string size;
  bool bare = false;
  if (v.compare(0, 7, "custom.") == 0) {
    size = v.substr(7);
  } else {
    size_t underscore = v.rfind('_');
    bare = underscore == std::string::npos;
    size = bare ? v : v.substr(underscore + 1);
  }
  size_t x = size.find('x');
  if (x == std::string::npos) return "";
  std::string w = size.substr(0, x), h = size.substr(x + 1);
  size_t digits = h.find_last_of("0123456789.") + 1;
  std::string unit = h.substr(digits);
  h.erase(digits);
  if (unit.empty() && bare) return "";
  if (unit.empty()) unit = "pt";
  if (unit == "cm" && isPlainNumber(w) && isPlainNumber(h)) {
    char mm[2][32];
    std::snprintf(mm[0], sizeof mm[0], "%.1f", std::atof(w.c_str()) * 10);
    std::snprintf(mm[1], sizeof mm[1], "%.1f", std::atof(h.c_str()) * 10);
    return sizeWords(mm[0], mm[1], "mm");
  }
  if (unit != "mm" && unit != "in" && unit != "pt") return "";
  return sizeWords(w, h, unit);
}

// InputSlot names: the input tray table's ("Tray1").
std::string slotWords(const std::string& v) {
  for (const Tray* t = inputtraytab; t->id != invalid_input; ++t)
    if (sameName(v, t->name))
      if (const char* k = inputKeywordName(t->id)) return std::string("-I") + k;
  return "";
}

// Words joined as the option text holds them.
void append(std::string& words, const std::string& more) {
  if (more.empty()) return;
  words += (words.empty() ? "" : " ") + more;
}

// "media": a list of paper sizes and trays, apart by commas. Its sizes
// apply before PageSize, which CUPS adds after it, and its trays after:
// "media=A4,Tray2" takes tray 2.
std::string media(const std::string& v, std::vector<std::string>* rejected,
                  bool trays) {
  std::string all;
  size_t start = 0;
  for (;;) {
    size_t comma = v.find(',', start);
    std::string piece = v.substr(start, comma - start);
    std::string size = mediaWords(piece), tray = slotWords(piece);
    if (size.empty() && tray.empty() && !trays) rejected->push_back(piece);
    append(all, trays ? tray : size);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return all;
}

std::string mediaSizes(const std::string& v, std::vector<std::string>* r) {
  return media(v, r, false);
}

std::string mediaTrays(const std::string& v, std::vector<std::string>* r) {
  return media(v, r, true);
}

std::string pageSize(const std::string& v, std::vector<std::string>* rejected) {
  std::string words = mediaWords(v);
  if (words.empty()) rejected->push_back(v);
  return words;
}

// "Auto": the automatic source, which is what no request means.
std::string inputSlot(const std::string& v, std::vector<std::string>* rejected) {
  std::string words = slotWords(v);
  if (words.empty() && !sameName(v, "Auto")) rejected->push_back(v);
  return words;
}

// OutputBin names: the output tray table's altName ("CenterTray").
std::string outputBin(const std::string& v, std::vector<std::string>* rejected) {
  for (const Tray* t = outputtraytab; t->id != invalid_output; ++t)
    if (sameName(v, t->altName))
      if (const char* k = outputKeywordName(t->id)) return std::string("-O") + k;
  if (!sameName(v, "Default")) rejected->push_back(v);
  return "";
}

// One word of the stamp's own syntax, in any case.
std::string stamp(const std::string& v, std::vector<std::string>* rejected) {
  bool blank = std::any_of(v.begin(), v.end(), isBlank);
  if (v.empty() || blank) {
    rejected->push_back(v);
    return "";
  }
  std::string word = v;
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "-Hd=" + word;
}

const CupsChoice kSides[] = {{"one-sided", nullptr},
                             {"two-sided-long-edge", "-D"},
                             {"two-sided-short-edge", "-d"},
                             {nullptr, nullptr}};
const CupsChoice kDuplex[] = {{"None", nullptr},
                              {"DuplexNoTumble", "-D"},
                              {"DuplexTumble", "-d"},
                              {nullptr, nullptr}};
const CupsChoice kDocumentHandling[] = {
    {"separate-documents-collated-copies", "-Cl"},
    {"separate-documents-uncollated-copies", nullptr},
    {"single-document", ""},
    {"single-document-new-sheet", ""},
    {nullptr, nullptr}};
const CupsChoice kJog[] = {
    {"no", "-Jno"}, {"job", "-Jjob"}, {"set", "-Jset"}, {nullptr, nullptr}};

}  // namespace

const PrinterOption printerOptions[] = {
    {"I", nullptr, readInput, &PrinterSettings::input_tray,
     {{"media", nullptr, nullptr, mediaSizes},
      {"PageSize", nullptr, nullptr, pageSize},
      {"media", nullptr, nullptr, mediaTrays},
      {"InputSlot", nullptr, nullptr, inputSlot}},
     'I',
     "  -IA4 -ILT ...  paper (A4 A5 A6 B5 LT FL LG EX MO COM10 DL C5), from\n"
     "                 the automatic source; -I1 .. -I4 a tray; -I210x297mm\n"
     "                 a custom size (mm, in or pt)\n",
     setupInput, true,
     "  -I input                tray 1-4, paper such as A4, or a size such "
     "as 210x297mm\n"},
    {"C", nullptr, readPolicy, &PrinterSettings::page_size_policy_set, {},
     'C', "", nullptr, true,
     "  -C policy, -Cl          page size policy 0 to 6; collate copies\n"},
    {"O", nullptr, readOutput, &PrinterSettings::output_tray,
     {{"OutputBin", nullptr, nullptr, outputBin}}, 'O',
     "  -Ore -Oce -Oof output tray\n", setupOutput, true,
     "  -O output               output tray ce, re or of\n"},
    {"D", "d", readDuplex, &PrinterSettings::duplex,
     {{"sides", kSides, nullptr, nullptr},
      {"Duplex", kDuplex, nullptr, nullptr}},
     'D', "  -D  -d         duplex, long edge / short edge\n", setupDuplex,
     false, "  -D, -d                  duplex on the long or the short edge\n"},
    {"N", nullptr, readCopies, nullptr, {}, 'N',
     "  -Nc=N          N copies;  -Cl collated\n", setupCopies, true,
     "  -Nc=copies              number of copies\n"},
    {"Cl", nullptr, readCollate, &PrinterSettings::collate,
     {{"multiple-document-handling", kDocumentHandling, nullptr, nullptr},
      {"Collate", nullptr, "-Cl", nullptr}},
     'C', "", nullptr, true, ""},
    {"Hd=", nullptr, readStamp, nullptr,
     {{"zavps-stamp", nullptr, nullptr, stamp}}, 'H',
     "  -Hd=POS[:ITEMS]\n"
     "                 stamp in a corner, POS ul ur dl dr; ITEMS in order\n"
     "                 from u user, h host, t date (default uh)\n",
     nullptr, true,
     "  -Hd=pos[:items[:pages]] stamp at ul ur dl dr, items of u h t, "
     "pages f or a\n",
     "  -Hd=POS[:ITEMS[:PAGES]]\n"
     "                 stamp in a corner, POS ul ur dl dr; ITEMS in order\n"
     "                 from u user, h host, t date (default uh); PAGES f\n"
     "                 first page, a every page (default: every page of a\n"
     "                 text, the first page of PostScript input)\n"},
    {"Hf", nullptr, readStampFont, nullptr, {}, 'H', "", nullptr, true,
     "  -Hf font                stamp font\n"},
    {"t", nullptr, setFlag<&PrinterSettings::toner_saver, 1>,
     &PrinterSettings::toner_saver,
     {{"zavps-toner-saver", nullptr, "-t", nullptr}}, 't',
     "  -t             toner saver;  -E  rendering enhancement\n",
     setupTonerSaver, false, "  -t                      toner saving\n"},
    {"E", nullptr, setFlag<&PrinterSettings::render_enhance, 1>,
     &PrinterSettings::render_enhance,
     {{"zavps-enhance", nullptr, "-E", nullptr}}, 'E', "", setupEnhance,
     false, "  -E                      print enhancement\n"},
    {"J", nullptr, readJog, &PrinterSettings::jog_set,
     {{"zavps-jog", kJog, nullptr, nullptr}}, 'J', "", nullptr, true,
     "  -J jog, -JN, -JU=user   jog 0, 2 or 3; no jog; a user's jog\n"},
    {nullptr, nullptr, nullptr, nullptr, {}, 0, nullptr, nullptr, false, nullptr},
};

const PrinterOption* printerOptionAt(const std::string& s, size_t pos) {
  const PrinterOption* found = nullptr;
  size_t longest = 0;
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    for (const char* key : {o->key, o->alt}) {
      size_t n = key ? std::strlen(key) : 0;
      if (n > longest && startsWith(s, pos, key)) {
        found = o;
        longest = n;
      }
    }
  }
  return found;
}

const PrinterOption* printerOption(const char* key) {
  for (const PrinterOption* o = printerOptions; o->key; ++o)
    if (std::strcmp(o->key, key) == 0) return o;
  return nullptr;
}

std::string printerOptionsHelp(bool text) {
  std::string help;
  for (const PrinterOption* o = printerOptions; o->key; ++o)
    help += text && o->text_help ? o->text_help : o->help;
  return help;
}
