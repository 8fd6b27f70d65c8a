// The option settings record shared by all three programs, the keyword
// tables of the option language, and the readers for tray, paper and
// custom-size keywords.
#ifndef COMMON_OPTIONS_OPTIONS_H_
#define COMMON_OPTIONS_OPTIONS_H_

#include <string>

#include "printeroptions.h"

/// A fatal error in option handling: main prints `message` to standard
/// error and exits with `status`.
struct FatalError {
  std::string message;
  int status;
};

/// Text a command line asks for instead of a job (the help, the
/// version): main writes it as it is and exits with status 0.
struct Answer {
  std::string text;
  bool to_error;  // to standard error, else to standard output
};

/// The suite's version (the project's), as the programs' -V prints it.
extern const char* const kVersion;

/// Whitespace between the words of an option string (as isspace in "C").
bool isWhite(char c);

/// Throws FatalError{"Unknown option '<word>'\n", 255}.
[[noreturn]] void unknownOption(const std::string& word);

/// Kinds of input selection.
enum InputKind {
  INPUT_Tray = 0,
  INPUT_Paper = 1,
  INPUT_ManualPaper = 2,
  INPUT_Custom = 3,
  INPUT_ManualCustom = 4,
  INPUT_Invalid = 5,
};

/// Where the paper comes from: one row of the input keyword table.
struct InputSelection {
  int tray_id;
  int kind;
  int paper_id;
};

/// One row of the input keyword table.
struct InputKeyword {
  const char* name;
  int code;
  InputSelection selection;
};

/// One row of the output keyword table.
struct OutputKeyword {
  const char* name;
  int code;
};

/// Input code of a custom size from the automatic source.
const int kCustomInputCode = 18;

/// The text page the spooler and the text filter assume: columns and lines.
const unsigned kDefaultColumns = 132;
const unsigned kDefaultLines = 66;

/// Largest copy count, font size (points) and tab width (columns).
const int kMaxCopies = 999;
const int kMaxFontSize = 1000;
const int kMaxTabWidth = 1000;
/// Lines a page (-l), columns a line (-w; 9999 stands for none), and the
/// top and left margins in lines and columns (-L, -o).
const int kMaxLines = 10000;
const int kMaxColumns = 9999;
const int kMaxLayoutMargin = 1000;

/// Encodings of text input.
enum TextEncoding {
  ENCODING_Auto = 0,  // UTF-8 if valid UTF-8, else Shift_JIS or EUC-JP, whichever fits
  ENCODING_Euc = 1,
  ENCODING_Utf8 = 2,
  ENCODING_Sjis = 3,  // Shift_JIS with the Windows extensions (CP932)
  ENCODING_Invalid = 4,
};

/// One row of the encoding keyword table.
struct EncodingKeyword {
  const char* name;
  int encoding;
};

/// Stamp position and page mode value meaning "none".
const int kNoStamp = 999;

extern const InputKeyword inputkeytab[];
extern const InputKeyword customkeytab[];
extern const OutputKeyword outputkeytab[];
extern const InputSelection defaultInputSelection;
extern const EncodingKeyword encodingkeytab[];

/// Placement procedure names indexed by stamp position.
extern const char* const stampProcedureNames[4];

/// Every print option of a run. One process-wide instance, `opt`.
struct OptionSettings {
  /// The text page the spooler passes (-w, -l): columns and lines.
  unsigned spool_width = 0;
  unsigned spool_length = 0;
  /// The names a stamp shows (see nameStamp).
  std::string stamp_user;
  std::string stamp_host;

  // Input selection and the last custom size read.
  const InputSelection* input_selection = &defaultInputSelection;
  float custom_width_value = 0;
  float custom_height_value = 0;
  int custom_width_points = 0;
  int custom_height_points = 0;
  int custom_unit = 0;

  /// Set by a number reader that found no number.
  int scan_error = 0;

  // Text print set.
  PrinterSettings text_printer;
  double text_page_margins[4] = {0, 0, 0, 0};  // top, bottom, right, left
  int text_use_page_margins = 0;
  int text_page_margins_given = 0;
  int text_two_line = 0;
  int text_landscape = 0;
  int text_ignore_formfeed = 0;
  unsigned text_tab_width = 0;
  unsigned text_lines = 0;
  int text_lines_set = 0;
  int text_lines_explicit = 0;
  unsigned text_columns = 0;
  int text_columns_set = 0;
  unsigned text_top_margin = 0;
  int text_top_margin_given = 0;
  unsigned text_left_margin = 0;
  int text_left_margin_given = 0;
  unsigned text_font_size = 0;
  std::string text_font;
  std::string text_kana_font;   // half-width katakana
  std::string text_kanji_font;  // JIS X 0208
  int text_encoding = 0;        // TextEncoding
  double text_line_pitch = 0;   // in font sizes; 0: by the text
  int text_force_postscript = 0;

  // Image print set.
  PrinterSettings image_printer;
  double image_width_inch = 0;
  double image_height_inch = 0;
  int image_size_given = 0;
  double image_fit_width_inch = 0;
  int image_fit_width_given = 0;
  unsigned image_width_points = 0;
  int image_points_given = 0;
  double image_offset_x = 0;
  double image_offset_y = 0;
  int image_offset_given = 0;
  int image_rotate = 0;
  int image_no_showpage = 0;
  int image_g4 = 0;
};

extern OptionSettings opt;

/// Clears the whole record to its program-start state (both sets zero).
void resetOptions();
/// Sets the text print set to the text filter's defaults.
void initTextSet();
/// Sets the image print set to the image filter's defaults.
void initImageSet();

/// Reads an input keyword or custom size at `text`; stores its code in
/// `code`, selects its row. Returns the characters consumed. Throws on an
/// unknown word. The text may be cut at its first newline.
size_t readInputKeyword(std::string& text, size_t pos, int* code);
/// The same for the output keyword table.
size_t readOutputKeyword(std::string& text, size_t pos, int* code);
/// 1 if `word` is a custom size (the custom fields are then filled), else 0.
int readCustomSize(const std::string& word, int* code);
/// 1 acceptable, -1 custom size too large, -2 too small.
int checkPaperSize(int input_code);
/// The encoding an encoding keyword names (any case), or ENCODING_Invalid.
int readEncodingKeyword(const std::string& word);
/// Keyword of the first row with `code`, or nullptr.
const char* inputKeywordName(int code);
const char* outputKeywordName(int code);

#endif  // COMMON_OPTIONS_OPTIONS_H_
