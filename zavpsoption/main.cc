// zavpsoption: records a user's print defaults, one option line per
// filter, in the defaults file of the home directory.
#include <csignal>
#include <cstdio>
#include <new>
#include <string>

#include "defaults.h"
#include "option.h"
#include "options.h"

int main(int argc, char** argv) {
  // Past a file size limit a write fails and is reported, instead of
  // ending the tool with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    ToolSettings settings = parseToolCommandLine(argc, argv);
    std::string path = rewriteDefaults(settings);
    std::printf("%s modefied\n", path.c_str());
    std::string warning = spoolerWarning(path);
    if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  } catch (const ToolHelp&) {
    std::fputs(helpText(), stdout);
  } catch (const Answer& a) {
    std::fputs(a.text.c_str(), a.to_error ? stderr : stdout);
  } catch (const ToolError& e) {
    std::printf("zavpsoption : %s\n", e.text.c_str());
    return 1;
  } catch (const FatalError& e) {
    std::fputs(e.message.c_str(), stderr);
    return e.status;
  } catch (const std::bad_alloc&) {
    std::printf("zavpsoption : %s\n", toolErrorText(kErrMemory));
    return 1;
  }
  return 0;
}
