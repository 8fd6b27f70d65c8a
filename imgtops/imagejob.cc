#include "imagejob.h"

#include <cstdio>

#include "account.h"
#include "imagedoc.h"
#include "imageformat.h"
#include "status.h"

void convertImage(int jobKind, Reader& in, Writer& out,
                  const std::string& title) {
  bool standalone = jobKind == 1;
  const ImageFormat& format = sniffImageFormat(in, standalone, title);
  std::unique_ptr<ImageReader> image = format.open(in, standalone, title);
  writeImageDocument(*image, out, jobKind, title);
  std::string lacking = image->warning();
  if (!lacking.empty())
    std::fprintf(stderr, "%s: %s\n", inputName(standalone, title).c_str(),
                 lacking.c_str());
  if (jobKind == 0) keepAccounting(std::string(format.name) + "\t");
}
