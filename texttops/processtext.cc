#include "processtext.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "account.h"
#include "dsc.h"
#include "decode.h"
#include "linebreak.h"
#include "logline.h"
#include "psstring.h"
#include "options.h"
#include "procset.h"
#include "prolog.h"
#include "reader.h"
#include "devicesetup.h"
#include "status.h"
#include "writer.h"

namespace {

const int kEnd = -1;
const int kBackspace = 8;
const int kTab = 9;
const int kLineFeed = 10;
const int kFormFeed = 12;

const Char kLineFeedChar = {kSingleByte, kLineFeed, 0};
bool isLineFeed(const Char& c) {
  return c.cls == kSingleByte && c.byte == kLineFeed;
}

// The printer copies every MS and WS string into its 2048-byte Lbuf.
const unsigned kLbufSize = 2048;
// Room kept for what may end a string: the wrap's escape and line feed.
const unsigned kStringTail = 3;

// The most characters kept on one line as a run that may not be broken;
// a longer run (a line of nothing but 。, say) breaks where it must.
const unsigned kMaxHeld = 4;

// Body state shared by both layouts.
struct Body {
  Body(Reader& in, Writer& out)
      : dec(in, opt.text_encoding), in(dec.in()), out(out), str(out) {}
  Decoder dec;
  Reader& in;
  Writer& out;
  StringWriter str;
  unsigned column = 0;
  unsigned lineCount = 0;
  unsigned pageCount = 0;
  bool pageOpen = false;
  bool stringOpen = false;
  bool rightColumn = false;
  CharClass charMode = kSingleByte;
  bool justWrapped = false;
  bool escaped = false;      // the open string holds a font escape
  bool japanese = false;     // a kana or kanji escape has been written
  bool loadJapanese = false;  // the open string is the first to hold one
  bool extra = false;        // a fourth-font escape has been written
  bool loadExtra = false;    // the open string is the first to hold one
  bool afterFormFeed = false;  // a form feed ended the column or page
  unsigned stringBytes = 0;  // bytes the printer sees in the open string
  unsigned classBytes[4] = {};  // of those, the bytes of each font, escapes
                                // and the current font's last ones aside
  unsigned classFrom = 0;    // where the current font's bytes start
  std::deque<Char> ahead;    // characters read but not yet laid out
  unsigned heldLeft = 0;     // characters still to come of the held run
  bool inRun = false;        // the open string is a held run of its own

  // The next character to lay out; false at the end.
  bool pull(Char* c) {
    if (ahead.empty()) return dec.next(c);
    *c = ahead.front();
    ahead.pop_front();
    return true;
  }
  // The character `n` places after the one being laid out, or null.
  const Char* peek(size_t n) {
    while (ahead.size() <= n) {
      Char c;
      if (!dec.next(&c)) return nullptr;
      ahead.push_back(c);
    }
    return &ahead[n];
  }
  bool skipLineFeed() {
    if (ahead.empty()) return dec.skipLineFeed();
    if (isLineFeed(ahead.front())) ahead.pop_front();
    return false;
  }
  // Columns of the run that `c` starts and that may not be broken across
  // lines: `c` and the characters held to it, at most kMaxHeld; 0 when
  // nothing is held to `c` or it belongs to a run already begun.
  unsigned heldWidth(const Char& c) {
    if (heldLeft > 0) {
      --heldLeft;
      return 0;
    }
    if (c.cls == kSingleByte && ahead.empty() && dec.plainNext()) return 0;
    unsigned width = columnsOf(c), n = 0;
    Char last = c;
    for (const Char* next; n + 1 < kMaxHeld && (next = peek(n)) &&
                           heldTogether(last, *next);
         ++n) {
      last = *next;
      width += columnsOf(last);
    }
    heldLeft = n;
    return n > 0 ? width : 0;
  }
  // Whether a held run of `width` columns must start the next line.
  bool moveDown(unsigned width) const {
    return width > 0 && column > 0 && column + width > opt.text_columns &&
           width <= opt.text_columns;
  }

