// The printer options, one row each: how the option language, CUPS, the
// option tool, the --help texts and the device setup know them.
#ifndef COMMON_OPTIONS_PRINTEROPTIONS_H_
#define COMMON_OPTIONS_PRINTEROPTIONS_H_

#include <string>
#include <vector>

class Writer;

/// The header/footer stamp of one print set.
struct StampSettings {
  int position = 0;  // 0..3 ul ur dl dr; 999 (kNoStamp) none
  int user_slot = 0;  // places of the items, 1..3; 0: not shown
  int host_slot = 0;
  int date_slot = 0;
  int pages = 0;  // PostScript input: 1 first page, 2 every page
  std::string font;
  bool operator==(const StampSettings&) const = default;
};

/// The printer options of one print set: what its device setup requests
/// and its stamp. Zero until the set is initialised.
struct PrinterSettings {
  int input_tray = 0;  // input keyword code; 0: no request
  unsigned page_size_policy = 0;
  int page_size_policy_set = 0;
  int output_tray = 0;  // output keyword code; 0: no request
  int duplex = 0;       // 2 long edge, 3 short edge
  unsigned copies = 0;
  int collate = 0;
  int jog = 0;
  int jog_set = 0;
  int toner_saver = 0;
  int render_enhance = 0;
  StampSettings stamp;
  bool operator==(const PrinterSettings&) const = default;
};

/// Reads an option's value at `pos`, right after its key at `keyPos`, into
/// one print set; returns the position after what it consumed.
using KeyReader = size_t (*)(std::string& s, size_t keyPos, size_t pos,
                             PrinterSettings& set);

/// Writes an option's device request for one print set.
using SetupWriter = void (*)(Writer& out, const PrinterSettings& set);

/// Maps a free CUPS value to option text; values it cannot map go to
/// `rejected` (each then named in a warning).
using CupsMapper = std::string (*)(const std::string& value,
                                   std::vector<std::string>* rejected);

/// A CUPS value of a fixed list and the option text it stands for;
/// nullptr text: the value switches the option off.
struct CupsChoice {
  const char* value;
  const char* words;
};

/// A CUPS option that sets a printer option. One of: a fixed list of
/// values (`choices`), a switch whose true value stands for `on`, or free
/// values read by `map`.
struct CupsName {
  const char* name;  // nullptr: an unused slot
  const CupsChoice* choices;
  const char* on;
  CupsMapper map;
};

/// One printer option.
struct PrinterOption {
  const char* key;   // its key in the option language, after the dash
  const char* alt;   // a second key of the same option, or nullptr
  KeyReader read;    // reads its value into a print set
  int PrinterSettings::*field;  // the field a CUPS "off" value clears
  CupsName cups[4];  // its CUPS options, in the order they apply
  char letter;       // the option tool's letter for it, 0 for none
  const char* help;  // its lines of the filters' --help, "" for none
  SetupWriter setup;  // its device request; nullptr: written with another's
  bool letter_value;  // the tool's letter takes a value ("-I A4")
  const char* tool_help;  // its lines of the option tool's --help
  /// Its lines of the text filter's --help where they say more than
  /// `help` (what only text or PostScript input uses); nullptr: `help`.
  const char* text_help = nullptr;
};

/// The rows, in the order the device setup writes their requests and
/// their CUPS options apply; ended by a row without a key.
extern const PrinterOption printerOptions[];

/// The row whose key (or second key) stands at `pos` of `s`, the longest
/// that fits; nullptr for none.
const PrinterOption* printerOptionAt(const std::string& s, size_t pos);

/// The row with key `key`; nullptr for none.
const PrinterOption* printerOption(const char* key);

/// The --help lines of the printer options, in row order: the text
/// filter's (`text`) or the image filter's.
std::string printerOptionsHelp(bool text);

#endif  // COMMON_OPTIONS_PRINTEROPTIONS_H_
