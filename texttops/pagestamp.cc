#include "pagestamp.h"

#include <string>

#include "options.h"
#include "procset.h"
#include "prolog.h"
#include "paper.h"
#include "stamp.h"
#include "writer.h"

namespace {

// The placeholders of stamp_hook.ps.
constexpr procset::Fills<3> kHookNames = {"@FIRST_ONLY@", "@FIRST_DONE@",
                                          "@TURN@"};
static_assert(procset::fillsExactly(procset::kStampHook, kHookNames),
              "stamp_hook.ps and kHookNames name different placeholders");
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
  std::string fonts = fontOperands();
  // A passed-through document may choose its own sheet.
  writeStampProcedures(out, textStamp(), converted ? &fonts : nullptr,
                       opt.text_font_size, landscape, !converted);
  if (firstPageOnly) out.write(procset::kStampOnce);
  std::string turned = landscape ? turn() : "";
  out.write(procset::fill(
      procset::kStampHook, kHookNames,
      {firstPageOnly ? " //HFOnce 0 get and" : "",
       firstPageOnly ? "//HFOnce 0 false put " : "", turned}));
}
