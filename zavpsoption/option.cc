#include "option.h"

#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "options.h"

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

// Whether `text` is an optionally signed decimal number; `negative` tells
// whether it is below 0.
bool readSigned(const std::string& text, bool* negative) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i == text.size()) return false;
  bool nonzero = false;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    nonzero |= text[i] != '0';
  }
  *negative = text[0] == '-' && nonzero;
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
  bool negative = false;
  if (!copies.empty() && (!readSigned(copies, &negative) || negative))
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

void optionH(ToolSettings& s, const char* arg) {
  if (const char* f = std::strchr(arg, 'f')) {
    s.stamp_font = valueWord(f + 1, kMaxValueText);
    s.stamp_font_given = 1;
    return;
  }
  const char* d = std::strstr(arg, "d=");
  if (!d) toolError(kErrOption);
  std::string where = valueWord(d + 2, kMaxValueText);
  static const char* const positions[] = {"ul", "ur", "dl", "dr", nullptr};
  for (int p = 0; positions[p]; ++p)
    if (where == positions[p]) s.stamp_position = p;
}

}  // namespace

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
  while ((letter = getopt(count, args.data(), "P:I:O:N:C:p:G:J:H:DdtEV")) !=
         -1) {
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
        throw FatalError{std::string("zavpsoption version = ") + kVersion +
                             "\n",
                         0};
      default:  // the scanner has said what was wrong
        break;
    }
  }
  if (optind < count) toolError(kErrOption);
  if (checkPaperSize(s.input_code) < 0) toolError(kErrPaperSize);
  return s;
}
