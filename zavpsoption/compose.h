// Composing the option string of each filter line of a defaults file: the
// options the tool manages are kept, replaced, removed or appended, and
// everything else on the line stays as it was.
#ifndef ZAVPSOPTION_COMPOSE_H_
#define ZAVPSOPTION_COMPOSE_H_

#include <optional>
#include <string>
#include <vector>

#include "option.h"

/// The options the tool manages, in the order in which missing ones are
/// appended to a line.
enum ManagedOption {
  M_Input,          // -I
  M_Output,         // -O
  M_Duplex,         // -D / -d
  M_Toner,          // -t
  M_Enhance,        // -E
  M_Policy,         // -C
  M_Jog,            // -J
  M_Copies,         // -Nc=
  M_Collate,        // -Cl
  M_PostScript,     // -ps
  M_G4,             // -G4
  M_JogNone,        // -JN
  M_JogUser,        // -JU=
  M_StampPosition,  // -Hd=
  M_Count,
};

/// The managed options one filter line receives: the text of each option
/// that is present, none for one that is not; after the fixed ones, the
/// printer options the tool knows only from the option table.
struct FilterSettings {
  std::vector<std::optional<std::string>> text;
  /// "-I" is present but has no value of its own here: an existing "-I"
  /// keeps its value.
  bool keep_input_value = false;
  /// Replaces every other option on the line, when present (-X).
  std::optional<std::string> others;
};

/// Whether `word` on a filter line is one of the options the tool manages.
bool isManagedOption(const std::string& word);

/// The four filter names whose lines the tool edits, in editing order.
extern const char* const filterNames[5];

/// What the line of filter `name` receives from the tool's settings.
FilterSettings filterSettings(const ToolSettings& tool,
                              const std::string& name);

/// Edits every line of `lines` that belongs to filter `name`. Result:
/// whether any line began with the name (after leading whitespace).
bool composeFilterLines(std::vector<std::string>& lines,
                        const std::string& name,
                        const FilterSettings& settings);

#endif  // ZAVPSOPTION_COMPOSE_H_
