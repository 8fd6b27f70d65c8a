// The printer options, one row each: how the option language, CUPS, the
// option tool, the --help texts and the device setup know them.
#ifndef COMMON_OPTIONS_PRINTEROPTIONS_H_
#define COMMON_OPTIONS_PRINTEROPTIONS_H_

#include <string>
#include <vector>

#include "options.h"

class Writer;

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
  CupsName cups[3];  // its CUPS options, in the order they apply
  char letter;       // the option tool's letter for it, 0 for none
  const char* help;  // its lines of the filters' --help, "" for none
  SetupWriter setup;  // its device request; nullptr: written with another's
};

/// The rows, in the order the device setup writes their requests and
/// their CUPS options apply; ended by a row without a key.
extern const PrinterOption printerOptions[];

/// The row whose key (or second key) stands at `pos` of `s`, the longest
/// that fits; nullptr for none.
const PrinterOption* printerOptionAt(const std::string& s, size_t pos);

/// The row with key `key`; nullptr for none.
const PrinterOption* printerOption(const char* key);

/// The filters' --help lines of the printer options, in row order.
std::string printerOptionsHelp();

#endif  // COMMON_OPTIONS_PRINTEROPTIONS_H_
