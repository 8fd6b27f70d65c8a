#include "setiot.h"

#include <string>
#include <utility>

#include "dsc.h"
#include "logline.h"
#include "options.h"
#include "paper.h"
#include "tray.h"
#include "writer.h"

namespace {

// The request text for the current input selection.
std::string inputRequest(Writer& out) {
  const InputSelection& sel = *opt.input_selection;
  char buf[512];
  switch (sel.kind) {
    case INPUT_Tray: {
      int p = getInputTray(sel.tray_id)->position;
      snprintf(buf, sizeof buf,
               "<</ManualFeed false>> setpagedevice\n"
               "currentpagedevice /InputAttributes get %d known {\n"
               "currentpagedevice /InputAttributes get %d get dup length 1 "
               "add dict copy dup\n"
               "/InputAttributes 1 dict dup /Priority [%d] put put "
               "setpagedevice\n"
               "} if\n",
               p, p, p);
      return buf;
    }
    case INPUT_Paper:
    case INPUT_ManualPaper: {
      const Paper* paper = getPaper(sel.paper_id);
      snprintf(buf, sizeof buf,
               "<</ManualFeed %s /PageSize [%d %d]>> setpagedevice",
               sel.kind == INPUT_Paper ? "false" : "true", paper->width,
               paper->height);
      return buf;
    }
    case INPUT_Custom:
    case INPUT_ManualCustom:
      out.printf("1 dict dup /ManualFeed %s put setpagedevice\n",
                 sel.kind == INPUT_Custom ? "false" : "true");
      snprintf(buf, sizeof buf,
               "%d %d 0 0 1\n2 dict begin\npop pop pop\n"
               "2 array astore /PageSize exch def\n/ImagingBBox null def\n"
               "currentdict end setpagedevice\n",
               opt.custom_width_points, opt.custom_height_points);
      return buf;
    default:
      return "";
  }
}

// Writes `request` so that an interpreter lacking the feature skips it:
// an error inside ends only the request, and what it left on the stack
// is removed.
void writeGuarded(Writer& out, const std::string& request) {
  out.printf("mark { %s } stopped cleartomark\n", request.c_str());
}

}  // namespace

void setInputSource(Writer& out, int policyGiven, int policy) {
  if (opt.input_selection->kind == INPUT_Invalid) return;
  std::string request = inputRequest(out);
  if (policyGiven && (policy == 0 || policy == 2))
    out.printf("%s\n", request.c_str());
  else
    out.printf("{ %s } stopped pop\n", request.c_str());
}

void setOutputTray(Writer& out, int tray) {
  static const char* const priorities[] = {nullptr, "0", "1 0", "2 0"};
  if (tray < 1 || tray > 3) return;
  writeGuarded(out, std::string("<< /OutputAttributes << /Priority [") +
                        priorities[tray] +
                        "] >> /OutputType null /OutputFaceUp false /Collate "
                        "false >> setpagedevice");
}

void setDuplex(Writer& out, int duplex) {
  if (duplex != 2 && duplex != 3) return;
  writeGuarded(out, std::string("<</Duplex true /Tumble ") +
                        (duplex == 3 ? "true" : "false") + ">> setpagedevice");
}

void setCopies(Writer& out, int collate, int copies) {
  if (!collate && copies >= 2) {
    out.printf("<</NumCopies %d>> setpagedevice\n", copies);
  } else if (collate && copies >= 1) {
    out.printf("<</NumCopies %d>> setpagedevice\n", copies);
    writeGuarded(out, "1 dict dup /Collate true put setpagedevice");
  }
}

void setJog(Writer& out, int jogGiven, unsigned jog) {
  if (jogGiven && (jog <= 1 || jog == 3))
    writeGuarded(out, "1 dict dup /Jog " + std::to_string(jog) + " put setpagedevice");
}

void setTonerSaver(Writer& out, int on) {
  if (!on) return;
  // An interpreter without the engine device skips to the page device's
  // form.
  out.write(
      "mark {\n"
      "(%Engine%) currentdevparams /TonerSaver known {\n"
      "(%Engine%) 1 dict dup /TonerSaver true put setdevparams\n"
      "} if\n"
      "} stopped cleartomark\n");
  out.write(
      "currentpagedevice dup /PostRenderingEnhanceDetails known {\n"
      "/PostRenderingEnhanceDetails get /TonerSaver known {\n"
      "1 dict dup /PostRenderingEnhanceDetails 1 dict dup /TonerSaver 1 put "
      "put setpagedevice\n"
      "} if } {pop} ifelse\n");
}

