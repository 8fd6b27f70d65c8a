#include "passthrough.h"

#include "account.h"
#include "options.h"
#include "reader.h"
#include "setiot.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kEsc = 0x1B;

void copyLine(Reader& in, Writer& out) {
  int c;
  while ((c = in.get()) != kEnd) {
    out.put(static_cast<char>(c));
    if (c == '\n') break;
  }
}

// Copies a job header (its first line and the "@" lines after it); leaves
// the two bytes after it in `first` and `second`.
void copyJobHeader(int* first, int* second, Reader& in, Writer& out) {
  out.put(static_cast<char>(*first));
  if (*second != kEnd) {
    out.put(static_cast<char>(*second));
    copyLine(in, out);
  }
  int c;
  while ((c = in.get()) == '@') {
    out.put('@');
    copyLine(in, out);
  }
  *first = c;
  *second = c == kEnd ? kEnd : in.get();
}

// The setup goes where the leading comments end; enhancement comes before
// toner saving here.
void insertSetup(Writer& out) {
  if (opt.text_input_tray != 0)
    setInputSource(out, opt.text_page_size_policy_set,
                   static_cast<int>(opt.text_page_size_policy));
  if (opt.text_output_tray != 0) setOutputTray(out, opt.text_output_tray);
  if (opt.text_duplex != 0) setDuplex(out, opt.text_duplex);
  setCopies(out, opt.text_collate, static_cast<int>(opt.text_copies));
  setJog(out, opt.text_jog_set, static_cast<unsigned>(opt.text_jog));
  setRenderEnhance(out, opt.text_render_enhance);
  setTonerSaver(out, opt.text_toner_saver);
}

// The stamp always stands at the lower left here.
void drawStamp(Writer& out) {
  StampSpec spec{opt.text_stamp_position, opt.text_stamp_user_slot,
                 opt.text_stamp_host_slot, opt.text_stamp_date_slot,
                 opt.text_stamp_font};
  out.write("/lsd\n{\n12 15 moveto\nshow\n} def\n/StartHF\n{\n");
  out.printf("/%s findfont\n", opt.text_stamp_font.c_str());
  out.write("8 scalefont\nsetfont\n");
  out.printf("(%s) lsd\n", makeStamp(spec).c_str());
  out.write("}def\nsave initgraphics newpath StartHF closepath restore\n");
}

}  // namespace

void passPostScript(int first, int second, Reader& in, Writer& out) {
  if (first == kEsc || second == '%') copyJobHeader(&first, &second, in, out);
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
      insertSetup(out);
      setupDone = true;
      if (stampOnce) drawStamp(out);
    }
    if (atLineStart && c == 's' && stampEveryPage && in.peek(7) == "howpage")
      drawStamp(out);
    out.put(static_cast<char>(c));
    atLineStart = c == '\n';
  }
  appendAccounting("PostScript\t" + opt.host_name + ":" + opt.login_name +
                   "\n");
}