  void openString() {
    out.put('(');
    stringOpen = true;
    charMode = kSingleByte;
    escaped = false;
    stringBytes = 0;
    std::fill(std::begin(classBytes), std::end(classBytes), 0);
    classFrom = 0;
  }
  void countClassBytes() {
    classBytes[charMode] += stringBytes - classFrom;
    classFrom = stringBytes;
  }
  void switchTo(CharClass cls) {
    if (cls == charMode) return;
    countClassBytes();
    str.escape(cls);
    escaped = true;
    if (cls != kSingleByte && !japanese) japanese = loadJapanese = true;
    if (cls == kExtra && !extra) extra = loadExtra = true;
    charMode = cls;
    stringBytes += 2;
    classFrom = stringBytes;
  }
  // The open string's bytes as the printer's GC takes them: in the
  // English font, the kana font and kanji; -1 0 0 when it holds a
  // character of the fourth font. A line or form feed that ends the
  // string is not counted (nor is it in stringBytes).
  void writeCounts() {
    countClassBytes();
    if (classBytes[kExtra] > 0) {
      out.write("-1 0 0 ");
      return;
    }
    for (unsigned n : {classBytes[kSingleByte], classBytes[kKana],
                       classBytes[kKanji] / 2}) {
      out.number(n);
      out.put(' ');
    }
  }
  // Bytes the printer gets for a character of class `cls` of `bytes`
  // bytes, with its font escape.
  unsigned cost(CharClass cls, unsigned bytes) const {
    return bytes + (cls == charMode ? 0 : 2);
  }
  // A character in its own font; a kanji takes two columns.
  void put(const Char& c) {
    switchTo(c.cls);
    if (c.cls == kKanji) {
      writeKanji(c.byte, c.second);
    } else if (c.cls == kExtra) {
      stringBytes += str.utf8(static_cast<char32_t>(c.byte));
      column += 2;
    } else {
      str.single(c.byte);
      ++column;
      ++stringBytes;
    }
  }
  void writeSingle(int byte) { put(Char{kSingleByte, byte, 0}); }
  // Copies the plain one-byte characters that follow straight from the
  // input buffer, at most `limit` of them. The last one before a byte
  // above ASCII (or the end of the buffer) is left to the decoder, which
  // may compose it with a mark.
  void plainRun(size_t limit) {
    if (charMode != kSingleByte || !this->ahead.empty() || heldLeft > 0 ||
        inRun)
      return;
    std::string_view ahead = in.buffered();
    size_t n = 0;
    while (n < ahead.size() && str.plain(static_cast<unsigned char>(ahead[n])))
      ++n;
    if (n > 0 && (n == ahead.size() || (ahead[n] & 0x80))) --n;
    n = std::min(n, limit);
    out.write(ahead.substr(0, n));
    in.skip(n);
    column += static_cast<unsigned>(n);
    stringBytes += static_cast<unsigned>(n);
  }
  // Hands each input character to the layout's step; line feeds after a
  // form feed wait, and print only if more follows.
  template <class Layout>
  void feed(Layout* layout) {
    Char c;
    unsigned held = 0;
    while (pull(&c)) {
      if (isLineFeed(c) && afterFormFeed) {
        ++held;
        continue;
      }
      for (; held > 0; --held) layout->step(kLineFeedChar);
      layout->step(c);
    }
  }
  // Closes the open string; the first with kana or kanji has the printer
  // load the Japanese fonts before it is shown (J), the first with a
  // character of the fourth font that font as well (JX).
  void closeString() {
    out.write(loadExtra ? ") JX " : loadJapanese ? ") J " : ") ");
    loadJapanese = loadExtra = false;
  }
  void writeKanji(int first, int second) {
    switchTo(kKanji);
    str.kanji(first, second);
    column += 2;
    stringBytes += 2;
  }
};

// The layout where the program counts lines and pages itself.
struct LineLayout : Body {
  using Body::Body;

