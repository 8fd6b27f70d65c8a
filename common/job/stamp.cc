#include "stamp.h"

#include <string>
#include <utility>

#include "dsc.h"
#include "logline.h"
#include "options.h"
#include "paper.h"
#include "writer.h"

namespace {

const size_t kStampLimit = 127;

// Escapes the characters a PostScript string cannot hold as they are.
std::string escapeString(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '(' || c == ')' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

}  // namespace

const StampSettings& textStamp() { return opt.text_printer.stamp; }

const StampSettings& imageStamp() { return opt.image_printer.stamp; }

void nameStamp(const JobContext& job) {
  bool given = !job.owner.empty() && !job.host.empty();
  opt.stamp_host = given ? job.host : systemHostName();
  opt.stamp_user = given ? job.owner : loginName();
}

std::string makeStamp(const StampSettings& stamp) {
  const std::string& user = opt.stamp_user;
  const std::string& host = opt.stamp_host;
  std::string date = currentDate();
  std::string text;
  for (int slot = 1; slot <= 3; ++slot) {
    if (stamp.user_slot == slot)
      text += "User:" + user + " ";
    else if (stamp.host_slot == slot)
      text += "Host:" + host + " ";
    else if (stamp.date_slot == slot)
      text += date + " ";
  }
  if (text.size() > kStampLimit) text.resize(kStampLimit);
  return escapeString(printable(text));
}

void writeStampProcedures(Writer& out, const StampSettings& stamp,
                          bool landscape, bool measured) {
  if (stamp.position < 0 || stamp.position > 3) return;
  int w, h;
  sheetSize(&w, &h);
  if (landscape) std::swap(w, h);
  // The sheet's top edge and the right end of a stamp: figures, or the
  // page size in force when the page ends.
  const std::string width = measured ? "currentpagedevice /PageSize get 0 get"
                                     : std::to_string(w);
  const std::string top = measured ? "currentpagedevice /PageSize get 1 get"
                                   : std::to_string(h);
  const std::string right = measured ? width + " 15 sub" : std::to_string(w - 15);
  switch (stamp.position) {
    case 0:
      out.write("/lsu\n");
      out.printf("{%s 22 sub /YY exch def\n", top.c_str());
      out.write("12 YY moveto\n");
      out.write("show} def\n");
      break;
    case 1:
      out.write("/rsu\n");
      out.write("{dup stringwidth pop\n");
      out.write("/XX exch def\n");
      out.printf("%s 22 sub /YY exch def\n", top.c_str());
      out.printf("%s XX sub /XX exch def\n", right.c_str());
      out.write("XX YY moveto\n");
      out.write("show} def\n");
      break;
    case 2:
      out.write("/lsd\n");
      out.write("{12 15 moveto\n");
      out.write("show} def\n");
      break;
    case 3:
      out.write("/rsd\n");
      out.write("{dup stringwidth pop\n");
      out.printf("%s exch sub\n", right.c_str());
      out.write("15 moveto\n");
      out.write("show} def\n");
      break;
  }
  // A stamp that might be wider than the sheet (no character of an
  // 8-point font is wider than 8.2 points) is made smaller until it fits
  // between the corner margins.
  std::string text = makeStamp(stamp);
  bool mayNotFit = measured || text.size() * 8.2 > w - 27;
  if (mayNotFit)
    out.write("/FH {1 index stringwidth pop 2 copy lt {div currentfont exch "
              "scalefont setfont} {pop pop} ifelse} def\n");
  out.write("/StartHF\n{\n");
  out.printf("/%s findfont\n", stamp.font.c_str());
  out.write("8 scalefont\nsetfont\n");
  out.printf("(%s) ", text.c_str());
  if (mayNotFit)
    out.write(measured ? width + " 27 sub FH " : std::to_string(w - 27) + " FH ");
  out.printf("%s\n", stampProcedureNames[stamp.position]);
  out.write("}def\n");
}
