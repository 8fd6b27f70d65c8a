#include "parse.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "logline.h"
#include "options.h"
#include "ownedfile.h"
#include "printeroptions.h"

#ifndef ZAVPS_SYSTEM_DIR
#define ZAVPS_SYSTEM_DIR "/usr/local/zavpsbin/"
#endif

std::string systemDefaultsFile() {
  // The programs are installed in <prefix>/zavpsbin; the names in
  // <prefix>/bin are links to them, which the kernel has already followed.
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path);
  if (n > 0 && static_cast<size_t>(n) < sizeof path) {
    std::string exe(path, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    if (slash != std::string::npos)
      return exe.substr(0, slash + 1) + ".zavpsdefault";
  }
  return ZAVPS_SYSTEM_DIR ".zavpsdefault";
}

bool startsWith(const std::string& s, size_t pos, const char* prefix) {
  return s.compare(pos, std::strlen(prefix), prefix) == 0;
}

// End of the word at `pos`: the first whitespace or the end of the text.
size_t wordEnd(const std::string& s, size_t pos) {
  while (pos < s.size() && !isWhite(s[pos])) ++pos;
  return pos;
}

static std::string wordAt(const std::string& s, size_t pos) {
  return s.substr(pos, wordEnd(s, pos) - pos);
}

// A word error for the key at `key`: quotes the word that begins one
// character before it (the '-' as options are usually written).
void wordError(const std::string& s, size_t key) {
  unknownOption(key == 0 ? std::string() : wordAt(s, key - 1));
}

// After a converted number: the rest of the word is ignored.
static size_t afterNumber(const std::string& s, size_t pos) {
  if (pos < s.size() && isWhite(s[pos])) return pos;
  return wordEnd(s, pos);
}

// A number within `low`..`high` at `pos`, as readUnsigned reads it; a
// number out of range (negative, too large, overflowing) is a word error
// for the key at `key`.
size_t readInRange(const std::string& s, size_t pos, size_t key, long low,
                   long high, unsigned* out) {
  opt.scan_error = 0;
  if (pos > s.size()) pos = s.size();
  const char* start = s.c_str() + pos;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(start, &end, 10);
  if (end == start) {
    opt.scan_error = 1;
    return pos;
  }
  if (errno == ERANGE || value < low || value > high) wordError(s, key);
  *out = static_cast<unsigned>(value);
  return afterNumber(s, pos);
}

// A font name as the document writes it after a slash: one PostScript
// name, so no delimiter, blank or control character. Others are refused
// here rather than failing the job in the printer.
const std::string& fontName(const std::string& word) {
  for (unsigned char c : word)
    if (c <= ' ' || c == 0x7F || std::strchr("()<>[]{}/%", c))
      unknownOption(word);
  return word;
}