  void startPage() {
    out.printf("%%%%Page: ? %u\n", pageCount + 1);
    out.write("StartPage\nBL\n");
    pageOpen = true;
    rightColumn = false;
    column = 0;
    lineCount = 0;
  }
  // `space`: a line feed ends it, with one space in the English font.
  void endLine(bool space = false) {
    if (space) {
      switchTo(kSingleByte);
      out.put(' ');
    }
    closeString();
    out.write("S ");
    out.write(opt.text_two_line && rightColumn ? "NL2\n" : "NL\n");
    stringOpen = false;
    column = 0;
    ++lineCount;
  }
  void endPage() {
    out.write("EndPage\n");
    pageOpen = false;
    rightColumn = false;
    ++pageCount;
  }
  // Whether the column or page is full and was ended.
  bool pageCheck() {
    if (lineCount < opt.text_lines) return false;
    if (opt.text_two_line && !rightColumn) {
      out.write("BL2\n");
      column = 0;
      rightColumn = true;
      lineCount = 0;
    } else {
      endPage();
    }
    return true;
  }
  void tab() {
    if (opt.text_tab_width == 0) return;
    for (unsigned n = opt.text_tab_width - column % opt.text_tab_width; n > 0;
         --n)
      writeSingle(' ');
  }
  // A kanji that no longer fits: a full-width space ends the line and the
  // character starts the next one.
  void kanjiOnNextLine(const Char& c) {
    writeKanji(0xA1, 0xA1);
    endLine();
    pageCheck();
    if (!pageOpen) startPage();
    openString();
    put(c);
  }
  // A held run that no longer fits starts the next line.
  void lineBeforeRun() {
    endLine();
    pageCheck();
    if (!pageOpen) startPage();
    openString();
  }
  void control(const Char& c) {
    switch (c.byte) {
      case kBackspace:
        closeString();
        out.write("S ");
        stringOpen = false;
        if (column > 0) {
          out.write(" BSF\n");
          --column;
        }
        break;
      case kTab:
        tab();
        break;
      case kFormFeed:
        if (!opt.text_ignore_formfeed) {
          endLine(true);
          lineCount = opt.text_lines;
          break;
        }
        [[fallthrough]];
      case kLineFeed:
        endLine(true);
        break;
      default:
        put(c);
        if (c.cls == kSingleByte && column < opt.text_columns)
          plainRun(opt.text_columns - column);
    }
  }

  // The last line filled its column or page: a form feed that follows
  // asks for nothing more, not for an empty column or sheet.
  bool filled = false;

  void step(const Char& c) {
    bool formFeed = c.cls == kSingleByte && c.byte == kFormFeed &&
                    !opt.text_ignore_formfeed;
    afterFormFeed = false;
    if (filled && formFeed) {
      filled = false;
      afterFormFeed = true;
      return;
    }
    filled = false;
    if (!pageOpen) startPage();
    if (!stringOpen) openString();
    if (moveDown(heldWidth(c))) lineBeforeRun();
    if (c.cls >= kKanji) {
      if (column + 1 >= opt.text_columns) {
        kanjiOnNextLine(c);
        return;
      }
      put(c);
    } else {
      control(c);
    }
    if (stringOpen && column >= opt.text_columns) {
      skipLineFeed();
      endLine();
    }
    filled = pageCheck() && !formFeed;
    afterFormFeed = formFeed;
  }

  void run() {
    feed(this);
    if (stringOpen) endLine();
    if (pageOpen) endPage();
  }
};

// The layout where the printer's MS or WS place the characters.
struct StreamLayout : Body {
  using Body::Body;

  // The printer's cursor stands at the left edge of a column: nothing
  // shown yet, or the last string ended in a line or form feed.
  bool atLeftEdge = true;

