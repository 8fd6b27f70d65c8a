#include "cups.h"

#include <strings.h>
#include <sys/auxv.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dsc.h"
#include "options.h"
#include "paper.h"
#include "parse.h"
#include "spooler.h"
#include "status.h"
#include "tray.h"
#include "writer.h"

const char* const kCupsTextName = "zavpscups-text";
const char* const kCupsImageName = "zavpscups-image";

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool hasBlank(const std::string& s) {
  for (char c : s)
    if (isBlank(c)) return true;
  return false;
}

// A decimal number without sign or exponent: "210", "8.5".
bool isPlainNumber(const std::string& s) {
  if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos)
    return false;
  return s.find('.') == s.rfind('.') && s != ".";
}

}  // namespace

bool startedAs(const char* name, int argc, char** argv) {
  auto path = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
  return (path && std::strcmp(baseName(path), name) == 0) ||
         (argc > 0 && std::strcmp(baseName(argv[0]), name) == 0);
}

CupsJob readCupsJob(int argc, char** argv) {
  const char* program = argc > 0 ? argv[0] : kCupsTextName;
  if (argc != 6 && argc != 7)
    throw FatalError{std::string("Usage: ") + program +
                         " job-id user title copies options [file]\n",
                     1};
  CupsJob job;
  job.id = argv[1];
  job.user = argv[2];
  job.title = argv[3];
  std::string copies = argv[4];
  // The printer makes at most 999 copies.
  if (copies.empty() || copies.size() > 3 ||
      copies.find_first_not_of("0123456789") != std::string::npos)
    throw FatalError{"Bad number of copies '" + copies + "'\n", 1};
  job.copies = static_cast<unsigned>(std::atoi(copies.c_str()));
  job.options = argv[5];
  if (argc == 7) job.file = argv[6];
  return job;
}

std::vector<CupsOption> parseCupsOptions(const std::string& text) {
  std::vector<CupsOption> options;
  size_t i = 0, n = text.size();
  while (i < n) {
    while (i < n && isBlank(text[i])) ++i;
    if (i == n) break;
    CupsOption o;
    while (i < n && !isBlank(text[i]) && text[i] != '=') o.name += text[i++];
    if (i < n && text[i] == '=') {
      ++i;
      char quote = 0;
      for (; i < n && (quote || !isBlank(text[i])); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < n)
          o.value += text[++i];
        else if (quote && c == quote)
          quote = 0;
        else if (!quote && (c == '\'' || c == '"'))
          quote = c;
        else
          o.value += c;
      }
    } else if (o.name.size() > 2 && o.name.compare(0, 2, "no") == 0) {
      o.name.erase(0, 2);
      o.value = "false";
    } else {
      o.value = "true";
    }
    if (!o.name.empty()) options.push_back(o);
  }
  return options;
}