void setRenderEnhance(Writer& out, int on) {
  if (!on) return;
  out.write(
      "currentpagedevice dup /PostRenderingEnhanceDetails known { \n"
      "/PostRenderingEnhanceDetails get /REValue1 known { \n"
      "1 dict dup /PostRenderingEnhanceDetails 1 dict dup /REValue 1 put put "
      "setpagedevice \n"
      "} if }{pop}ifelse \n");
}

DeviceRequests textRequests() {
  return {opt.text_input_tray,    opt.text_page_size_policy_set,
          opt.text_page_size_policy, opt.text_output_tray,
          opt.text_duplex,        opt.text_collate,
          opt.text_copies,        opt.text_jog_set,
          opt.text_jog,           opt.text_toner_saver,
          opt.text_render_enhance};
}

DeviceRequests imageRequests() {
  return {opt.image_input_tray,    opt.image_page_size_policy_set,
          opt.image_page_size_policy, opt.image_output_tray,
          opt.image_duplex,        opt.image_collate,
          opt.image_copies,        opt.image_jog_set,
          opt.image_jog,           opt.image_toner_saver,
          opt.image_render_enhance};
}

void writeDeviceSetup(Writer& out, const DeviceRequests& r,
                      bool enhanceFirst) {
  if (r.inputTray != 0)
    setInputSource(out, r.policySet, static_cast<int>(r.policy));
  if (r.outputTray != 0) setOutputTray(out, r.outputTray);
  if (r.duplex != 0) setDuplex(out, r.duplex);
  setCopies(out, r.collate, static_cast<int>(r.copies));
  setJog(out, r.jogSet, static_cast<unsigned>(r.jog));
  if (enhanceFirst) setRenderEnhance(out, r.renderEnhance);
  setTonerSaver(out, r.tonerSaver);
  if (!enhanceFirst) setRenderEnhance(out, r.renderEnhance);
}

int getPageSize(int* width, int* height) {
  const InputSelection& sel = *opt.input_selection;
  if (sel.kind == INPUT_Paper) {
    const Paper* paper = getPaper(sel.paper_id);
    *width = paper->width;
    *height = paper->height;
    return 0;
  }
  if (sel.kind == INPUT_Custom) {
    *width = opt.custom_width_points;
    *height = opt.custom_height_points;
    return 0;
  }
  return 1;
}

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

StampSpec textStamp() {
  return {opt.text_stamp_position, opt.text_stamp_user_slot,
          opt.text_stamp_host_slot, opt.text_stamp_date_slot,
          opt.text_stamp_font};
}

StampSpec imageStamp() {
  return {opt.image_stamp_position, opt.image_stamp_user_slot,
          opt.image_stamp_host_slot, opt.image_stamp_date_slot,
          opt.image_stamp_font};
}

std::string makeStamp(const StampSpec& stamp) {
  std::string user, host;
  if (!opt.login_name.empty() && !opt.host_name.empty()) {
    user = opt.login_name;
    host = opt.host_name;
  } else {
    host = systemHostName();
    user = loginName();
  }
  std::string date = currentDate();
  std::string text;
  for (int slot = 1; slot <= 3; ++slot) {
    if (stamp.userSlot == slot)
      text += "User:" + user + " ";
    else if (stamp.hostSlot == slot)
      text += "Host:" + host + " ";
    else if (stamp.dateSlot == slot)
      text += date + " ";
  }
  if (text.size() > kStampLimit) text.resize(kStampLimit);
  return escapeString(printable(text));
}

void sheetSize(int* width, int* height) {
  *width = 595;
  *height = 842;
  getPageSize(width, height);
}

void writeStampProcedures(Writer& out, const StampSpec& stamp,
                          const std::string* textFonts, unsigned textSize,
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
  if (textFonts) {
    out.printf("%u%s\n", textSize, textFonts->c_str());
    out.write("SetUpFonts\n");
  }
  out.write("}def\n");
}
