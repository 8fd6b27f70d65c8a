// One image reader and the document writer on arbitrary files of its
// format (the seed corpus picks the format: the targets fuzz_xwd,
// fuzz_png, fuzz_jpeg, fuzz_tiff and fuzz_pnm are this file). The first
// byte picks options. Claimed sizes are held small so that a run stays
// fast; a window dump must bring half its rows.
#include <fcntl.h>

#include <cstdint>
#include <string>

#include "imagejob.h"
#include "options.h"
#include "parse.h"
#include "rawinput.h"
#include "reader.h"
#include "writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  maxImagePixels = 1u << 20;
  resetOptions();
  initImageSet();
  uint8_t a = data[0];
  std::string options;
  if (a & 1) options += " -G4";
  if (a & 2) options += " -r";
  if (a & 4) options += " -Hd=dr";
  if (a & 8) options += " -S=5";
  if (a & 16) options += " -s=3,2";
  if (a & 32) options += " -p 200";
  if (a & 64) options += " -n";
  try {
    parseImageOptions(options.c_str());
  } catch (const FatalError&) {
    return 0;
  }
  static int devnull = open("/dev/null", O_WRONLY);
  Reader in(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  Writer out(devnull);
  try {
    JobContext job;
    job.name = job.title = "fuzz";
    if (a >> 7 == 0) job.mode = RunMode::LpdFilter;
    convertImage(job, in, out);
  } catch (const FatalError&) {
    // refused input
  }
  return 0;
}
