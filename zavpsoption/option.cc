#include "option.h"

#include <getopt.h>
#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "compose.h"
#include "options.h"
#include "parse.h"
#include "printeroptions.h"

namespace {

/// One row of the error table.
struct ErrorText {
  int code;
  const char* text;
};

const ErrorText errortab[] = {
    {kErrInputTray, "Illegal Input Tray"},
    {kErrOutputTray, "Illegal Output Tray"},
    {kErrDuplex, "Illegal Duplex Option"},
    {kErrUserName, "Illegal User Name"},
    {kErrMemory, "Sorry Memory Full"},
    {kErrNoFilterLine,
     "zavpsof/zavpsif/zavpsvf is not found in UserDefault file"},
    {kErrOption, "Illegal Option"},
    {kErrPolicy, "Illegal Page Size Policy(from 0 to 6)"},
    {kErrJog, "Illegal Off set Catch Tray(0 or 2 or 3)"},
    {kErrCopies, "Illegal Number of Copies"},
    {kErrPaperSize, "Illegal paper size"},
    {0, nullptr},
};

// The value text of an option: `text` up to its first whitespace, so that
// it stays one word on a defaults line. Longer than `limit`: error 10.
std::string valueWord(const char* text, size_t limit) {
  size_t n = 0;
  while (text[n] && !isWhite(text[n])) ++n;
  if (n > limit) toolError(kErrOption);
  return std::string(text, n);
}

// Whether `text` is a non-empty run of decimal digits; its value, capped
// so that it cannot overflow, goes to `value`.
bool readDigits(const char* text, unsigned* value) {
  if (!*text) return false;
  unsigned v = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    if (v < 1000) v = v * 10 + static_cast<unsigned>(*p - '0');
  }
  *value = v;
  return true;
}

// Whether `text` is an optionally signed decimal number; its value,
// capped so that it cannot overflow, goes to `value`.
bool readSigned(const std::string& text, long* value) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i == text.size()) return false;
  long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    if (v <= kMaxCopies) v = v * 10 + (text[i] - '0');
  }
  *value = text[0] == '-' ? -v : v;
  return true;
}

void checkRunningUser() {
  struct passwd* pw = getpwuid(getuid());
  if (!pw || !pw->pw_name || !pw->pw_name[0]) toolError(kErrUserName);
}

void optionI(ToolSettings& s, const char* arg) {
  std::string text(arg);
  size_t used = readInputKeyword(text, 0, &s.input_code);
  if (used < text.size()) toolError(kErrInputTray);
  if (s.input_code != kCustomInputCode) return;
  // The size as the keyword reader took it: from the first non-blank
  // character to the newline or the first space.
  size_t start = 0;
  while (arg[start] && isWhite(arg[start])) ++start;
  size_t end = start;
  while (arg[end] && arg[end] != '\n' && arg[end] != ' ') ++end;
  std::string size(arg + start, end - start);
  for (char c : size)
    if (isWhite(c)) toolError(kErrInputTray);
  if (size.size() > kMaxValueText) toolError(kErrOption);
  s.custom_size_text = size;
}

void optionO(ToolSettings& s, const char* arg) {
  std::string text(arg);
  size_t used = readOutputKeyword(text, 0, &s.output_code);
  if (used < text.size()) toolError(kErrOutputTray);
}

void optionC(ToolSettings& s, const char* arg) {
  if (arg[0] == 'l') {
    s.collate = 1;
    return;
  }
  unsigned policy = 0;
  if (!readDigits(arg, &policy) || policy > 6) toolError(kErrPolicy);
  s.policy_text = arg;
}

void optionN(ToolSettings& s, const char* arg) {
  if (!std::strstr(arg, "c=")) toolError(kErrOption);
  std::string copies = valueWord(std::strchr(arg, '=') + 1, kMaxCopiesText);
  long value = 0;
  if (!copies.empty() &&
      (!readSigned(copies, &value) || value < 0 || value > kMaxCopies))
    toolError(kErrCopies);
  s.copies_text = copies;
}

void optionJ(ToolSettings& s, const char* arg) {
  if (arg[0] == 'N') {
    s.jog_none = 1;
    s.jog_user_given = 0;
  } else if (std::strstr(arg, "U=")) {
    s.jog_user = valueWord(std::strchr(arg, '=') + 1, kMaxValueText);
    s.jog_none = 0;
    s.jog_user_given = 1;
  } else {
    unsigned jog = 0;
    if (!readDigits(arg, &jog) || (jog != 0 && jog != 2 && jog != 3))
      toolError(kErrJog);
    s.jog_text = arg;
  }
}

/// One filter's grammar: the set it fills and how it starts.
struct Grammar {
  void (*parse)(const char*);
  void (*init)();
};

// The grammar that reads the line of filter `name`.
Grammar grammarOf(const std::string& name) {
  if (name == "zavpsvf" || name == "zavpsg4f")
    return {parseImageOptions, initImageSet};
  return {[](const char* s) { parseTextOptions(s, true); }, initTextSet};
}

