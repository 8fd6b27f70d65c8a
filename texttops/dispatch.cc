#include "dispatch.h"

#include "options.h"
#include "passthrough.h"
#include "processtext.h"
#include "reader.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kCtrlD = 0x04;
const int kEsc = 0x1B;

// Copies bytes up to and including the next newline.
void copyLine(Reader& in, Writer& out) {
  int c;
  while ((c = in.get()) != kEnd) {
    out.put(static_cast<char>(c));
    if (c == '\n') break;
  }
}

void putBack(Reader& in, int c) {
  if (c != kEnd) in.unget(c);
}

}  // namespace

void copyJobHeader(Reader& in, Writer& out) {
  int b1 = in.get(), b2 = in.get(), b3 = in.get();
  if (b1 != kEsc && b2 != '%') {
    putBack(in, b3);
    putBack(in, b2);
    putBack(in, b1);
    return;
  }
  out.put(static_cast<char>(b1));
  if (b2 != kEnd) out.put(static_cast<char>(b2));
  if (b3 != kEnd) {
    out.put(static_cast<char>(b3));
    if (b3 != '\n') copyLine(in, out);
  }
  for (;;) {
    int c = in.get();
    if (c != '@') {
      putBack(in, c);
      return;
    }
    out.put('@');
    copyLine(in, out);
  }
}

unsigned dispatchInput(Reader& in, Writer& out, bool standalone,
                   const std::string& title) {
  int b1 = in.get(), b2 = in.get(), b3 = in.get();
  if (b1 == kCtrlD && b2 == '%' && b3 == '!') {
    out.put(static_cast<char>(kCtrlD));
    b1 = '%';
    b2 = '!';
  } else {
    putBack(in, b3);
  }
  if ((b1 == '%' && b2 == '!') || opt.text_force_postscript) {
    passPostScript(b1, b2, in, out);
    return 0;
  }
  return convertText(standalone, b1, b2, title, in, out);
}
