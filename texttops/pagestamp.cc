#include "pagestamp.h"

#include <string>

#include "options.h"
#include "procset.h"
#include "paper.h"
#include "stamp.h"
#include "writer.h"

namespace {

// The placeholders of stamp_hook.ps.
constexpr procset::Fills<5> kHookNames = {"@FIRST_ONLY@", "@FIRST_DONE@",
                                          "@TURN@", "@OPEN@", "@CLOSE@"};
static_assert(procset::fillsExactly(procset::kStampHook, kHookNames),
              "stamp_hook.ps and kHookNames name different placeholders");
// The placeholder of stamp_fixed.ps.
constexpr procset::Fills<1> kFixedNames = {"@TURN@"};
static_assert(procset::fillsExactly(procset::kStampFixed, kFixedNames),
              "stamp_fixed.ps and kFixedNames name different placeholders");
static_assert(procset::fillsExactly(procset::kStampOnce, {}),
              "stamp_once.ps holds a placeholder");

// The sheet turned a quarter turn, for a landscape page.
std::string turn() {
  int w, h;
  sheetSize(&w, &h);
  return " 90 rotate 0 " + std::to_string(w) + " neg translate";
}

}  // namespace

void writePageStamp(Writer& out, bool converted, bool firstPageOnly) {
  bool landscape = converted && opt.text_landscape;
  std::string turned = landscape ? turn() : "";
  // A passed-through document may choose its own sheet: its stamp is
  // placed as each page ends. Converted text keeps its sheet, so its stamp
  // is worked out once, and EndPage draws it inside a gsave, which leaves
  // the text font as it was; a passed-through document's stamp procedures
  // define names, so they run inside a save.
  writeStampProcedures(out, textStamp(), landscape, !converted);
  if (converted)
    out.write(procset::fill(procset::kStampFixed, kFixedNames, {turned}));
  if (firstPageOnly) out.write(procset::kStampOnce);
  out.write(procset::fill(
      procset::kStampHook, kHookNames,
      {firstPageOnly ? " //HFOnce 0 get and" : "",
       firstPageOnly ? "//HFOnce 0 false put " : "", turned,
       converted ? "gsave" : "save userdict begin",
       converted ? "grestore" : "end restore"}));
}
