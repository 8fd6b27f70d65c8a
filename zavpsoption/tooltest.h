// Test helper: the tool's settings for a command line, read in-process.
#ifndef ZAVPSOPTION_TOOLTEST_H_
#define ZAVPSOPTION_TOOLTEST_H_

#include <string>
#include <vector>

#include "option.h"
#include "options.h"

/// Reads `args` (without the program name) as the tool's command line,
/// starting from a cleared option record.
inline ToolSettings toolFor(std::vector<std::string> args) {
  resetOptions();
  args.insert(args.begin(), "zavpsoption");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return parseToolCommandLine(static_cast<int>(args.size()), argv.data());
}

#endif  // ZAVPSOPTION_TOOLTEST_H_