/// What the printer options and the tool's filter switches are in both
/// print sets.
struct LetterFields {
  PrinterSettings text, image;
  int ps, g4;
  bool operator==(const LetterFields&) const = default;
};

LetterFields letterFields() {
  return {opt.text_printer, opt.image_printer, opt.text_force_postscript, opt.image_g4};
}

// Parses `text` as filter `name` would, on a copy of the option record
// that is put back afterwards. A refusal propagates as the grammar's
// FatalError. Result: whether the text set any of the tool's own options.
bool parseAsFilter(const std::string& name, const std::string& text) {
  /// Puts the option record back, however the parse ends.
  struct Restore {
    OptionSettings saved = opt;
    ~Restore() { opt = saved; }
  } restore;
  Grammar g = grammarOf(name);
  resetOptions();
  g.init();
  LetterFields before = letterFields();
  g.parse(text.c_str());
  return !(letterFields() == before);
}

void optionFromTable(ToolSettings& s, const PrinterOption& row, const char* arg);

void optionH(ToolSettings& s, const char* arg) {
  const char* d = std::strncmp(arg, "d=", 2) == 0 ? arg : nullptr;
  const char* f = d ? nullptr : std::strchr(arg, 'f');
  if (f) {
    optionFromTable(s, *printerOption("Hf"), f + 1);
    return;
  }
  if (!d) d = std::strstr(arg, "d=");
  if (!d) toolError(kErrOption);
  // The whole stamp setting, as the filters read it.
  std::string stamp = valueWord(d + 2, kMaxValueText);
  try {
    if (stamp.empty()) toolError(kErrOption);
    parseAsFilter("zavpsif", "-Hd=" + stamp);
  } catch (const FatalError&) {
    toolError(kErrOption);
  }
  s.stamp_spec = stamp;
}

[[noreturn]] void ownLetter(const std::string& words) {
  throw ToolError{kErrOption, "Illegal Option '" + words +
                                  "': give it with zavpsoption's own letter"};
}

// -X name=options: the options of one filter line that have no letter of
// their own here, checked with that filter's grammar.
void optionX(ToolSettings& s, const char* arg) {
  const char* eq = std::strchr(arg, '=');
  std::string name(arg, eq ? eq - arg : 0);
  bool known = false;
  for (int i = 0; filterNames[i]; ++i) known |= name == filterNames[i];
  if (!eq || !known) toolError(kErrOption);
  // One line of words, one blank apart.
  std::vector<std::string> list;
  std::string words;
  for (const char* p = eq + 1; *p;) {
    while (*p && isWhite(*p)) ++p;
    size_t n = 0;
    while (p[n] && !isWhite(p[n])) ++n;
    if (!n) break;
    list.emplace_back(p, n);
    words += (words.empty() ? "" : " ") + list.back();
    p += n;
  }
  // The grammar's verdict on the whole; then the words that set an option
  // the tool has a letter for, which would be edited as the tool's own.
  bool letters = parseAsFilter(name, words);
  for (const std::string& word : list) {
    bool own = isManagedOption(word);
    try {
      own = own || (letters && parseAsFilter(name, word));
    } catch (const FatalError&) {  // a value standing apart, as "-p 300"
    }
    if (own) ownLetter(word);
  }
  if (letters) ownLetter(words);
  s.other_options[name] = words;
}

void optionD(ToolSettings& s, int letter) {
  if (s.duplex) toolError(kErrDuplex);
  s.duplex = letter == 'D' ? 2 : 3;
}

/// A printer option's letter whose value the tool checks itself, with
/// error codes of its own.
struct LetterRule {
  char letter;
  void (*apply)(ToolSettings& s, int letter, const char* arg);
};

const LetterRule lettertab[] = {
    {'I', [](ToolSettings& s, int, const char* a) { optionI(s, a); }},
    {'O', [](ToolSettings& s, int, const char* a) { optionO(s, a); }},
    {'D', [](ToolSettings& s, int l, const char*) { optionD(s, l); }},
    {'d', [](ToolSettings& s, int l, const char*) { optionD(s, l); }},
    {'t', [](ToolSettings& s, int, const char*) { s.toner_saver = 1; }},
    {'E', [](ToolSettings& s, int, const char*) { s.render_enhance = 1; }},
    {'C', [](ToolSettings& s, int, const char* a) { optionC(s, a); }},
    {'N', [](ToolSettings& s, int, const char* a) { optionN(s, a); }},
    {'J', [](ToolSettings& s, int, const char* a) { optionJ(s, a); }},
    {'H', [](ToolSettings& s, int, const char* a) { optionH(s, a); }},
    {0, nullptr},
};

const LetterRule* letterRule(int letter) {
  for (const LetterRule* r = lettertab; r->letter; ++r)
    if (r->letter == letter) return r;
  return nullptr;
}

