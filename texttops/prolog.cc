#include "prolog.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "options.h"
#include "pagestamp.h"
#include "procset.h"
#include "writer.h"

namespace {

using procset::Fills;

// The placeholders of show.ps, and their text in MS and in WS.
constexpr Fills<3> kShowNames = {"@NAME@", "@SEP@", "@WRAP@"};
constexpr Fills<3> kMs = {"MS", " ", "MNLL "};
constexpr Fills<3> kWs = {"WS", "\n", ""};
static_assert(procset::fillsExactly(procset::kShow, kShowNames),
              "show.ps and kShowNames name different placeholders");

// The placeholders of one_show.ps, and their text in FS and in FW.
constexpr Fills<4> kOneShowNames = {"@NAME@", "@SHOW@", "@WRAPS@", "@REST@"};
constexpr Fills<4> kFs = {"FS", "MS", "T", "FM"};
constexpr Fills<4> kFw = {"FW", "WS", "F", "WS"};
static_assert(procset::fillsExactly(procset::kOneShow, kOneShowNames),
              "one_show.ps and kOneShowNames name different placeholders");

// The placeholders of left_edge.ps, and their text in LS and in LW.
constexpr Fills<3> kLeftEdgeNames = {"@NAME@", "@ONESHOW@", "@LONG@"};
constexpr Fills<3> kLs = {"LS", "FS", "Fixed {FE} {FS} ifelse"};
constexpr Fills<3> kLw = {"LW", "FW", "FW"};
static_assert(procset::fillsExactly(procset::kLeftEdge, kLeftEdgeNames),
              "left_edge.ps and kLeftEdgeNames name different placeholders");

// The procedure sets written as they stand.
constexpr std::string_view kPlain[] = {
    procset::kBase,      procset::kFonts,   procset::kPageMargins,
    procset::kPageOffsets, procset::kFitText, procset::kCursor,
    procset::kLineBreak, procset::kFits,    procset::kGrid,
    procset::kPrologEnd,
    procset::kTrailer};
constexpr bool noPlaceholder(std::string_view text) {
  return procset::fillsExactly(text, {});
}
static_assert(std::ranges::all_of(kPlain, noPlaceholder),
              "a procedure set written as it stands holds a placeholder");

// The show procedures and their one-show forms, as the printer gets them.
const std::string& showProcedures() {
  using namespace procset;
  static const std::string text =
      fill(kShow, kShowNames, kMs) + fill(kShow, kShowNames, kWs) +
      std::string(kLineBreak) + std::string(kFits) + std::string(kGrid) +
      fill(kOneShow, kOneShowNames, kFs) +
      fill(kOneShow, kOneShowNames, kFw) +
      fill(kLeftEdge, kLeftEdgeNames, kLs) +
      fill(kLeftEdge, kLeftEdgeNames, kLw);
  return text;
}

// Whole points of a margin in inches, truncated.
int marginPoints(double inches) {
  double points = std::trunc(inches * 72.0);
  if (!(points > -1e9 && points < 1e9)) return 0;
  return static_cast<int>(points);
}

// The page is fitted to the requested lines (line-count layout) and
// columns; 0 asks for no fit. A width of 9999 stands for none.
unsigned linesToFit() { return opt.text_lines_explicit ? opt.text_lines : 0; }
unsigned columnsToFit() {
  return opt.text_columns_set && opt.text_columns < 9999 ? opt.text_columns
                                                          : 0;
}
bool fitsText() {
  return !opt.text_use_page_margins && (linesToFit() || columnsToFit());
}

// The font operands of SetUpFonts: "/english /kana /kanji".
std::string fontOperands() {
  return "/" + opt.text_font + " /" + opt.text_kana_font + " /" +
         opt.text_kanji_font;
}

}  // namespace

void writeProlog(Writer& out) {
  out.write(procset::kBase);
  out.write(procset::kFonts);
  if (opt.text_printer.stamp.position != kNoStamp)
    writePageStamp(out, true, opt.text_printer.stamp.pages == 1);
  out.write(opt.text_use_page_margins ? procset::kPageMargins
                                      : procset::kPageOffsets);
  if (fitsText()) out.write(procset::kFitText);
  out.write(procset::kCursor);
  out.write(showProcedures());
  out.write(procset::kPrologEnd);
}

void writeDocumentSetup(Writer& out, double pitch) {
  out.printf("%d %s\n", static_cast<int>(opt.text_font_size),
             fontOperands().c_str());
  out.write("SetUpFonts\n");
  if (pitch != 1) out.printf("/height size %g mul def\n", pitch);
  if (opt.text_use_page_margins) {
    const double* m = opt.text_page_margins;  // top, bottom, right, left
    out.printf("%d %d %d %d ", marginPoints(m[1]), marginPoints(m[2]),
               marginPoints(m[0]), marginPoints(m[3]));
  } else {
    if (fitsText()) {
      out.printf("%u %u %d %d %s %s FitText\n", linesToFit(), columnsToFit(),
                 static_cast<int>(opt.text_top_margin),
                 static_cast<int>(opt.text_left_margin),
                 opt.text_two_line ? "T" : "F", opt.text_landscape ? "T" : "F");
    }
    out.printf("%d %d ", static_cast<int>(opt.text_top_margin),
               static_cast<int>(opt.text_left_margin));
  }
  out.write(opt.text_two_line ? "T " : "F ");
  out.write(opt.text_landscape ? "T " : "F ");
  out.write("SetUpPage\n");
  out.write("%%EndDocumentSetup\n");
}
