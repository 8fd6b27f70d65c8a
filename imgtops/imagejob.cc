#include "imagejob.h"

#include <cstdio>

#include "account.h"
#include "imagedoc.h"
#include "imageformat.h"
#include "status.h"

void convertImage(const JobContext& job, Reader& in, Writer& out) {
  const ImageFormat& format = sniffImageFormat(in, job);
  std::unique_ptr<ImageReader> image = format.open(in, job);
  writeImageDocument(*image, out, job);
  std::string lacking = image->warning();
  if (!lacking.empty())
    std::fprintf(stderr, "%s: %s\n", inputName(job).c_str(),
                 lacking.c_str());
  if (!job.standalone()) keepAccounting(std::string(format.name) + "\t");
}
