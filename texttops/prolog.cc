#include "prolog.h"

#include <cmath>
#include <string>

#include "options.h"
#include "pagestamp.h"
#include "writer.h"

namespace {

// Block A: document save, basic procedures, SetUpFonts.
const char* const kBlockA = R"PS(save /xpsav exch def
/StartDoc{$xp begin}def
/$xp 50 dict def $xp begin
/S /show load def
/M /moveto load def
/C /currentpoint load def
/RM /rmoveto load def
/T true def
/F false def
/EndDoc {end} def
/StartPage {save myMtx setmatrix /InPage T store} def
/EndPage {/InPage F store restore showpage} def
/Grid % <font> <sample> <columns> => <font scaled to the column grid>
{
e 1000 scalefont setfont (a) stringwidth pop mul
exch 2 index 1000 scalefont setfont stringwidth pop
2 copy mul 0 gt {div [exch 0 0 1 0 0] makefont} {pop pop} ifelse
} def
/SetUpFonts % <size> <english> <hankaku> <kanji>
{
/k exch findfont def
/h exch findfont def
/e exch findfont def
/size exch def
/height size def
e /FontType get 0 ne /ISOLatin1Encoding where {pop T} {F} ifelse and
{ % Latin-1 letters; 255 is the font escape, so y diaeresis stands at 128
/e e dup length dict begin {1 index /FID ne {def} {pop pop} ifelse} forall
/Encoding ISOLatin1Encoding 256 array copy dup 128 /ydieresis put def
currentdict end /QMTessalineLatin1 exch definefont def
} if
/h h (\261) 1 Grid def
/k k (\060\041) 2 Grid def
12 dict begin
/FontName /QMTessalineFont def
/FontType 0 def
/FMapType 3 def
/WMode 0 def
/FontMatrix matrix def
/Encoding [0 1 2] def
/FDepVector 3 array def
FDepVector 0 e put
FDepVector 1 h put
FDepVector 2 k put
FontName currentdict
end definefont size scalefont setfont
/bshaba (a) stringwidth pop def
} def
)PS";

// Block B: SetUpPage of the margin family.
const char* const kBlockB = R"PS(/SetUpPage % <bottommargin> <rightmargin> <topmargin> <leftmargin> <2 line> <Landscape>
{
newpath
clippath pathbbox /ury exch def /urx exch def /lly exch def /llx exch def
/Land exch def
Land
{ % Landscape ?
newpath
90 rotate 0 urx neg translate
clippath pathbbox /ury exch def /urx exch def /lly exch def /llx exch def
} if
/l2x llx def
% /l2xr llx def
/L2 exch def
/b2x exch def
/r2y exch def
/r2x exch def
/b2y exch def
b2x llx add /llx exch def
ury r2y sub /ury exch def
urx r2x sub /urx exch def
b2y lly add /lly exch def
lly height add /lly exch def
L2
{ % 2 line ?
/center urx llx sub 2 div llx add def
} {/center llx def} ifelse
b2x center add /l2x exch def
% center r2x sub /l2xr exch def
/l1ex center r2x sub def
/l1ex l1ex bshaba sub def
/l2ex urx bshaba sub def
/myMtx matrix currentmatrix def
} def
)PS";

// Block O: SetUpPage of the offset family.
const char* const kBlockO = R"PS(/SetUpPage % <topmargin> <leftmargin> <2 line> <Landscape>
{
newpath
clippath pathbbox /ury exch def /urx exch def /lly exch def /llx exch def
/Land exch def
Land
{ % Landscape ?
newpath
90 rotate 0 urx neg translate
clippath pathbbox /ury exch def /urx exch def /lly exch def /llx exch def
} if
/r2y height def
/l2x llx def
/L2 exch def
L2
{ % 2 line ?
/center urx llx sub 2 div llx add def} {/center llx def} ifelse
bshaba mul dup center add /l2x exch def
llx add /llx exch def
r2y mul dup /r2y exch def
ury r2y sub /ury exch def
lly height add /lly exch def
/l1ex center bshaba sub def
/l2ex urx bshaba sub def
/myMtx matrix currentmatrix def
} def
)PS";

// Scales the text font down so that the requested lines and columns (0:
// any) fit the clip path, with a quarter line below the last baseline for
// the descenders. Runs before SetUpPage, with the same operands after the
// two counts. In two columns each has half the width, less two cells for
// the gap between them.
const char* const kFitText = R"PS(/FitText % <lines> <columns> <topmargin> <leftmargin> <2 line> <Landscape>
{
newpath
clippath pathbbox 3 -1 roll sub /fith exch def exch sub /fitw exch def
{fitw fith /fitw exch def /fith exch def} if
dup {/fitw fitw 2 div def} if
{2} {0} ifelse /fitg exch def % two columns: a gap of two cells between them
/fitl exch def /fitt exch def
/fits 1 def
dup 0 gt {fitl add fitg add bshaba mul fitw exch div dup fits lt {/fits exch def} {pop} ifelse} {pop} ifelse
dup 0 gt {fitt add 0.25 add height mul fith exch div dup fits lt {/fits exch def} {pop} ifelse} {pop} ifelse
fits 1 lt {
/size size fits mul def
/height size def
currentfont fits scalefont setfont
/bshaba (a) stringwidth pop def
} if
} def
)PS";