  bool limited() const { return opt.text_columns_set != 0; }
  // `lineFeed`: the string ends in a line feed and holds no other line or
  // form feed, so the printer may show it with one show when it fits; at
  // the left edge and in the English font alone, its length tells.
  // Without a column limit, FT and FN take the string's counts.
  void closeLine(bool lineFeed = false) {
    closeString();
    if (lineFeed && atLeftEdge && !escaped) {
      out.write(limited() ? "LW\n" : "LS\n");
    } else if (limited()) {
      out.write(lineFeed ? "FW\n" : "WS\n");
    } else {
      writeCounts();
      out.write(lineFeed ? "FT\n" : "FN\n");
    }
    stringOpen = false;
    atLeftEdge = lineFeed;
  }
  void endWithLineFeed(int byte) {
    switchTo(kSingleByte);
    str.octal(byte);
    closeLine(byte == kLineFeed);
    atLeftEdge = true;
    afterFormFeed = byte == kFormFeed;
    justWrapped = false;
    column = 0;
  }
  void wrap() {
    str.escape(kSingleByte);
    escaped = true;
    str.octal(kLineFeed);
    closeLine(true);
    column = 0;
    justWrapped = true;
  }
  // Starts a new string when `bytes` more would overflow the printer's
  // Lbuf; the next character writes its font escape again.
  void reserve(unsigned bytes) {
    if (stringBytes + bytes + kStringTail <= kLbufSize) return;
    closeLine();
    openString();
  }
  // Characters that still fit the open string and the line.
  size_t room() const {
    if (stringBytes + kStringTail >= kLbufSize) return 0;
    size_t left = kLbufSize - kStringTail - stringBytes;
    if (limited()) left = std::min<size_t>(left, opt.text_columns - column);
    return left;
  }
  void tab() {
    if (opt.text_tab_width == 0) return;
    for (unsigned n = opt.text_tab_width - column % opt.text_tab_width; n > 0;
         --n) {
      reserve(cost(kSingleByte, 1));
      writeSingle(' ');
      if (limited() && column >= opt.text_columns) {
        wrap();
        break;
      }
    }
    if (column == 0) justWrapped = true;
  }
  void control(const Char& c) {
    switch (c.byte) {
      case kLineFeed:
        endWithLineFeed(kLineFeed);
        break;
      case kFormFeed:
        if (opt.text_ignore_formfeed) {
          reserve(cost(kSingleByte, 1));
          switchTo(kSingleByte);
          out.put(' ');
          ++stringBytes;
        } else {
          endWithLineFeed(kFormFeed);
        }
        break;
      case kTab:
        tab();
        break;
      case kBackspace:
        closeLine();
        out.write("BS\n");
        if (column > 0) --column;
        break;
      default:
        reserve(cost(kSingleByte, 1));
        put(c);
        if (limited() && column >= opt.text_columns) {
          wrap();
          break;
        }
        plainRun(room());
        if (limited() && column >= opt.text_columns) wrap();
    }
  }
  // A kanji that would pass the column limit starts the next line.
  bool kanjiDoesNotFit(const Char& c) const {
    return c.cls >= kKanji && limited() && column > 0 &&
           column + 2 > opt.text_columns;
  }

  void step(const Char& c) {
    afterFormFeed = false;
    bool lineFeed = isLineFeed(c);
    if (!stringOpen && justWrapped && column == 0 && lineFeed) {
      justWrapped = false;
      return;
    }
    if (!stringOpen) openString();
    holdRun(heldWidth(c));
    if (kanjiDoesNotFit(c)) {
      wrap();
      openString();
    }
    if (c.cls == kSingleByte) {
      control(c);
    } else {
      reserve(cost(c.cls, c.cls == kKanji ? 2 : c.cls == kExtra ? 4 : 1));
      put(c);
      if (limited() && column >= opt.text_columns) wrap();
    }
    if (inRun && heldLeft == 0) endRun();
  }

