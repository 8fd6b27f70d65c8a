#include "passthrough.h"

#include "account.h"
#include "dispatch.h"
#include "options.h"
#include "reader.h"
#include "setiot.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kEsc = 0x1B;

// The stamp always stands at the lower left here.
void drawStamp(Writer& out) {
  out.write("/lsd\n{\n12 15 moveto\nshow\n} def\n/StartHF\n{\n");
  out.printf("/%s findfont\n", opt.text_stamp_font.c_str());
  out.write("8 scalefont\nsetfont\n");
  out.printf("(%s) lsd\n", makeStamp(textStamp()).c_str());
  out.write("}def\nsave initgraphics newpath StartHF closepath restore\n");
}

}  // namespace

void passPostScript(int first, int second, Reader& in, Writer& out) {
  if (first == kEsc) {
    if (second != kEnd) in.unget(second);
    in.unget(first);
    copyJobHeader(in, out);
    first = in.get();
    second = first == kEnd ? kEnd : in.get();
  }
  if (!(first == '%' && second == '!')) out.write("%!\n");
  if (first != kEnd) out.put(static_cast<char>(first));
  if (second != kEnd) out.put(static_cast<char>(second));

  bool stamp = opt.text_stamp_position != kNoStamp;
  bool stampOnce = stamp && (opt.text_stamp_pages == 1 ||
                             opt.text_stamp_pages == kNoStamp);
  bool stampEveryPage = stamp && opt.text_stamp_pages == 2;
  bool atLineStart = false;
  bool setupDone = false;
  int c;
  while ((c = in.get()) != kEnd) {
    if (atLineStart && c != '%' && !setupDone) {
      // Enhancement comes before toner saving here.
      writeDeviceSetup(out, textRequests(), true);
      setupDone = true;
      if (stampOnce) drawStamp(out);
    }
    if (atLineStart && c == 's' && stampEveryPage && in.peek(7) == "howpage")
      drawStamp(out);
    out.put(static_cast<char>(c));
    atLineStart = c == '\n';
  }
  appendAccounting("PostScript\t");
}