// Lines 1 to 13 of block P; the head of MS follows. BS does nothing
// while no page is open: a new page has no current point, and its
// cursor stands at the left edge anyway.
const char* const kCursorProcedures = R"PS(/BSF {bshaba neg 0 RM} def
/BS {
InPage {L2 {CurCol {l2x} {llx} ifelse} {llx} ifelse
dup C 4 1 roll gt {exch M} {pop pop bshaba neg 0 RM} ifelse} if
} def
/BL {llx ury height sub M} bind def
/BL2 {l2x ury height sub M} bind def
/NL {C height sub exch pop llx exch M} bind def
/NL2 {C height sub exch pop l2x exch M} bind def
/InPage F def
/Lbuf 2048 string def
/CurCol false def
/ModeA 3 array dup 0 (A) put dup 1 (\377\001H) put dup 2 (\377\002KA) put def
)PS";

// The head of MS (the last 8 lines of block P).
const char* const kShowHead = R"PS(/MS
{
dup length /strLen exch def
/count 0 def
/mode 0 def
Lbuf copy pop
{
count strLen ge {exit} if
)PS";

// Block Q: the rest of MS. The rule character "_" wraps two columns
// before the right limit, but not at the left edge: in a column narrower
// than that it would wrap again without end.
const char* const kBlockQ = R"PS(Lbuf count get 16#FF eq
{
/count count 1 add def
currentdict /mode Lbuf count get put
/count count 1 add def
} if
ModeA mode get
mode 2 eq {
Lbuf count 2 getinterval 2 exch putinterval
/count count 2 add def
}{
Lbuf count 1 getinterval
mode 1 eq {2} {0} ifelse exch putinterval
/count count 1 add def
} ifelse
ModeA mode get
mode 0 eq
{dup (\012) eq
{pop MNL MNP}
{dup (\014) eq
{pop MNL C pop 0 M MNP}
{dup (_) eq
{L2 {CurCol {l2ex} {l1ex} ifelse} {l2ex} ifelse
C pop bshaba 2 mul add lt
L2 {CurCol {l2x} {llx} ifelse} {llx} ifelse C pop lt and
{pop MNL MNP /count count 1 sub def}
{exch MNP InPage not {StartPage BL} if exch S} ifelse}
{MNLL exch MNP InPage not {StartPage BL} if exch S}
ifelse}
ifelse}
ifelse}
{MNLL exch MNP InPage not {StartPage BL} if exch S} ifelse
} bind loop
} def
)PS";

// Block Z: MNLL to Flush.
const char* const kBlockZ = R"PS(/MNLL
{
L2 {CurCol {l2ex} {l1ex} ifelse} {l2ex} ifelse % right margin
exch dup stringwidth pop C pop add 3 -1 roll
gt {
L2 {CurCol {NL2} {NL} ifelse} {NL} ifelse
} if
} def
/MNL
{
L2 {CurCol {NL2} {NL} ifelse} {NL} ifelse
} def
/PU {count strLen mode 4 -1 roll} def
/PO {/mode exch def /strLen exch def /count exch def} def
/MNP {
C exch pop lly le { % bottom margin check
L2 {CurCol {PU EndPage PO /CurCol F store} {BL2 /CurCol T store} ifelse}
{PU EndPage PO}ifelse
} if
} def
/Flush {InPage {EndPage} if} def
)PS";

