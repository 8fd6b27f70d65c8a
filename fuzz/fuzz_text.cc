// The text converter and the pass-through on arbitrary input, in both
// layouts, with and without a width and two columns.
#include <cstdint>
#include <string>

#include "dispatch.h"
#include "option.h"
#include "options.h"
#include "parse.h"
#include "passthrough.h"
#include "reader.h"
#include "writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  resetOptions();
  initTextSet();
  // The first two bytes choose the layout, the third the input encoding.
  uint8_t a = data[0], b = data[1];
  static const char* const encodings[4] = {" -Ke=auto", " -Ke=euc-jp",
                                           " -Ke=utf-8", " -Ke=sjis"};
  std::string options;
  if (a & 1) options += " -l" + std::to_string(1 + (b & 31));
  if (a & 2) options += " -w" + std::to_string(b >> 3);
  if (a & 4) options += " -2";
  if (a & 8) options += " -F";
  if (a & 16) options += " -e" + std::to_string(b & 15);
  if (a & 32) options += " -ps";
  if (a & 64) options += " -Hd=ul::a";
  options += encodings[data[2] & 3];
  bool filter = a & 128;
  try {
    parseTextOptions(options.c_str());
    applyLayoutRules(filter ? RunMode::LpdFilter : RunMode::Standalone);
  } catch (const FatalError&) {
    return 0;
  }
  Reader in(std::string_view(reinterpret_cast<const char*>(data) + 3, size - 3));
  Writer out = Writer::memory();
  try {
    if (filter) copyJobHeader(in, out);
    JobContext job;
    job.name = job.title = "fuzz";
    job.mode = filter ? RunMode::LpdFilter : RunMode::Standalone;
    dispatchInput(in, out, job);
  } catch (const FatalError&) {
    // refused input: a PDF or binary file
  }
  return 0;
}