  // A held run of `width` columns that starts here. With a column limit
  // it starts the next line when it does not fit; without, it is a
  // string of its own, which GF moves to the next line as a whole.
  void holdRun(unsigned width) {
    if (width == 0) return;
    if (limited()) {
      if (moveDown(width)) {
        wrap();
        openString();
      }
      return;
    }
    if (stringBytes > 0) {
      closeLine();
      openString();
    }
    inRun = true;
  }
  void endRun() {
    inRun = false;
    if (!stringOpen) return;
    closeString();
    writeCounts();
    out.write("GF\n");
    stringOpen = false;
    atLeftEdge = false;
  }

  void run() {
    feed(this);
    if (stringOpen) closeLine();
  }
};

// The -Ke keyword of an encoding.
const char* encodingKeyword(int encoding) {
  return encoding == ENCODING_Utf8   ? "utf-8"
         : encoding == ENCODING_Sjis ? "sjis"
                                     : "euc-jp";
}

// Under the spooler, a line in the log when the input encoding was a
// close call.
void noteCloseCall(const JobContext& job, const Decoder& dec) {
  if (job.standalone() || dec.runnerUp() == ENCODING_Invalid) return;
  logLine(job, std::string(job.mode == RunMode::CupsFilter ? "WARNING: " : "") +
                   inputHead(job) + "input read as " +
                   encodingKeyword(dec.encoding()) + ", nearly as well as " +
                   encodingKeyword(dec.runnerUp()) + "\n");
}

// The line pitch of text with kana or kanji, in font sizes: the glyphs
// fill their two columns at their designed shape, some 1.2 sizes tall in
// Courier, and rows of them need room between them.
const double kJapanesePitch = 1.5;
// Input looked at for kana and kanji before the pitch is chosen.
const size_t kPitchWindow = 65536;

// The pitch asked for, else that of Japanese text when the start of the
// input prints a kana or kanji (a geta mark alone does not count).
double linePitch(Reader& in) {
  if (opt.text_line_pitch > 0) return opt.text_line_pitch;
  std::string shown = printedAs(in.peek(kPitchWindow), opt.text_encoding);
  for (size_t at = 0; at + 2 < shown.size(); at += 3) {
    if (shown[at] == kKana) return kJapanesePitch;
    if (shown[at] == kKanji &&
        !(static_cast<unsigned char>(shown[at + 1]) == kGetaFirst &&
          static_cast<unsigned char>(shown[at + 2]) == kGetaSecond))
      return kJapanesePitch;
  }
  return 1;
}

}  // namespace

unsigned convertText(const JobContext& job, int first, int second, Reader& in,
                     Writer& out) {
  if (second != kEnd) in.unget(second);
  if (first != kEnd) in.unget(first);
  writeDscHeader(out, job, opt.text_lines_explicit, &opt.text_font);
  writeDeviceSetup(out, textRequests());
  writeProlog(out);
  writeDocumentSetup(out, linePitch(in));

  unsigned pages = 0;
  if (opt.text_lines_explicit) {
    LineLayout body(in, out);
    body.run();
    noteCloseCall(job, body.dec);
    pages = body.pageCount;
    out.write(procset::kTrailer);
    out.printf("%%%%Pages: %u\n", pages);
  } else {
    StreamLayout body(in, out);
    body.run();
    noteCloseCall(job, body.dec);
    out.write("Flush\n");
    out.write(procset::kTrailer);
  }
  if (!job.standalone()) {
    char record[64];
    // Sheets of paper used: every copy is billed.
    unsigned sheets = pages * std::max(1u, opt.text_printer.copies);
    std::snprintf(record, sizeof record, "%7.2f\t\t", static_cast<double>(sheets));
    keepAccounting(record);
  }
  return pages;
}
