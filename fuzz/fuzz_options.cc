// Both option grammars on arbitrary option strings. A fatal option error
// is an ordinary outcome.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "options.h"
#include "parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  setenv("HOME", "/nonexistent", 1);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  resetOptions();
  try {
    if (data[0] & 1) {
      initImageSet();
      parseImageOptions(text.c_str());
    } else {
      initTextSet();
      parseTextOptions(text.c_str());
    }
    checkPaperSize(opt.text_printer.input_tray);
    checkPaperSize(opt.image_printer.input_tray);
  } catch (const FatalError&) {
  }
  return 0;
}
