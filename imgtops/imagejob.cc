#include "imagejob.h"

#include "account.h"
#include "imagedoc.h"
#include "imageformat.h"
#include "logline.h"
#include "option.h"
#include "options.h"
#include "parse.h"
#include "status.h"
#include "writer.h"

void convertImage(const JobContext& job, Reader& in, Writer& out) {
  const ImageFormat& format = sniffImageFormat(in, job);
  std::unique_ptr<ImageReader> image = format.open(in, job);
  writeImageDocument(*image, out, job);
  std::string lacking = image->warning();
  if (!lacking.empty())
    logLine(job, inputHead(job) + lacking + "\n");
  if (!job.standalone()) keepAccounting(std::string(format.name) + "\t");
}

void printAsRasterJob(const JobContext& job, Reader& in, Writer& out) {
  initImageSet();
  JobContext raster = job;
  raster.name = "zavpsvf";  // whose line of the defaults file is read
  readFilterDefaults(raster, parseImageOptions);
  applyStampOffsetRule();
  JobContext image = job;
  image.creator = imageCreator(job.mode, opt.image_g4);
  convertImage(image, in, out);
  out.put('\x04');
}
