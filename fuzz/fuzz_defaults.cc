// Defaults-file lookup and the include directive on arbitrary file
// contents.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "options.h"
#include "parse.h"

namespace {

std::string home() {
  static std::string dir = [] {
    char templ[] = "/tmp/fuzz-defaults-XXXXXX";
    return std::string(mkdtemp(templ));
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = home() + "/.zavpsdefault";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  setenv("HOME", home().c_str(), 1);

  for (const char* name : {"zavpsif", "zavpsvf", "zavpsg4f", "zavpsof"}) {
    std::optional<std::string> line = findFilterLine(
        name, std::string_view(reinterpret_cast<const char*>(data), size));
    if (!line) continue;
    resetOptions();
    try {
      initTextSet();
      initImageSet();
      if (name[5] == 'i')
        parseTextOptions(line->c_str());
      else
        parseImageOptions(line->c_str());
    } catch (const FatalError&) {
    }
  }
  resetOptions();
  initTextSet();
  try {
    parseTextOptions("-t <zavpsif> -E");
  } catch (const FatalError&) {
  }
  return 0;
}
