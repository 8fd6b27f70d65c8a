#include "dispatch.h"

#include "options.h"
#include "passthrough.h"
#include "pdf.h"
#include "processtext.h"
#include "reader.h"
#include "status.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kCtrlD = 0x04;
const size_t kFirstBlock = 4096;

}  // namespace

unsigned dispatchInput(Reader& in, Writer& out, const JobContext& job) {
  // What the first block shows: a PDF file, or binary data, is not text.
  std::string_view head = in.peek(kFirstBlock);
  if (head.starts_with("%PDF-")) {
    passPdf(in, out, job);
    return 0;
  }
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
    passPostScript(b1, b2, in, out);
    return 0;
  }
  if (binary) refuseInput(job, "binary file, not printed");
  return convertText(job, b1, b2, in, out);
}
