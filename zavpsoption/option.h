// The option tool's command line: its own settings, the checks and their
// error codes.
#ifndef ZAVPSOPTION_OPTION_H_
#define ZAVPSOPTION_OPTION_H_

#include <map>
#include <optional>
#include <string>

/// An error of the option tool: main writes "zavpsoption : <text>\n" to
/// standard output and exits with status 1.
struct ToolError {
  int code;  // the error code, 0 for the defaults writer's own messages
  std::string text;
};

/// Throws the ToolError with `code` and its text.
[[noreturn]] void toolError(int code);

/// The text of error `code`, or nullptr for an unknown code.
const char* toolErrorText(int code);

// Error codes.
const int kErrInputTray = 1;
const int kErrOutputTray = 2;
const int kErrDuplex = 3;
const int kErrUserName = 6;
const int kErrMemory = 7;
const int kErrNoFilterLine = 9;
const int kErrOption = 10;
const int kErrPolicy = 11;
const int kErrJog = 12;
const int kErrCopies = 13;
const int kErrPaperSize = 15;

/// Longest texts the tool keeps; longer values are refused.
const size_t kMaxCopiesText = 31;
const size_t kMaxValueText = 127;

/// What the user asked the tool to record.
struct ToolSettings {
  std::string printer_name = "lp";
  int input_code = 0;
  std::string custom_size_text;
  int output_code = 0;
  int duplex = 0;  // 0 none, 2 long edge, 3 short edge
  int toner_saver = 0;
  int render_enhance = 0;
  std::optional<std::string> policy_text;
  int collate = 0;
  std::string copies_text;
  std::optional<std::string> jog_text;
  int jog_none = 0;
  int jog_user_given = 0;
  std::string jog_user;
  int force_postscript = 0;
  int g4 = 0;
  std::optional<std::string> stamp_spec;  // the text after "-Hd="
  /// Printer options the tool has no checks of its own for, as the
  /// filters read them, by their key in the option table.
  std::map<std::string, std::string> table_options;
  /// Options without a letter of their own (-X), by filter name: they
  /// replace the other options of that filter's lines.
  std::map<std::string, std::string> other_options;
};

/// Thrown for --help and -h: main prints helpText() on standard output
/// and exits with status 0.
struct ToolHelp {};

/// One line per option.
const char* helpText();

/// Reads and checks the command line (argv[0] is the program name):
/// running user, options in order up to the first operand, paper size.
/// Throws ToolError for the coded errors, ToolHelp for --help, FatalError
/// for an unknown tray word or an option a filter refuses (status 255),
/// an unknown letter or a missing argument (the usage text, status 1) and
/// -V (status 0). Uses the process-wide option scanner.
ToolSettings parseToolCommandLine(int argc, char** argv);

#endif  // ZAVPSOPTION_OPTION_H_
