#include "passthrough.h"

#include <algorithm>
#include <string>
#include <string_view>

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

namespace {

// Where a document's lines stand for the device setup.
struct SetupPlace {
  bool adobe = false;       // the first line claims DSC conformance
  bool inProlog = false;    // between %%BeginProlog and %%EndProlog
  bool inSetup = false;     // between %%BeginSetup and %%EndSetup
  bool afterSetup = false;  // the document's %%EndSetup has passed
  bool inFeature = false;   // inside a feature block the job leaves in
  bool dropping = false;    // inside a feature block the job leaves out
};

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The start of the next line, without its end of line.
std::string_view lineHead(Reader& in) {
  std::string_view head = in.peek(64);
  return head.substr(0, std::min(head.find('\n'), head.find('\r')));
}

// Whether the job's own requests set the feature of a "%%BeginFeature:"
// or "%%IncludeFeature:" comment (`rest` follows the colon).
bool jobSetsFeature(std::string_view rest) {
  static const struct {
    const char* name;
    int PrinterSettings::*field;
  } features[] = {
      {"*PageSize", &PrinterSettings::input_tray},
      {"*PageRegion", &PrinterSettings::input_tray},
      {"*InputSlot", &PrinterSettings::input_tray},
      {"*Duplex", &PrinterSettings::duplex},
      {"*Collate", &PrinterSettings::collate},
  };
  const PrinterSettings& set = textRequests();
  size_t at = rest.find_first_not_of(" \t");
  if (at == std::string_view::npos) return false;
  rest = rest.substr(at);
  std::string_view name = rest.substr(0, rest.find_first_of(" \t"));
  if (name == "*NumCopies" || name == "*Copies")
    return set.collate || set.copies >= 2;
  for (const auto& f : features)
    if (name == f.name) return set.*(f.field) != 0;
  return false;
}

// Reads a line start: whether the line is left out of the document.
bool leftOut(SetupPlace& place, std::string_view head, bool topLevel) {
  if (place.dropping) {
    if (startsWith(head, "%%EndFeature")) place.dropping = false;
    return true;
  }
  if (topLevel && startsWith(head, "%%BeginFeature:")) {
    if (jobSetsFeature(head.substr(15))) return place.dropping = true;
    place.inFeature = true;
  }
  if (startsWith(head, "%%EndFeature")) place.inFeature = false;
  return topLevel && startsWith(head, "%%IncludeFeature:") &&
         jobSetsFeature(head.substr(17));
}

// Whether the setup goes in front of the line that begins with `head`:
// the first line that is not a comment; in a DSC document not before the
// end of its prolog and setup sections, and at the latest at its first
// page or trailer. Never inside a feature block.
bool setupHere(SetupPlace& place, std::string_view head, bool topLevel) {
  bool code = head.empty() || head[0] != '%';
  if (place.inFeature) return false;
  if (!place.adobe) return code;
  if (!topLevel) return false;
  if (startsWith(head, "%%BeginProlog")) place.inProlog = true;
  if (startsWith(head, "%%EndProlog")) place.inProlog = false;
  if (startsWith(head, "%%BeginSetup")) place.inSetup = true;
  return place.afterSetup || startsWith(head, "%%Page:") ||
         startsWith(head, "%%Trailer") || startsWith(head, "%%EOF") ||
         (code && !place.inProlog && !place.inSetup);
}

// Ghostscript's ps2write documents ask for each page's own size in
// their prolog. When the job picks the paper, that switch is turned off,
// so that the pages print on the job's sheet.
constexpr std::string_view kOwnPageSize = "/SetPageSize true def";

bool pageSizeSwitch(const SetupPlace& place, std::string_view head, bool topLevel) {
  return topLevel && place.inProlog && head == kOwnPageSize &&
         textRequests().input_tray != 0;
}

void skipLine(Reader& in) {
  int c;
  while ((c = in.get()) != kEnd && c != '\n') {
  }
}

}  // namespace

unsigned passPostScript(int first, int second, Reader& in, Writer& out) {
  PageCounter counter;
  if (first == kEsc) {
    if (second != kEnd) in.unget(second);
    in.unget(first);
    copyJobHeader(in, out);
    first = in.get();
    second = first == kEnd ? kEnd : in.get();
  }
  SetupPlace place;
  if (!(first == '%' && second == '!')) out.write("%!\n");
  else place.adobe = startsWith(in.peek(9), "PS-Adobe-");
  if (first != kEnd) out.put(static_cast<char>(first));
  if (second != kEnd) out.put(static_cast<char>(second));
  for (int c : {first, second})
    if (c != kEnd) counter.see(c);

  bool stamp = opt.text_printer.stamp.position != kNoStamp;
  bool atLineStart = false;
  bool setupDone = false;
  int last = second != kEnd ? second : first;
  for (;;) {
    if (atLineStart) {
      std::string_view head = lineHead(in);
      if (in.peek(1).empty()) break;
      bool topLevel = counter.embedded == 0;
      if (leftOut(place, head, topLevel)) {
        skipLine(in);
        continue;
      }
      if (pageSizeSwitch(place, head, topLevel)) {
        skipLine(in);
        out.write("/SetPageSize false def\n");
        continue;
      }
      if (!setupDone && setupHere(place, head, topLevel)) {
        // Enhancement comes before toner saving here.
        writeDeviceSetup(out, textRequests(), true);
        setupDone = true;
        if (stamp) writePageStamp(out, false, opt.text_printer.stamp.pages != 2);
      }
      if (topLevel && startsWith(head, "%%EndSetup")) {
        place.afterSetup = true;
        place.inSetup = false;
      }
    }
    int c = in.get();
    if (c == kEnd) break;
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