// FC, FR and FP: whether a run fits where it would be shown. A run in the
// English font alone (no font escape) is measured by its length and the
// widest character, which FC finds once; any other run, or one that is
// not that clearly short, by stringwidth. FP shows the start of a longer
// English line, up to where it surely fits. First the loop state of MS,
// which MNP saves across a page end, for pages that FS or FW start.
const char* const kFitTest = R"PS(/count 0 def /strLen 0 def /mode 0 def % MNP keeps these across a page end
/CW 0 def % the widest character of the English font, once known
/LC 0 def % the longest English line, line feed included, that surely fits from the left edge
/FC % => ; sets CW for the current font, then LC
{
/Ch 1 string def
0 1 254 {Ch exch 0 exch put Ch stringwidth pop dup CW gt {/CW exch def} {pop} ifelse} for
/LC L2 {l1ex llx sub l2ex l2x sub 2 copy gt {exch} if pop} {l2ex llx sub} ifelse
bshaba 2 mul sub bshaba 64 div sub
CW 0 gt ury height sub lly gt and {CW div floor cvi 1 add 0 2 copy lt {exch} if pop} {pop 0} ifelse def
} bind def
/FR % <run> <wraps> => <fits>: shown at the current point, no character of the run wraps or breaks the page
{
C exch pop lly gt
{exch dup (_) search {pop pop pop bshaba 2 mul 3 -1 roll pop T} {pop 0 3 -1 roll} ifelse
{L2 {CurCol {l2ex} {l1ex} ifelse} {l2ex} ifelse exch sub C pop sub bshaba 64 div sub
1 index (\377) search {pop pop pop F} {pop CW 0 gt} ifelse
{1 index length CW mul 1 index le} {F} ifelse
{pop pop T} {exch stringwidth pop ge} ifelse}
{pop pop T} ifelse}
{pop pop F} ifelse
} bind def
/FP % <line> => <rest>: shows the start of an English line that surely fits, leaves the rest to MS
{
InPage {C exch pop lly gt CW 0 gt and} {F} ifelse
{dup (\377) search {pop pop pop 0}
{pop L2 {CurCol {l2ex} {l1ex} ifelse} {l2ex} ifelse C pop sub bshaba 2 mul sub bshaba 64 div sub CW div cvi} ifelse
1 index length 1 sub 2 copy gt {exch} if pop
dup 0 gt {1 index 0 2 index getinterval S dup 2 index length exch sub getinterval} {pop} ifelse}
if
} bind def
)PS";

// FS: a line that fits is shown with one show; any other is handed to MS
// after showing the start that surely fits. A page is started the way MS
// starts it.
const char* const kOneShow = R"PS(/FS % <line> => ; MS for a line whose one control character is its last, a line feed
{
InPage not {CW 0 eq {FC} if StartPage BL exch} if
dup dup length 1 sub 0 exch getinterval
dup T FR {exch pop S MNL MNP} {pop FP MS} ifelse
} bind def
)PS";

// LS: FS for a line that starts at the left edge of its column and holds
// no font escape. Its length alone tells whether it fits, and it starts
// above the bottom margin: MNP ended the page otherwise.
const char* const kLeftEdgeShow = R"PS(/LS % <line> => ; FS for an English line that starts at the left edge
{
InPage not {CW 0 eq {FC} if StartPage BL exch} if
dup length LC le
{dup length 1 sub 0 exch getinterval S
L2 {MNL} {NL} ifelse C exch pop lly le {MNP} if}
{FS} ifelse
} bind def
)PS";

// The end of the prolog, up to StartDoc.
const char* const kPrologEnd = R"PS(end
%%EndProlog
%%BeginDocumentSetup
StartDoc
)PS";

std::string replaceAll(std::string s, const std::string& from,
                       const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos;
       at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// Block P: cursor procedures, page state, Lbuf, ModeA and the head of MS.
const std::string& blockP() {
  static const std::string p = std::string(kCursorProcedures) + kShowHead;
  return p;
}

// WS: MS without wrapping at the right limit.
const std::string& blockW() {
  static const std::string w =
      replaceAll(kShowHead, "/MS\n", "/WS\n") +
      "InPage not {StartPage BL} if\n" +
      replaceAll(kBlockQ, "{MNLL exch MNP", "{exch MNP");
  return w;
}

// FW: FS for WS, which has no wrap to prepare for.
const std::string& oneShowW() {
  static const std::string w = replaceAll(
      replaceAll(replaceAll(kOneShow, "/FS % <line> => ; MS for",
                            "/FW % <line> => ; WS for"),
                 "T FR", "F FR"),
      "{pop FP MS}", "{pop WS}");
  return w;
}

// LW: LS for FW.
const std::string& leftEdgeShowW() {
  static const std::string w = replaceAll(
      replaceAll(kLeftEdgeShow, "/LS % <line> => ; FS for", "/LW % <line> => ; FW for"),
      "{FS} ifelse", "{FW} ifelse");
  return w;
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

}  // namespace

std::string fontOperands() {
  return "/" + opt.text_font + " /" + opt.text_kana_font + " /" +
         opt.text_kanji_font;
}

void writeProlog(Writer& out) {
  out.write(kBlockA);
  if (opt.text_printer.stamp.position != kNoStamp)
    writePageStamp(out, true, opt.text_printer.stamp.pages == 1);
  out.write(opt.text_use_page_margins ? kBlockB : kBlockO);
  if (fitsText()) out.write(kFitText);
  out.write(blockP());
  out.write("InPage not {StartPage BL} if ");
  out.write(kBlockQ);
  out.write(blockW());
  out.write(kBlockZ);
  out.write(kFitTest);
  out.write(kOneShow);
  out.write(oneShowW());
  out.write(kLeftEdgeShow);
  out.write(leftEdgeShowW());
  out.write(kPrologEnd);
}

void writeDocumentSetup(Writer& out) {
  out.printf("%d %s\n", static_cast<int>(opt.text_font_size),
             fontOperands().c_str());
  out.write("SetUpFonts\n");
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