namespace {

// The request being built, with the margins, which come in four options.
struct Build {
  CupsRequest request;
  double margins[4] = {0, 0, 0, 0};  // top, bottom, right, left; points
  bool marginsGiven = false;
};

void add(Build* b, const std::string& words) {
  if (words.empty()) return;
  b->request.options += b->request.options.empty() ? "" : " ";
  b->request.options += words;
  if (words == "-D" || words == "-d") b->request.simplex = false;
  if (words == "-Cl") b->request.noCollate = false;
  if (words == "-t") b->request.noTonerSaver = false;
  if (words == "-E") b->request.noEnhance = false;
}

void ignored(Build* b, const char* name, const std::string& value) {
  b->request.warnings.push_back(std::string(name) + " '" + value +
                                "' is not known to this printer; ignored");
}

// 1 for a true boolean, 0 for a false one, -1 for neither.
int boolean(const std::string& v) {
  for (const char* t : {"true", "yes", "on", "1"})
    if (strcasecmp(v.c_str(), t) == 0) return 1;
  for (const char* f : {"false", "no", "off", "0"})
    if (strcasecmp(v.c_str(), f) == 0) return 0;
  return -1;
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

// PageSize names: the paper table's, "Custom.WxH" (points, or a unit
// mm, cm, in, pt), and self-describing names such as
// "iso_a4_210x297mm" or "na_letter_8.5x11in".
std::string mediaWords(const std::string& v) {
  for (const Paper* p = papertab; p->id != PAPER_Invalid; ++p)
    if (v == p->mediaName || v == p->name)
      if (const char* k = paperKeyword(p->id)) return std::string("-I") + k;
  std::string size;
  if (v.compare(0, 7, "Custom.") == 0) {
    size = v.substr(7);
  } else {
    size_t underscore = v.rfind('_');
    if (underscore == std::string::npos) return "";
    size = v.substr(underscore + 1);
  }
  size_t x = size.find('x');
  if (x == std::string::npos) return "";
  std::string w = size.substr(0, x), h = size.substr(x + 1);
  size_t digits = h.find_last_of("0123456789.") + 1;
  std::string unit = h.substr(digits);
  h.erase(digits);
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

// InputSlot names: the input tray table's ("Tray1"), or "Auto".
std::string slotWords(const std::string& v) {
  for (const Tray* t = inputtraytab; t->id != invalid_input; ++t)
    if (v == t->name)
      if (const char* k = inputKeywordName(t->id)) return std::string("-I") + k;
  return "";
}

void media(Build* b, const std::string& v) {
  size_t start = 0;
  for (;;) {
    size_t comma = v.find(',', start);
    std::string piece = v.substr(start, comma - start);
    std::string words = mediaWords(piece);
    if (words.empty()) words = slotWords(piece);
    if (words.empty())
      ignored(b, "media", piece);
    else
      add(b, words);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
}

void pageSize(Build* b, const std::string& v) {
  std::string words = mediaWords(v);
  if (words.empty()) ignored(b, "PageSize", v);
  add(b, words);
}

void inputSlot(Build* b, const std::string& v) {
  std::string words = slotWords(v);
  if (words.empty() && v != "Auto") ignored(b, "InputSlot", v);
  add(b, words);
}

// OutputBin names: the output tray table's altName ("CenterTray").
void outputBin(Build* b, const std::string& v) {
  for (const Tray* t = outputtraytab; t->id != invalid_output; ++t)
    if (v == t->altName)
      if (const char* k = outputKeywordName(t->id))
        return add(b, std::string("-O") + k);
  if (v != "Default") ignored(b, "OutputBin", v);
}

// A value of a fixed list.
struct Choice {
  const char* value;
  const char* words;  // option text; nullptr: `off` is set instead
};

void choose(Build* b, const char* name, const Choice* choices,
            const std::string& v, bool CupsRequest::*off) {
  for (const Choice* c = choices; c->value; ++c) {
    if (v != c->value) continue;
    if (c->words)
      add(b, c->words);
    else if (off)
      b->request.*off = true;
    return;
  }
  ignored(b, name, v);
}

const Choice kSides[] = {{"one-sided", nullptr},
                         {"two-sided-long-edge", "-D"},
                         {"two-sided-short-edge", "-d"},
                         {nullptr, nullptr}};
const Choice kDuplex[] = {{"None", nullptr},
                          {"DuplexNoTumble", "-D"},
                          {"DuplexTumble", "-d"},
                          {nullptr, nullptr}};
const Choice kDocumentHandling[] = {
    {"separate-documents-collated-copies", "-Cl"},
    {"separate-documents-uncollated-copies", nullptr},
    {"single-document", ""},
    {"single-document-new-sheet", ""},
    {nullptr, nullptr}};
const Choice kOrientation[] = {
    {"3", ""}, {"4", "-r"}, {"5", "-r"}, {"6", ""}, {nullptr, nullptr}};
const Choice kJog[] = {
    {"no", "-Jno"}, {"job", "-Jjob"}, {"set", "-Jset"}, {nullptr, nullptr}};

void sides(Build* b, const std::string& v) {
  choose(b, "sides", kSides, v, &CupsRequest::simplex);
}
void duplex(Build* b, const std::string& v) {
  choose(b, "Duplex", kDuplex, v, &CupsRequest::simplex);
}
void documentHandling(Build* b, const std::string& v) {
  choose(b, "multiple-document-handling", kDocumentHandling, v,
         &CupsRequest::noCollate);
}
void orientation(Build* b, const std::string& v) {
  choose(b, "orientation-requested", kOrientation, v, nullptr);
}
void jog(Build* b, const std::string& v) {
  choose(b, "zavps-jog", kJog, v, nullptr);
}

// A switch: `on` words when true, `off` set when false.
void toggle(Build* b, const char* name, const std::string& v, const char* on,
            bool CupsRequest::*off) {
  int flag = boolean(v);
  if (flag < 0)
    ignored(b, name, v);
  else if (flag)
    add(b, on);
  else if (off)
    b->request.*off = true;
}

void collate(Build* b, const std::string& v) {
  toggle(b, "Collate", v, "-Cl", &CupsRequest::noCollate);
}
void landscape(Build* b, const std::string& v) {
  toggle(b, "landscape", v, "-r", nullptr);
}
void tonerSaver(Build* b, const std::string& v) {
  toggle(b, "zavps-toner-saver", v, "-t", &CupsRequest::noTonerSaver);
}
void enhance(Build* b, const std::string& v) {
  toggle(b, "zavps-enhance", v, "-E", &CupsRequest::noEnhance);
}

void margin(Build* b, int side, const char* name, const std::string& v) {
  if (!isPlainNumber(v)) return ignored(b, name, v);
  b->margins[side] = std::atof(v.c_str());
  b->marginsGiven = true;
}
void top(Build* b, const std::string& v) { margin(b, 0, "page-top", v); }
void bottom(Build* b, const std::string& v) { margin(b, 1, "page-bottom", v); }
void right(Build* b, const std::string& v) { margin(b, 2, "page-right", v); }
void left(Build* b, const std::string& v) { margin(b, 3, "page-left", v); }

void stamp(Build* b, const std::string& v) {
  if (v.empty() || hasBlank(v)) return ignored(b, "zavps-stamp", v);
  add(b, "-Hd=" + v);
  b->request.newStamp = true;
}

void own(Build* b, const std::string& v) { b->request.own = v; }

// How one CUPS option maps. Rows apply in this order, so that of two
// options that choose the same thing the later row wins (a tray over a
// paper size).
struct Rule {
  const char* name;
  bool text;   // the text grammar takes it
  bool image;  // the image grammar takes it
  void (*apply)(Build*, const std::string&);
};

const Rule kRules[] = {
    {"media", true, true, media},
    {"PageSize", true, true, pageSize},
    {"InputSlot", true, true, inputSlot},
    {"OutputBin", true, true, outputBin},
    {"sides", true, true, sides},
    {"Duplex", true, true, duplex},
    {"multiple-document-handling", true, true, documentHandling},
    {"Collate", true, true, collate},
    {"orientation-requested", true, true, orientation},
    {"landscape", true, true, landscape},
    {"page-top", true, false, top},
    {"page-bottom", true, false, bottom},
    {"page-right", true, false, right},
    {"page-left", true, false, left},
    {"zavps-stamp", true, true, stamp},
    {"zavps-toner-saver", true, true, tonerSaver},
    {"zavps-enhance", true, true, enhance},
    {"zavps-jog", true, true, jog},
    {"zavps-options", true, true, own},
    {nullptr, false, false, nullptr},
};

}  // namespace

CupsRequest mapCupsOptions(const std::vector<CupsOption>& options,
                           unsigned copies, bool text) {
  Build b;
  // CUPS passes 1 when the user asked for nothing: the defaults file's
  // number of copies then stands.
  if (copies > 1) add(&b, "-Nc=" + std::to_string(copies));
  for (const Rule* r = kRules; r->name; ++r) {
    if (!(text ? r->text : r->image)) continue;
    for (const CupsOption& o : options)
      if (o.name == r->name) r->apply(&b, o.value);
    if (r->apply == left && b.marginsGiven) {
      char words[128];
      std::snprintf(words, sizeof words, "-mg=%g:%g:%g:%g", b.margins[0] / 72,
                    b.margins[1] / 72, b.margins[2] / 72, b.margins[3] / 72);
      add(&b, words);
    }
  }
  return b.request;
}

void applyCupsJob(const CupsJob& job, bool text, JobContext& run) {
  void (*parse)(const char*) = text ? [](const char* s) { parseTextOptions(s); }
                                    : parseImageOptions;
  resetOptions();
  if (text) {
    initTextSet();
    opt.spool_width = opt.text_columns;
    opt.spool_length = opt.text_lines;
  } else {
    initImageSet();
  }
  std::vector<CupsOption> options = parseCupsOptions(job.options);
  // The job's owner and the host the job came from.
  run.owner = job.user;
  run.host = systemHostName();
  for (const CupsOption& o : options)
    if (o.name == "job-originating-host-name" && !o.value.empty() &&
        !hasBlank(o.value) && o.value != "localhost" && o.value != "127.0.0.1" &&
        o.value != "::1")
      run.host = o.value;
  readFilterDefaults(run, parse);

  CupsRequest r = mapCupsOptions(options, job.copies, text);
  for (const std::string& w : r.warnings)
    std::fprintf(stderr, "WARNING: %s\n", w.c_str());
  if (r.newStamp) {
    int* slots[] = {&opt.text_stamp_user_slot, &opt.text_stamp_host_slot,
                    &opt.text_stamp_date_slot, &opt.image_stamp_user_slot,
                    &opt.image_stamp_host_slot, &opt.image_stamp_date_slot};
    for (int* slot : slots) *slot = 0;
  }
  parse(r.options.c_str());
  if (r.simplex) (text ? opt.text_duplex : opt.image_duplex) = 0;
  if (r.noCollate) (text ? opt.text_collate : opt.image_collate) = 0;
  if (r.noTonerSaver) (text ? opt.text_toner_saver : opt.image_toner_saver) = 0;
  if (r.noEnhance) (text ? opt.text_render_enhance : opt.image_render_enhance) = 0;
  parse(r.own.c_str());
}

int cupsFailure(const std::string& message) {
  std::string line = message;
  while (!line.empty() && line.back() == '\n') line.pop_back();
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "ERROR: %s\n", line.c_str());
  return 1;
}

int openCupsInput(const CupsJob& job) {
  int fd = job.file ? openInput(job.file) : 0;
  if (isDirectory(fd))
    throw FatalError{"The input is a directory, not printed\n", 1};
  return fd;
}

int cupsFinish(Writer& out, unsigned pages, unsigned copies) {
  out.flush();
  if (out.failed())
    return cupsFailure(std::string("cannot write output: ") +
                       std::strerror(out.error()));
  for (unsigned page = 1; page <= pages; ++page)
    std::fprintf(stderr, "PAGE: %u %u\n", page, copies);
  return 0;
}
