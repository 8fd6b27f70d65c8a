// The option-string parser (text and image grammars) and the defaults
// file lookup.
#ifndef COMMON_OPTIONS_PARSE_H_
#define COMMON_OPTIONS_PARSE_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "jobcontext.h"

/// Parses one option string with the text grammar into the text set; a
/// null string sets nothing. The directive <zavpsif> reads the running
/// user's own defaults only when `readInclude` is set: standalone runs, for
/// under a spooler that user is the spooler's, not the job's owner.
/// Throws FatalError on a bad option.
void parseTextOptions(const char* text, bool readInclude = false);
/// The same with the image grammar into the image set.
void parseImageOptions(const char* text);

// Value readers: each takes the string and a position and returns the
// position after what it consumed.
size_t skipBlanks(const std::string& s, size_t pos);
size_t readUnsigned(const std::string& s, size_t pos, unsigned* out);
size_t readFloat(const std::string& s, size_t pos, double* out);
size_t readFloatPair(const std::string& s, size_t pos, double* first,
                     double* second);
size_t readToken(const std::string& s, size_t pos, std::string* out);

/// Whether `s` holds `prefix` at `pos`.
bool startsWith(const std::string& s, size_t pos, const char* prefix);
/// End of the word at `pos`: the first whitespace or the end of the text.
size_t wordEnd(const std::string& s, size_t pos);
/// A word error for the key at `key`: Unknown option with the word that
/// begins one character before it (the '-' as options are usually written).
[[noreturn]] void wordError(const std::string& s, size_t key);
/// A number within `low`..`high` at `pos`, as readUnsigned reads it; a
/// number out of range is a word error for the key at `key`.
size_t readInRange(const std::string& s, size_t pos, size_t key, long low,
                   long high, unsigned* out);
/// A font name as the document writes it after a slash: one PostScript
/// name, else Unknown option.
const std::string& fontName(const std::string& word);

/// Four margins "top:bottom:right:left"; 1 on success, 0 on failure.
int readMargins(const std::string& text, double margins[4]);

/// Finds the first line of a defaults file's `content` that belongs to
/// filter `name`, and returns the rest of that line after the name
/// (newline included). Lines are read whole, whatever their length.
std::optional<std::string> findFilterLine(const std::string& name,
                                          std::string_view content);

/// The most of a defaults file that is read; a larger file is ignored.
const size_t kMaxDefaultsFile = 64 * 1024;

/// A defaults file's content, read without blocking and only from a
/// regular file of at most kMaxDefaultsFile bytes. None when it is missing
/// or cannot be used; then `problem` says why (empty when it is missing).
/// With an `owner`, the file is opened as openOwnedFile opens it.
std::optional<std::string> readDefaultsFile(const std::string& path,
                                            std::string* problem,
                                            const uid_t* owner = nullptr);

/// Path of the system-wide defaults file: .zavpsdefault in the directory
/// that holds the running program (<prefix>/zavpsbin/ once installed).
std::string systemDefaultsFile();

/// Filter mode: parses the line of filter `job.name` from the defaults file
/// of `job.owner`, or else from the system file, with `parse`. The owner's
/// file is read only when the owner or root owns it, the system file only
/// when root or the running user does (see openOwnedFile). A file that
/// cannot be used is named in a warning line on standard error.
void readFilterDefaults(const JobContext& job, void (*parse)(const char*));

#endif  // COMMON_OPTIONS_PARSE_H_