namespace {

// A key of a printer option, its value read into `set`. A letter that
// begins a printer option's key but whose rest fits none does nothing.
// Returns false if the key is none of theirs.
bool printerKey(std::string& s, size_t keyPos, size_t* pos,
                PrinterSettings& set) {
  const PrinterOption* o = printerOptionAt(s, keyPos);
  if (o) {
    *pos = o->read(s, keyPos, keyPos + std::strlen(o->key), set);
    return true;
  }
  for (o = printerOptions; o->key; ++o)
    if (o->key[0] == s[keyPos]) return true;
  return false;
}

// The keys both grammars share besides the printer options: blanks after
// a dash do nothing.
bool commonKey(std::string& s, size_t keyPos, size_t* pos,
               PrinterSettings& set) {
  if (s[keyPos] == ' ' || s[keyPos] == '\t') return true;
  return printerKey(s, keyPos, pos, set);
}

// Set while an included line is parsed: a nested include is ignored, so a
// line that includes itself cannot loop.
bool including = false;

// A defaults file's content; a file that exists but cannot be used is
// named in one line on standard error. Under CUPS the line is a warning
// as CUPS reads it, or only a debugging line for a job owner's file
// (which a private home directory hides on every job).
std::optional<std::string> loadDefaults(const std::string& path,
                                        const JobContext& job,
                                        const uid_t* owner = nullptr,
                                        bool ownersFile = false) {
  std::string problem;
  std::optional<std::string> content = readDefaultsFile(path, &problem, owner);
  const char* level = job.mode != RunMode::CupsFilter ? ""
                      : ownersFile                ? "DEBUG: "
                                                  : "WARNING: ";
  if (!problem.empty())
    logLine(job, level + path + ": defaults file not read: " + problem + "\n");
  return content;
}

// "<zavpsif>": the text filter's line of the running user's own file.
void includeDefaults() {
  if (including) return;
  const char* home = std::getenv("HOME");
  if (!home) return;
  std::optional<std::string> content =
      loadDefaults(std::string(home) + "/.zavpsdefault", JobContext{});
  if (!content) return;
  std::optional<std::string> line = findFilterLine("zavpsif", *content);
  if (!line) return;
  including = true;
  try {
    parseTextOptions(line->c_str(), true);
  } catch (...) {
    including = false;
    throw;
  }
  including = false;
}

// The line pitch, in font sizes, that "Kp=" may ask for.
const double kMinLinePitch = 1;
const double kMaxLinePitch = 4;

// "Kk=" kanji font, "Kh=" half-width kana font, "Kg" both Gothic, "Ke="
// input encoding, "Kp=" line pitch; returns the position after the word.
size_t readJapaneseKey(std::string& s, size_t keyPos) {
  size_t p = keyPos + 1;
  std::string word;
  if (startsWith(s, p, "g")) {
    opt.text_kanji_font = "GothicBBB-Medium-H";
    opt.text_kana_font = "GothicBBB-Medium-Hankaku";
    return wordEnd(s, p);
  }
  if (!startsWith(s, p, "k=") && !startsWith(s, p, "h=") &&
      !startsWith(s, p, "e=") && !startsWith(s, p, "p="))
    wordError(s, keyPos);
  size_t next = readToken(s, p + 2, &word);
  if (s[p] == 'p') {
    char* end = nullptr;
    double pitch = std::strtod(word.c_str(), &end);
    if (word.empty() || *end || !(pitch >= kMinLinePitch && pitch <= kMaxLinePitch))
      unknownOption(word);
    opt.text_line_pitch = pitch;
  } else if (s[p] == 'e') {
    int encoding = readEncodingKeyword(word);
    if (encoding == ENCODING_Invalid) unknownOption(word);
    opt.text_encoding = encoding;
  } else if (!word.empty()) {
    (s[p] == 'k' ? opt.text_kanji_font : opt.text_kana_font) = fontName(word);
  }
  return next;
}

// Handles one key of the text grammar at `keyPos`; returns the position
// after it.
size_t textKey(std::string& s, size_t keyPos, bool readInclude) {
  size_t p = keyPos + 1;
  if (commonKey(s, keyPos, &p, opt.text_printer)) return p;
  unsigned n = 0;
  switch (s[keyPos]) {
    case '2':
      if (p >= s.size() || isWhite(s[p])) opt.text_two_line = 1;
      break;
    case '<':
      if (wordAt(s, keyPos) != "<zavpsif>") unknownOption(wordAt(s, keyPos));
      p = wordEnd(s, keyPos);
      if (readInclude) includeDefaults();
      break;
    case 'F':
      opt.text_ignore_formfeed = 1;
      break;
    case 'K':
      p = readJapaneseKey(s, keyPos);
      break;
    case 'L':
      p = readInRange(s, p, keyPos, 0, kMaxLayoutMargin, &opt.text_top_margin);
      opt.text_top_margin_given = 1;
      opt.text_use_page_margins = 0;
      break;
    case 'e':
      p = readInRange(s, p, keyPos, 0, kMaxTabWidth, &opt.text_tab_width);
      break;
    case 'f': {
      std::string font;
      p = readToken(s, p, &font);
      if (!font.empty()) opt.text_font = fontName(font);
      break;
    }
    case 'l':
      p = readInRange(s, p, keyPos, 0, kMaxLines, &n);
      if (!opt.scan_error && n != 0) {
        opt.text_lines = n;
        opt.spool_length = n;
        opt.text_lines_set = 1;
        opt.text_lines_explicit = 1;
        opt.text_use_page_margins = 0;
      }
      break;
    case 'm': {
      if (!startsWith(s, p, "g=")) wordError(s, keyPos);
      std::string word;
      p = readToken(s, p + 2, &word);
      if (word.empty()) break;
      if (!readMargins(word, opt.text_page_margins)) unknownOption(word);
      opt.text_use_page_margins = 1;
      opt.text_page_margins_given = 1;
      break;
    }
    case 'o':
      p = readInRange(s, p, keyPos, 0, kMaxLayoutMargin, &opt.text_left_margin);
      opt.text_left_margin_given = 1;
      opt.text_use_page_margins = 0;
      break;
    case 'p':
      if (!startsWith(s, p, "s")) unknownOption(wordAt(s, keyPos));
      opt.text_force_postscript = 1;
      p = wordEnd(s, p);
      break;
    case 'r':
      opt.text_landscape = 1;
      break;
    case 's':
      if (p >= s.size()) break;
      p = readInRange(s, p, keyPos, 1, kMaxFontSize, &opt.text_font_size);
      break;
    case 'w':
      p = readInRange(s, p, keyPos, 0, kMaxColumns, &opt.text_columns);
      if (!opt.scan_error) {
        opt.spool_width = opt.text_columns;
        opt.text_columns_set = 1;
        opt.text_use_page_margins = 0;
      }
      break;
    default:
      unknownOption(std::string(1, s[keyPos]));
  }
  return p;
}

// Image sizes and offsets, in inches: a picture smaller than a printer's
// dot or larger than any sheet, and values that are not numbers, are
// typing errors.
const double kMinImageInch = 0.01;
const double kMaxImageInch = 100;

bool imageLength(double inch) {
  return inch >= kMinImageInch && inch <= kMaxImageInch;
}

bool imageOffset(double inch) {
  return inch >= -kMaxImageInch && inch <= kMaxImageInch;
}

// Handles one key of the image grammar at `keyPos`.
size_t imageKey(std::string& s, size_t keyPos, bool) {
  size_t p = keyPos + 1;
  if (commonKey(s, keyPos, &p, opt.image_printer)) return p;
  switch (s[keyPos]) {
    case 'G':
      if (!startsWith(s, p, "4")) wordError(s, keyPos);
      opt.image_g4 = 1;
      p = wordEnd(s, p);
      break;
    case 'S':
      if (!startsWith(s, p, "=")) wordError(s, keyPos);
      p = readFloat(s, p + 1, &opt.image_fit_width_inch);
      if (opt.scan_error) break;
      if (!imageLength(opt.image_fit_width_inch)) wordError(s, keyPos);
      opt.image_fit_width_given = 1;
      break;
    case 'l':
      if (!startsWith(s, p, "=")) wordError(s, keyPos);
      p = readFloatPair(s, p + 1, &opt.image_offset_x, &opt.image_offset_y);
      if (opt.scan_error) break;
      if (!imageOffset(opt.image_offset_x) || !imageOffset(opt.image_offset_y))
        wordError(s, keyPos);
      opt.image_offset_given = 1;
      break;
    case 'n':
      opt.image_no_showpage = 1;
      break;
    case 'p':
      p = readUnsigned(s, skipBlanks(s, p), &opt.image_width_points);
      if (opt.scan_error) break;
      if (!imageLength(opt.image_width_points / 72.0)) wordError(s, keyPos);
      opt.image_points_given = 1;
      break;
    case 'r':
      opt.image_rotate = 1;
      break;
    case 's':
      if (!startsWith(s, p, "=")) wordError(s, keyPos);
      p = readFloatPair(s, p + 1, &opt.image_width_inch,
                        &opt.image_height_inch);
      if (opt.scan_error) break;
      if (!imageLength(opt.image_width_inch) ||
          !imageLength(opt.image_height_inch))
        wordError(s, keyPos);
      opt.image_size_given = 1;
      opt.image_fit_width_given = 0;
      break;
    default:
      unknownOption(std::string(1, s[keyPos]));
  }
  return p;
}

// The tokeniser both grammars share.
void parseOptions(const char* text,
                  size_t (*key)(std::string&, size_t, bool), bool readInclude) {
  if (!text) return;
  std::string s(text);
  size_t pos = 0;
  for (;;) {
    while (pos < s.size() && isWhite(s[pos]) && s[pos] != '\n') ++pos;
    if (pos >= s.size() || s[pos] == '\n') break;
    // A dash at the end of the string has no key; a blank after a dash
    // is a key that does nothing.
    if (s[pos] == '-' && (pos + 1 >= s.size() || s[pos + 1] == '\n'))
      unknownOption("-");
    if (s[pos] == '-') ++pos;
    pos = key(s, pos, readInclude);
  }
}

}  // namespace

