#include "pagestamp.h"

#include <cstdio>
#include <string>

#include "options.h"
#include "prolog.h"
#include "paper.h"
#include "stamp.h"
#include "writer.h"

void writePageStamp(Writer& out, bool converted, bool firstPageOnly) {
  bool landscape = converted && opt.text_landscape;
  std::string fonts = fontOperands();
  // A passed-through document may choose its own sheet.
  writeStampProcedures(out, textStamp(), converted ? &fonts : nullptr,
                       opt.text_font_size, landscape, !converted);
  // EndPage gets the reason it is called (0: showpage). The page count it
  // also gets is not reset by a later setpagedevice everywhere, so the
  // first page is told by a flag of its own, in global VM, where neither
  // the document's save and restore nor a later document undo it. The
  // stamp is drawn under the sheet's own matrix, turned for a landscape
  // page; save and userdict keep what the stamp procedures define out of
  // the document's dictionaries, whichever of them is current then.
  char turn[64] = "";
  if (landscape) {
    int w, h;
    sheetSize(&w, &h);
    std::snprintf(turn, sizeof turn, " 90 rotate 0 %d neg translate", w);
  }
  if (firstPageOnly)
    out.write("true setglobal /HFOnce [true] def false setglobal\n");
  out.printf(
      "<< /EndPage {exch pop dup 0 eq%s {%ssave userdict begin "
      "initgraphics%s //StartHF exec end restore} if 2 ne} >> setpagedevice\n",
      firstPageOnly ? " //HFOnce 0 get and" : "",
      firstPageOnly ? "//HFOnce 0 false put " : "", turn);
}
