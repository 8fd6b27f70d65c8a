// Rewriting the running user's defaults file.
#ifndef ZAVPSOPTION_DEFAULTS_H_
#define ZAVPSOPTION_DEFAULTS_H_

#include <string>
#include <vector>

#include "option.h"

/// The defaults file in the directory named by HOME. Throws ToolError when
/// HOME is not set (or empty).
std::string defaultsPath();

/// The lines of `content`, each with its newline; the last may lack one.
std::vector<std::string> splitLines(const std::string& content);

/// What the temporary file of replaceFile adds to the file's name.
inline constexpr const char* kTemporarySuffix = ".zavpsoption-new";

/// Replaces the file at `path` by `content`: a temporary file in the same
/// directory (`path` and kTemporarySuffix; one left by a killed run is
/// replaced) is written, synced, given `mode` and renamed over it. False
/// (with the old file untouched) when any step fails. SIGINT, SIGTERM,
/// SIGHUP and SIGQUIT meanwhile remove the temporary file and end the tool.
bool replaceFile(const std::string& path, const std::string& content,
                 unsigned mode);

/// The one-line warning for a file the print spooler (another user)
/// cannot read: the file is a symbolic link (the filters do not follow
/// it), not readable by others, or a directory on the way to it is not
/// searchable. Empty if it can.
std::string spoolerWarning(const std::string& path);

/// Reads the defaults file (or starts a new one), composes the four filter
/// lines and replaces the file. Returns the path. Throws ToolError. Runs
/// on the same file take turns: each holds a lock (flock on a file named
/// as the file with ".lock" added, removed when done) from reading to the
/// rename.
std::string rewriteDefaults(const ToolSettings& tool);

#endif  // ZAVPSOPTION_DEFAULTS_H_
