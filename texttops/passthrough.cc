#include "passthrough.h"

#include <string>

#include "account.h"
#include "options.h"
#include "pagestamp.h"
#include "reader.h"
#include "devicesetup.h"
#include "writer.h"

namespace {

const int kEnd = -1;
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

// Counts the pages of a document from the start of each of its lines.
struct PageCounter {
  unsigned pages = 0;
  int embedded = 0;  // depth of %%BeginDocument ... %%EndDocument
  std::string head;  // the start of the current line

  void see(int c) {
    if (c == '\n' || c == '\r') {
      endLine();
      return;
    }
    if (head.size() < 16) head += static_cast<char>(c);
  }

  void endLine() {
    if (head.starts_with("%%BeginDocument")) ++embedded;
    if (head.starts_with("%%EndDocument") && embedded > 0) --embedded;
    if (head.starts_with("%%Page:") && embedded == 0) ++pages;
    head.clear();
  }
};

}  // namespace

void copyJobHeader(Reader& in, Writer& out) {
  int b1 = in.get(), b2 = in.get(), b3 = in.get();
  if (b1 != kEsc) {
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

unsigned passPostScript(int first, int second, Reader& in, Writer& out) {
  PageCounter counter;
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
  for (int c : {first, second})
    if (c != kEnd) counter.see(c);

  bool stamp = opt.text_printer.stamp.position != kNoStamp;
  bool atLineStart = false;
  bool setupDone = false;
  int last = second != kEnd ? second : first;
  int c;
  while ((c = in.get()) != kEnd) {
    if (atLineStart && c != '%' && !setupDone) {
      // Enhancement comes before toner saving here.
      writeDeviceSetup(out, textRequests(), true);
      setupDone = true;
      if (stamp) writePageStamp(out, false, opt.text_printer.stamp.pages != 2);
    }
    out.put(static_cast<char>(c));
    counter.see(c);
    atLineStart = c == '\n';
    last = c;
  }
  // Whatever follows in the same output starts on a line of its own.
  if (last != kEnd && last != '\n') out.put('\n');
  keepAccounting("PostScript\t");
  counter.endLine();
  return counter.pages;
}