void parseTextOptions(const char* text, bool readInclude) {
  parseOptions(text, textKey, readInclude);
}

void parseImageOptions(const char* text) {
  parseOptions(text, imageKey, false);
}

size_t skipBlanks(const std::string& s, size_t pos) {
  while (pos < s.size() && isWhite(s[pos])) ++pos;
  return pos;
}

size_t readUnsigned(const std::string& s, size_t pos, unsigned* out) {
  opt.scan_error = 0;
  if (pos > s.size()) pos = s.size();
  const char* start = s.c_str() + pos;
  char* end = nullptr;
  unsigned long value = std::strtoul(start, &end, 10);
  if (end == start) {
    opt.scan_error = 1;
    return pos;
  }
  *out = static_cast<unsigned>(value);
  return afterNumber(s, pos);
}

size_t readFloat(const std::string& s, size_t pos, double* out) {
  opt.scan_error = 0;
  if (pos > s.size()) pos = s.size();
  const char* start = s.c_str() + pos;
  char* end = nullptr;
  float value = std::strtof(start, &end);
  if (end == start) {
    opt.scan_error = 1;
    return pos;
  }
  *out = value;
  return afterNumber(s, pos);
}

size_t readFloatPair(const std::string& s, size_t pos, double* first,
                     double* second) {
  opt.scan_error = 0;
  if (pos > s.size()) pos = s.size();
  const char* start = s.c_str() + pos;
  char* end = nullptr;
  float a = std::strtof(start, &end);
  if (end == start) {
    opt.scan_error = 1;
    return pos;
  }
  *first = a;
  if (*end == ',') {
    const char* second_start = end + 1;
    float b = std::strtof(second_start, &end);
    if (end != second_start) *second = b;
  }
  return afterNumber(s, pos);
}