// The row of the option table whose tool letter is `letter`.
const PrinterOption* rowOfLetter(int letter) {
  for (const PrinterOption* o = printerOptions; o->key; ++o)
    if (o->letter == letter) return o;
  return nullptr;
}

// A printer option the tool has no checks of its own for: it is recorded
// as the filters read it, once both grammars accept it. A value may not be
// empty: in the file, the option would take the next word for its value.
void optionFromTable(ToolSettings& s, const PrinterOption& row, const char* arg) {
  std::string value = arg ? valueWord(arg, kMaxValueText) : std::string();
  if (row.letter_value && value.empty()) toolError(kErrOption);
  std::string text = std::string("-") + row.key + value;
  try {
    parseAsFilter("zavpsif", text);
    parseAsFilter("zavpsvf", text);
  } catch (const FatalError&) {
    toolError(kErrOption);
  }
  s.table_options[row.key] = text;
}

// The scanner's letters: the tool's own, then each printer option's.
std::string scannerLetters() {
  std::string letters = "+P:p:G:X:Vh";
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    if (!o->letter || letters.find(o->letter) != std::string::npos) continue;
    letters += o->letter;
    if (o->letter_value) letters += ':';
  }
  // The duplex's second letter.
  if (letters.find('d') == std::string::npos) letters += 'd';
  return letters;
}

const char kUsage[] =
    "usage: zavpsoption [-P printer] [-I input] [-O output] [-D | -d] [-t] "
    "[-E]\n"
    "                   [-C policy | -Cl] [-Nc=copies] [-ps] [-G4]\n"
    "                   [-J jog | -JN | -JU=user] [-Hd=pos[:items[:pages]]] "
    "[-Hf font]\n"
    "                   [-X filter=options] [-V] [--help] [--version]\n";

// 'v' stands for --version, which has no letter of its own.
const option longOptions[] = {{"help", no_argument, nullptr, 'h'},
                              {"version", no_argument, nullptr, 'v'},
                              {nullptr, 0, nullptr, 0}};

}  // namespace

const char* helpText() {
  static const std::string text = [] {
    std::string t =
        "usage: zavpsoption [option]...\n"
        "Records your print defaults in ~/.zavpsdefault, a line for each of "
        "zavpsif,\nzavpsof, zavpsvf and zavpsg4f; options of the tool not "
        "given are removed.\n"
        "  -P printer              printer name (recorded nowhere)\n";
    for (const PrinterOption* o = printerOptions; o->key; ++o) t += o->tool_help;
    return t +
           "  -ps                     text jobs are PostScript (zavpsif line)\n"
           "  -G4                     Group 4 image data (zavpsvf line)\n"
           "  -X filter=options       a filter line's other options: "
           "-X zavpsif='-2 -r -s9'\n"
           "  -V, --version           print the version\n"
           "  -h, --help              print this help\n";
  }();
  return text.c_str();
}

const char* toolErrorText(int code) {
  for (const ErrorText* row = errortab; row->text; ++row)
    if (row->code == code) return row->text;
  return nullptr;
}

void toolError(int code) {
  const char* text = toolErrorText(code);
  throw ToolError{code, text ? text : "error"};
}

ToolSettings parseToolCommandLine(int argc, char** argv) {
  // The scanner names the program in its diagnostics by argv[0].
  std::vector<char*> args(argv, argv + argc);
  static char programName[] = "zavpsoption";
  if (args.empty())
    args.push_back(programName);
  else
    args[0] = programName;
  args.push_back(nullptr);
  int count = static_cast<int>(args.size()) - 1;

  ToolSettings s;
  checkRunningUser();

  optind = 0;  // a full reinitialisation of the scanner
  opterr = 1;
  int letter;
  // '+': scanning stops at the first operand.
  static const std::string letters = scannerLetters();
  while ((letter = getopt_long(count, args.data(), letters.c_str(), longOptions,
                               nullptr)) != -1) {
    switch (letter) {
      case 'P': s.printer_name = optarg; break;
      case 'p':
        if (optarg[0] != 's') toolError(kErrOption);
        s.force_postscript = 1;
        break;
      case 'G':
        if (optarg[0] != '4') toolError(kErrOption);
        s.g4 = 1;
        break;
      case 'V':
      case 'v':
        // -V writes to standard error, as it always has.
        throw Answer{std::string("zavpsoption version = ") + kVersion + "\n",
                     letter == 'V'};
      case 'X': optionX(s, optarg); break;
      case 'h': throw ToolHelp{};
      case '?':  // the scanner has said what was wrong
        throw FatalError{kUsage, 1};
      default:
        if (const LetterRule* rule = letterRule(letter))
          rule->apply(s, letter, optarg);
        else if (const PrinterOption* row = rowOfLetter(letter))
          optionFromTable(s, *row, optarg);
        else
          throw FatalError{kUsage, 1};
    }
  }
  if (optind < count) toolError(kErrOption);
  if (checkPaperSize(s.input_code) < 0) toolError(kErrPaperSize);
  return s;
}
