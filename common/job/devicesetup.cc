#include "devicesetup.h"

#include <string>

#include "options.h"
#include "paper.h"
#include "printeroptions.h"
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

void setupInput(Writer& out, const PrinterSettings& set) {
  if (set.input_tray != 0)
    setInputSource(out, set.page_size_policy_set,
                   static_cast<int>(set.page_size_policy));
}

void setupOutput(Writer& out, const PrinterSettings& set) {
  if (set.output_tray != 0) setOutputTray(out, set.output_tray);
}

void setupDuplex(Writer& out, const PrinterSettings& set) {
  if (set.duplex != 0) setDuplex(out, set.duplex);
}

void setupCopies(Writer& out, const PrinterSettings& set) {
  setCopies(out, set.collate, static_cast<int>(set.copies));
  setJog(out, set.jog_set, static_cast<unsigned>(set.jog));
}

void setupTonerSaver(Writer& out, const PrinterSettings& set) {
  setTonerSaver(out, set.toner_saver);
}

void setupEnhance(Writer& out, const PrinterSettings& set) {
  setRenderEnhance(out, set.render_enhance);
}

const PrinterSettings& textRequests() { return opt.text_printer; }

const PrinterSettings& imageRequests() { return opt.image_printer; }

void writeDeviceSetup(Writer& out, const PrinterSettings& set,
                      bool enhanceFirst) {
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    if (!o->setup || (enhanceFirst && o->setup == setupEnhance)) continue;
    if (enhanceFirst && o->setup == setupTonerSaver) setupEnhance(out, set);
    o->setup(out, set);
  }
}
