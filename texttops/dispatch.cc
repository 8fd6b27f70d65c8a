#include "dispatch.h"

#include <cctype>

#include "imageformat.h"
#include "imagejob.h"
#include "options.h"
#include "passthrough.h"
#include "pdf.h"
#include "processtext.h"
#include "reader.h"
#include "status.h"
#include "utf16.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kCtrlD = 0x04;
const size_t kFirstBlock = 4096;

/// UTF-16 text is made UTF-8 and printed as UTF-8.
unsigned convertUtf16(Reader& in, Writer& out, const JobContext& job) {
  std::string text = utf16ToUtf8(in);
  Reader converted(text);
  int encoding = opt.text_encoding;
  opt.text_encoding = ENCODING_Utf8;
  int b1 = converted.get(), b2 = converted.get();
  unsigned pages = convertText(job, b1, b2, converted, out);
  opt.text_encoding = encoding;
  return pages;
}

/// Plain netpbm is text as well: only numbers, blanks and comments, the
/// header's (two for PBM, three for PGM and PPM) and samples after them.
bool plainNetpbm(std::string_view head) {
  int header = head[1] == '1' ? 2 : 3;
  int numbers = 0;
  bool comment = false, inNumber = false;
  for (char c : head.substr(2)) {
    if (comment) {
      comment = c != '\n';
    } else if (c == '#') {
      comment = true;
      inNumber = false;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      if (!inNumber) ++numbers;
      inNumber = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      inNumber = false;
    } else {
      return false;
    }
  }
  return numbers > header;
}

/// Whether the input, which begins with `head`, is an image the raster
/// filter prints.
bool isImage(std::string_view head) {
  const ImageFormat* format = imageFormatOf(head.substr(0, kSniffBytes));
  if (!format) return false;
  bool plain = std::string_view(format->name) == "PNM" && head[1] <= '3';
  return !plain || plainNetpbm(head);
}

}  // namespace

unsigned dispatchInput(Reader& in, Writer& out, const JobContext& job) {
  // What the first block shows: a PDF file, or binary data, is not text.
  std::string_view head = in.peek(kFirstBlock);
  if (head.starts_with("%PDF-")) {
    return passPdf(in, out, job);
  }
  // lpd sends every file to the input filter: an image prints as the
  // raster filter prints it.
  if (job.mode == RunMode::LpdFilter && isImage(head)) {
    printAsRasterJob(job, in, out);
    return 0;
  }
  if (opt.text_encoding == ENCODING_Auto && startsUtf16(head))
    return convertUtf16(in, out, job);
  bool binary = head.find('\0') != std::string_view::npos;
  int b1 = in.get(), b2 = in.get(), b3 = in.get();
  if (b1 == kCtrlD && b2 == '%' && b3 == '!') {
    out.put(static_cast<char>(kCtrlD));
    b1 = '%';
    b2 = '!';
  } else if (b3 != kEnd) {
    in.unget(b3);
  }
  if ((b1 == '%' && b2 == '!') || opt.text_force_postscript) {
    return passPostScript(b1, b2, in, out);
  }
  if (binary) refuseInput(job, "binary file, not printed");
  return convertText(job, b1, b2, in, out);
}
