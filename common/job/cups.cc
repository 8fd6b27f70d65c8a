#include "cups.h"

#include <strings.h>
#include <sys/auxv.h>

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dsc.h"
#include "logline.h"
#include "options.h"
#include "printeroptions.h"
#include "parse.h"
#include "spooler.h"
#include "status.h"
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

bool sameCupsName(const std::string& a, const char* b) {
  return b && strcasecmp(a.c_str(), b) == 0;
}

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
  std::string source;  // the CUPS option being mapped
  double margins[4] = {0, 0, 0, 0};  // top, bottom, right, left; points
  bool marginsGiven = false;
};

// Adds option text; text for a printer option switches it on again after
// a value that switched it off.
void add(Build* b, const std::string& words,
         const PrinterOption* option = nullptr) {
  if (words.empty()) return;
  b->request.options.push_back({b->source, words});
  std::erase(b->request.off, option);
}

void ignored(Build* b, const char* name, const std::string& value) {
  b->request.warnings.push_back(std::string(name) + " '" + value +
                                "' is not known to this printer; ignored");
}

void switchOff(Build* b, const PrinterOption* option) {
  if (option && std::find(b->request.off.begin(), b->request.off.end(),
                          option) == b->request.off.end())
    b->request.off.push_back(option);
}

// 1 for a true boolean, 0 for a false one, -1 for neither.
int boolean(const std::string& v) {
  for (const char* t : {"true", "yes", "on", "1"})
    if (strcasecmp(v.c_str(), t) == 0) return 1;
  for (const char* f : {"false", "no", "off", "0"})
    if (strcasecmp(v.c_str(), f) == 0) return 0;
  return -1;
}

// A value of a CUPS option of printer option `option`.
void mapValue(Build* b, const PrinterOption* option, const CupsName& cups,
              const std::string& v) {
  if (cups.choices) {
    for (const CupsChoice* c = cups.choices; c->value; ++c) {
      if (!sameCupsName(v, c->value)) continue;
      if (c->words)
        add(b, c->words, option);
      else
        switchOff(b, option);
      return;
    }
    return ignored(b, cups.name, v);
  }
  if (cups.on) {
    int flag = boolean(v);
    if (flag < 0)
      ignored(b, cups.name, v);
    else if (flag)
      add(b, cups.on, option);
    else
      switchOff(b, option);
    return;
  }
  std::vector<std::string> rejected;
  std::string words = cups.map(v, &rejected);
  for (const std::string& r : rejected) ignored(b, cups.name, r);
  add(b, words, option);
  if (!words.empty() && std::strcmp(cups.name, "zavps-stamp") == 0)
    b->request.newStamp = true;
}

const CupsChoice kOrientation[] = {
    {"3", ""}, {"4", "-r"}, {"5", "-r"}, {"6", ""}, {nullptr, nullptr}};

void orientation(Build* b, const std::string& v) {
  for (const CupsChoice* c = kOrientation; c->value; ++c)
    if (sameCupsName(v, c->value)) return add(b, c->words);
  ignored(b, "orientation-requested", v);
}

void landscape(Build* b, const std::string& v) {
  int flag = boolean(v);
  if (flag < 0) return ignored(b, "landscape", v);
  if (flag) add(b, "-r");
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

void own(Build* b, const std::string& v) { b->request.own = v; }

// How a CUPS option of the layout maps. Rows apply in this order, before
// the stamp's (the first printer option of the page's content) and after
// those of the sheet.
struct Rule {
  const char* name;
  bool image;  // the image grammar takes it too
  void (*apply)(Build*, const std::string&);
};

const Rule kRules[] = {
    {"orientation-requested", true, orientation},
    {"landscape", true, landscape},
    {"page-top", false, top},
    {"page-bottom", false, bottom},
    {"page-right", false, right},
    {"page-left", false, left},
    {"zavps-options", true, own},
    {nullptr, false, nullptr},
};

void mapLayout(Build* b, const std::vector<CupsOption>& options, bool text);

}  // namespace

CupsRequest mapCupsOptions(const std::vector<CupsOption>& options,
                           unsigned copies, bool text) {
  Build b;
  // The job's copies, the queue's default when the user asked for none,
  // beat a defaults file's.
  b.source = "copies=" + std::to_string(copies);
  if (copies > 0) add(&b, "-Nc=" + std::to_string(copies));
  // Of two options that choose the same thing the later one wins (a tray
  // over a paper size).
  const PrinterOption* stamp = printerOption("Hd=");
  for (const PrinterOption* p = printerOptions; p->key; ++p) {
    if (p == stamp) mapLayout(&b, options, text);
    for (const CupsName& cups : p->cups)
      for (const CupsOption& o : options)
        if (sameCupsName(o.name, cups.name)) {
          b.source = o.name + "=" + o.value;
          mapValue(&b, p, cups, o.value);
        }
  }
  return b.request;
}

