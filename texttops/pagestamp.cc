#include "pagestamp.h"

#include <cstdio>

#include "options.h"
#include "setiot.h"
#include "writer.h"

void writePageStamp(Writer& out, bool converted, bool firstPageOnly) {
  bool landscape = converted && opt.text_landscape;
  writeStampProcedures(out, textStamp(), converted ? &opt.text_font : nullptr,
                       opt.text_font_size, landscape);
  // EndPage gets the number of pages printed since the last setpagedevice
  // (0 on the first) and the reason (0: showpage); the stamp is drawn under
  // the sheet's own matrix, turned for a landscape page. save and userdict
  // keep what the stamp procedures define out of the document's
  // dictionaries, whichever of them is current when the page ends.
  char turn[64] = "";
  if (landscape) {
    int w, h;
    stampSheetSize(&w, &h);
    std::snprintf(turn, sizeof turn, " 90 rotate 0 %d neg translate", w);
  }
  out.printf(
      "<< /EndPage {exch %s 1 index 0 eq and {save userdict begin "
      "initgraphics%s //StartHF exec end restore} if 2 ne} >> setpagedevice\n",
      firstPageOnly ? "0 eq" : "pop true", turn);
}
