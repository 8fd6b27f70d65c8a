// The option tool's line editor on arbitrary files and settings: the
// first bytes pick the settings, the rest is the defaults file.
#include <cstdint>
#include <string>
#include <vector>

#include "compose.h"
#include "defaults.h"
#include "option.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  ToolSettings tool;
  uint8_t a = data[0], b = data[1], c = data[2], d = data[3];
  static const char* const words[] = {"A4", "LT", "3", "COM10", "LP210x900"};
  if (a & 1) tool.input_code = 5 + (b % 13);
  if (a & 2) {
    tool.input_code = 18;
    tool.custom_size_text = words[b % 5] + std::string("x297mm");
  }
  if (a & 4) tool.output_code = 1 + (c % 3);
  if (a & 8) tool.duplex = 2 + (c & 1);
  tool.toner_saver = (a >> 4) & 1;
  tool.render_enhance = (a >> 5) & 1;
  if (a & 64) tool.policy_text = std::to_string(b % 7);
  tool.collate = (a >> 7) & 1;
  if (b & 1) tool.copies_text = std::to_string(c);
  if (b & 2) tool.jog_text = std::to_string((c % 2) * 2 + 0);
  tool.jog_none = (b >> 2) & 1;
  if (b & 8) {
    tool.jog_user_given = 1;
    tool.jog_user = "user" + std::to_string(d);
  }
  tool.force_postscript = (b >> 4) & 1;
  tool.g4 = (b >> 5) & 1;
  static const char* const stamps[] = {"ul", "ur:t", "dl:uht:a", "dr"};
  if (b & 64) tool.stamp_spec = stamps[d % 4];
  if (c & 128) tool.other_options["zavpsif"] = "-2 -r -s9";
  if (b & 128) tool.table_options["Hf"] = "-Hf" + std::string(d % 80, 'F');

  std::string content(reinterpret_cast<const char*>(data) + 4, size - 4);
  std::vector<std::string> lines = splitLines(content);
  for (const char* const* name = filterNames; *name; ++name)
    composeFilterLines(lines, *name, filterSettings(tool, *name));
  // Editing twice with the same settings changes nothing more.
  std::vector<std::string> again = lines;
  for (const char* const* name = filterNames; *name; ++name)
    composeFilterLines(again, *name, filterSettings(tool, *name));
  return 0;
}
