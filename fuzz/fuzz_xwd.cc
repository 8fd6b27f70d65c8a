// The window dump reader and the image document writer on arbitrary dumps,
// every depth, with and without Group 4. The first byte picks options.
#include <fcntl.h>

#include <cstdint>
#include <string>

#include "imagejob.h"
#include "options.h"
#include "parse.h"
#include "reader.h"
#include "writer.h"
#include "xwdheader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 + kDumpHeaderSize) return 0;
  // Short data repeats the last row; keep claimed images small enough that
  // a run stays fast.
  DumpHeader h;
  readDumpHeader(data + 1, &h);
  if (static_cast<uint64_t>(h.pixmap_width) * h.pixmap_height > 1u << 20)
    return 0;

  resetOptions();
  initImageSet();
  uint8_t a = data[0];
  std::string options;
  if (a & 1) options += " -G4";
  if (a & 2) options += " -r";
  if (a & 4) options += " -Hd=dr";
  if (a & 8) options += " -s=3,2";
  if (a & 16) options += " -S=5";
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
    // refused input: not a printable window dump
  }
  return 0;
}
