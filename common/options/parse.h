// The option-string parser (text and image grammars) and the defaults
// file lookup.
#ifndef COMMON_OPTIONS_PARSE_H_
#define COMMON_OPTIONS_PARSE_H_

#include <cstdio>
#include <optional>
#include <string>

/// Parses one option string with the text grammar into the text set.
/// Returns whether a string was given. Throws FatalError on a bad option.
int parseTextOptions(const char* text);
/// The same with the image grammar into the image set.
int parseImageOptions(const char* text);

// Value readers: each takes the string and a position and returns the
// position after what it consumed.
size_t skipBlanks(const std::string& s, size_t pos);
size_t readUnsigned(const std::string& s, size_t pos, unsigned* out);
size_t readFloat(const std::string& s, size_t pos, double* out);
size_t readFloatPair(const std::string& s, size_t pos, double* first,
                     double* second);
size_t readToken(const std::string& s, size_t pos, std::string* out);

/// Four margins "top:bottom:right:left"; 1 on success, 0 on failure.
int readMargins(const std::string& text, double margins[4]);

/// Reads `file` from its current position to the first line that belongs
/// to filter `name`, and returns the rest of that line after the name
/// (newline included). Lines are read whole, whatever their length.
std::optional<std::string> findFilterLine(const std::string& name,
                                          FILE* file);

/// Path of the system-wide defaults file: .zavpsdefault in the directory
/// that holds the running program (<prefix>/zavpsbin/ once installed).
std::string systemDefaultsFile();

/// Filter mode: parses this filter's line from the job owner's defaults
/// file, or else from the system file, with `parse`.
void readFilterDefaults(int (*parse)(const char*));

#endif  // COMMON_OPTIONS_PARSE_H_