size_t readToken(const std::string& s, size_t pos, std::string* out) {
  opt.scan_error = 0;
  if (pos > s.size()) pos = s.size();
  size_t end = wordEnd(s, pos);
  *out = s.substr(pos, end - pos);
  return end;
}

int readMargins(const std::string& text, double margins[4]) {
  size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= text.size() || text[pos] != ':')
      margins[i] = std::atof(text.c_str() + pos);
    size_t colon = text.find(':', pos);
    if (colon == std::string::npos) {
      if (i < 3) return 0;
      break;
    }
    pos = colon + 1;
  }
  return 1;
}

std::optional<std::string> findFilterLine(const std::string& name,
                                          std::string_view content) {
  while (!content.empty()) {
    size_t end = content.find('\n');
    end = end == std::string_view::npos ? content.size() : end + 1;
    std::string line(content.substr(0, end));
    content.remove_prefix(end);
    if (line[0] == '#') continue;
    size_t pos = skipBlanks(line, 0);
    if (line.compare(pos, name.size(), name) == 0)
      return line.substr(pos + name.size());
  }
  return std::nullopt;
}

namespace {

// Reads the open regular file `fd` and closes it; at most
// kMaxDefaultsFile bytes.
std::optional<std::string> readDefaultsFd(int fd, std::string* problem) {
  std::string content(kMaxDefaultsFile + 1, '\0');
  size_t got = 0;
  while (got < content.size()) {
    ssize_t n = read(fd, &content[got], content.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) *problem = std::strerror(errno);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got > kMaxDefaultsFile) *problem = "larger than 64 KiB";
  close(fd);
  if (!problem->empty()) return std::nullopt;
  content.resize(got);
  return content;
}

}  // namespace

std::optional<std::string> readDefaultsFile(const std::string& path,
                                            std::string* problem,
                                            const uid_t* owner) {
  problem->clear();
  if (owner) {
    int fd = openOwnedFile(path, *owner, problem);
    return fd < 0 ? std::nullopt : readDefaultsFd(fd, problem);
  }
  // Without blocking: a FIFO must not stop the filter, and so the queue.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) *problem = std::strerror(errno);
    return std::nullopt;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *problem = "not a regular file";
    close(fd);
    return std::nullopt;
  }
  return readDefaultsFd(fd, problem);
}

namespace {

// Parses the filter's line of the file at `path`; false when the file
// is missing or unusable or has no such line.
bool parseDefaultsFile(const std::string& path, uid_t owner,
                       const JobContext& job, void (*parse)(const char*),
                       bool ownersFile) {
  std::optional<std::string> content = loadDefaults(path, job, &owner, ownersFile);
  if (!content) return false;
  std::optional<std::string> line = findFilterLine(job.name, *content);
  if (!line) return false;
  parse(line->c_str());
  return true;
}

}  // namespace

void readFilterDefaults(const JobContext& job, void (*parse)(const char*)) {
  if (!job.owner.empty()) {
    struct passwd* pw = getpwnam(job.owner.c_str());
    if (pw && pw->pw_dir) {
      std::string path = std::string(pw->pw_dir) + "/.zavpsdefault";
      if (parseDefaultsFile(path, pw->pw_uid, job, parse, true)) return;
    }
  }
  // Installed, the system file is root's; in a build tree the developer's.
  parseDefaultsFile(systemDefaultsFile(), geteuid(), job, parse, false);
}
