#include "option.h"

#include <getopt.h>
#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "compose.h"
#include "options.h"
#include "parse.h"

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

/// What the tool's own letters set in one print set.
struct LetterFields {
  int input, output, duplex, toner, enhance, policy, collate, jog, ps, g4,
      stamp;
  unsigned copies;
  std::string font;
  bool operator==(const LetterFields&) const = default;
};

// Only one print set changes in a parse, so the sums over both sets show
// every change.
LetterFields letterFields() {
  return {opt.text_printer.input_tray + opt.image_printer.input_tray,
          opt.text_printer.output_tray + opt.image_printer.output_tray,
          opt.text_printer.duplex + opt.image_printer.duplex,
          opt.text_printer.toner_saver + opt.image_printer.toner_saver,
          opt.text_printer.render_enhance + opt.image_printer.render_enhance,
          opt.text_printer.page_size_policy_set + opt.image_printer.page_size_policy_set,
          opt.text_printer.collate + opt.image_printer.collate,
          opt.text_printer.jog_set + opt.image_printer.jog_set,
          opt.text_force_postscript,
          opt.image_g4,
          opt.text_printer.stamp.position + opt.image_printer.stamp.position,
          opt.text_printer.copies + opt.image_printer.copies,
          opt.text_printer.stamp.font + opt.image_printer.stamp.font};
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

void optionH(ToolSettings& s, const char* arg) {
  const char* d = std::strncmp(arg, "d=", 2) == 0 ? arg : nullptr;
  const char* f = d ? nullptr : std::strchr(arg, 'f');
  if (f) {
    s.stamp_font = valueWord(f + 1, kMaxValueText);
    // A bare -Hf in the file would take the next word as the font.
    if (s.stamp_font.empty()) toolError(kErrOption);
    try {
      parseAsFilter("zavpsif", "-Hf" + s.stamp_font);
    } catch (const FatalError&) {
      toolError(kErrOption);
    }
    s.stamp_font_given = 1;
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
  return "usage: zavpsoption [option]...\n"
         "Records your print defaults in ~/.zavpsdefault, a line for each of "
         "zavpsif,\nzavpsof, zavpsvf and zavpsg4f; options of the tool not "
         "given are removed.\n"
         "  -P printer              printer name (recorded nowhere)\n"
         "  -I input                tray 1-4, paper such as A4, or a size "
         "such as 210x297mm\n"
         "  -O output               output tray ce, re or of\n"
         "  -D, -d                  duplex on the long or the short edge\n"
         "  -t                      toner saving\n"
         "  -E                      print enhancement\n"
         "  -C policy, -Cl          page size policy 0 to 6; collate copies\n"
         "  -Nc=copies              number of copies\n"
         "  -ps                     text jobs are PostScript (zavpsif line)\n"
         "  -G4                     Group 4 image data (zavpsvf line)\n"
         "  -J jog, -JN, -JU=user   jog 0, 2 or 3; no jog; a user's jog\n"
         "  -Hd=pos[:items[:pages]] stamp at ul ur dl dr, items of u h t, "
         "pages f or a\n"
         "  -Hf font                stamp font\n"
         "  -X filter=options       a filter line's other options: "
         "-X zavpsif='-2 -r -s9'\n"
         "  -V, --version           print the version\n"
         "  -h, --help              print this help\n";
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
  while ((letter = getopt_long(count, args.data(),
                               "+P:I:O:N:C:p:G:J:H:X:DdtEVh", longOptions,
                               nullptr)) != -1) {
    switch (letter) {
      case 'P': s.printer_name = optarg; break;
      case 'I': optionI(s, optarg); break;
      case 'O': optionO(s, optarg); break;
      case 'D':
      case 'd':
        if (s.duplex) toolError(kErrDuplex);
        s.duplex = letter == 'D' ? 2 : 3;
        break;
      case 't': s.toner_saver = 1; break;
      case 'E': s.render_enhance = 1; break;
      case 'C': optionC(s, optarg); break;
      case 'N': optionN(s, optarg); break;
      case 'p':
        if (optarg[0] != 's') toolError(kErrOption);
        s.force_postscript = 1;
        break;
      case 'G':
        if (optarg[0] != '4') toolError(kErrOption);
        s.g4 = 1;
        break;
      case 'J': optionJ(s, optarg); break;
      case 'H': optionH(s, optarg); break;
      case 'V':
      case 'v':
        // -V writes to standard error, as it always has.
        throw Answer{std::string("zavpsoption version = ") + kVersion + "\n",
                     letter == 'V'};
      case 'X': optionX(s, optarg); break;
      case 'h': throw ToolHelp{};
      default:  // the scanner has said what was wrong
        throw FatalError{kUsage, 1};
    }
  }
  if (optind < count) toolError(kErrOption);
  if (checkPaperSize(s.input_code) < 0) toolError(kErrPaperSize);
  return s;
}