namespace {

void mapLayout(Build* bp, const std::vector<CupsOption>& options, bool text) {
  Build& b = *bp;
  for (const Rule* r = kRules; r->name; ++r) {
    if (!text && !r->image) continue;
    for (const CupsOption& o : options)
      if (sameCupsName(o.name, r->name)) {
        b.source = o.name + "=" + o.value;
        r->apply(&b, o.value);
      }
    if (r->apply == left && b.marginsGiven) {
      b.source = "page-top/bottom/right/left";
      char words[128];
      std::snprintf(words, sizeof words, "-mg=%g:%g:%g:%g", b.margins[0] / 72,
                    b.margins[1] / 72, b.margins[2] / 72, b.margins[3] / 72);
      add(&b, words);
    }
  }
}

}  // namespace

std::vector<CupsOption> ppdDefaults(const std::string& ppd) {
  std::vector<CupsOption> defaults;
  std::istringstream in(ppd);
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 8, "*Default") != 0) continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    size_t start = line.find_first_not_of(" \t", colon + 1);
    size_t end = line.find_last_not_of(" \t\r");
    if (start == std::string::npos || end < start) continue;
    defaults.push_back({line.substr(8, colon - 8), line.substr(start, end - start + 1)});
  }
  return defaults;
}

namespace {

// The queue's PPD, named in $PPD; empty when there is none or it cannot
// be read (a debugging line then says why).
std::string queuePpd() {
  const char* path = std::getenv("PPD");
  if (!path || !*path) return "";
  std::ifstream in(path);
  if (!in) {
    logMessage(std::string("DEBUG: ") + path + ": PPD not read: " +
               std::strerror(errno) + "\n");
    return "";
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Parses a request's words into `set`, each option's words on their own:
// words the grammar refuses, or a paper size it cannot print on, are
// left out with a warning. Then clears what the request switched off.
void applyRequest(const CupsRequest& r, void (*parse)(const char*),
                  PrinterSettings& set) {
  for (const std::string& w : r.warnings) logMessage("WARNING: " + w + "\n");
  if (r.newStamp) {
    set.stamp.user_slot = 0;
    set.stamp.host_slot = 0;
    set.stamp.date_slot = 0;
  }
  for (const CupsWords& w : r.options) {
    OptionSettings before = opt;
    try {
      parse(w.words.c_str());
      if (checkPaperSize(set.input_tray) < 0)
        throw FatalError{"Illegal paper size\n", 255};
    } catch (const FatalError& e) {
      opt = before;
      std::string why = e.message;
      while (!why.empty() && why.back() == '\n') why.pop_back();
      logMessage("WARNING: " + w.source + ": " + why + "; ignored\n");
    }
  }
  for (const PrinterOption* o : r.off) set.*(o->field) = 0;
}

}  // namespace

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
  PrinterSettings& set = text ? opt.text_printer : opt.image_printer;
  std::vector<CupsOption> options = parseCupsOptions(job.options);
  // The job's owner and the host the job came from.
  run.owner = job.user;
  run.host = systemHostName();
  for (const CupsOption& o : options)
    if (sameCupsName(o.name, "job-originating-host-name") && !o.value.empty() &&
        !hasBlank(o.value) && o.value != "localhost" && o.value != "127.0.0.1" &&
        o.value != "::1")
      run.host = o.value;
  // Lowest first: the queue's defaults, the owner's, the job's options.
  applyRequest(mapCupsOptions(ppdDefaults(queuePpd()), 0, text), parse, set);
  readFilterDefaults(run, parse);
  CupsRequest r = mapCupsOptions(options, job.copies, text);
  applyRequest(r, parse, set);
  parse(r.own.c_str());
}

int cupsFailure(const std::string& message) {
  std::string line = message;
  while (!line.empty() && line.back() == '\n') line.pop_back();
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  logMessage("ERROR: " + line + "\n");
  return 1;
}

int openCupsInput(const CupsJob& job) {
  int fd = job.file ? openInput(job.file, "") : 0;
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
