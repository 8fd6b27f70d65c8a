#include "imagedoc.h"

#include <optional>

#include "dsc.h"
#include "g4.h"
#include "interrupt.h"
#include "options.h"
#include "runlength.h"
#include "devicesetup.h"
#include "paper.h"
#include "stamp.h"
#include "writer.h"

namespace {

/// What every image document defines before its page: the sheet's
/// area, device pixels in default units and the procedure that prints.
const char* const kFixedProlog =
    "save /xpsav exch def\n"
    "/inch {72 mul} def\n"
    "newpath clippath pathbbox pop /urx exch def pop /llx exch def\n"
    "gsave initmatrix\n"
    "/mxTrans matrix currentmatrix def\n"
    "/devit {\n"
    "dtransform 2 copy dup mul exch dup mul exch add sqrt\n"
    "dup 3 1 roll div 3 1 roll div exch idtransform\n"
    "} def\n"
    "/xDev 1 0 devit pop def\n"
    "/yDev 0 1 devit exch pop def\n"
    "/thisfile currentfile def\n"
    "/doit {\n"
    "/picstr\n"
    "8 cbitDepth idiv dup cbitWidth add 1 sub exch idiv\n"
    "string def\n"
    "dxWidInch inch dyHtInch inch scale\n"
    "cbitDepth 1 eq {{1.0 exch sub} settransfer}if\n"
    "% cbitWidth cbitHt cbitDepth [cbitWidth 0 0 cbitHt neg 0 cbitHt]\n"
    "% thisfile /ASCII85Decode filter ImageProc\n"
    "ImageDict image\n"
    "} def\n";

/// The image dictionary: the size, the sample depth and the filters
/// that undo the data's coding.
void writeImageDict(const ImageReader& image, Writer& out, bool g4) {
  int w = static_cast<int>(image.width);
  int ht = static_cast<int>(image.height);
  out.write("/ImageDict <<\n");
  out.write("/ImageType 1\n");
  out.write("/Interpolate true\n");
  out.printf("/Width %d /Height %d /BitsPerComponent %d\n", w, ht, image.bits);
  out.printf("/ImageMatrix [%d 0 0 %d 0 %d]\n", w, -ht, ht);
  out.write("/DataSource currentfile /ASCII85Decode filter ");
  if (image.bits == 1 && g4)
    out.printf("\n<</K -1/Columns %d/Rows %d/EndOfBlock true/BlackIs1 true>>"
               " /CCITTFaxDecode filter\n", w, ht);
  else if (image.bits == 1)
    out.write("/RunLengthDecode filter\n");
  else
    out.write("\n");
  out.printf("/Decode [%s]\n>> def\n", "0 1");
}

// Room for a stamp at the top: its baseline stands 22 points below the
// sheet's upper edge, its descenders reach 2 points lower.
const double kStampTopInch = 0.35;

/// Defines `ury`, the top of the imageable area in default coordinates,
/// lowered below a stamp at the top of the sheet.
void writeImageArea(Writer& out) {
  out.write("gsave mxTrans setmatrix newpath clippath pathbbox grestore\n"
            "/ury exch def pop pop pop\n");
  int position = opt.image_printer.stamp.position;
  if (position != 0 && position != 1) return;
  int width, height;
  sheetSize(&width, &height);
  double top = height - kStampTopInch * 72;
  out.printf("ury %f gt {/ury %f def} if\n", top, top);
}

// Takes the room right of and above the image's corner, in points, and
// scales down, both ways alike, when the image at one image pixel per
// device pixel would not fit in it.
const char* const kFitProcedure =
    "/fitDev {\n"
    "cbitHt yDev mul div exch cbitWidth xDev mul div\n"
    "2 copy gt {exch} if pop\n"
    "dup dup 1 gt exch 0 le or {pop 1} if dup scale\n"
    "} def\n";

/// Device pixels measured in the image's own coordinates, then the scale
/// that fits the image between its corner and the area's far edges
/// (turned a quarter, the image's width runs up the sheet).
void writeFitToArea(Writer& out) {
  double x = opt.image_offset_given ? opt.image_offset_x : 0;
  double y = opt.image_offset_given ? opt.image_offset_y : 0;
  if (opt.image_rotate)
    out.write("/xDev 1 0 devit pop def\n/yDev 0 1 devit exch pop def\n");
  out.write(kFitProcedure);
  writeImageArea(out);
  const char* across = opt.image_rotate ? "ury" : "urx";
  const char* up = opt.image_rotate ? "urx" : "ury";
  out.printf("%s %f inch sub %s %f inch sub fitDev\n", across, x, up, y);
}

/// Whether the image prints at the size its resolution gives: no size
/// option, and a source that says how many pixels make an inch.
bool atOwnResolution(const ImageReader& image) {
  return !opt.image_size_given && !opt.image_fit_width_given &&
         !opt.image_points_given && image.dpiX > 0 && image.dpiY > 0;
}

/// Makes dxWidInch and dyHtInch smaller, both alike, where the image
/// would run past the area's far edges.
void writeShrinkToArea(Writer& out) {
  double x = opt.image_offset_given ? opt.image_offset_x : 0;
  double y = opt.image_offset_given ? opt.image_offset_y : 0;
  writeImageArea(out);
  const char* across = opt.image_rotate ? "ury" : "urx";
  const char* up = opt.image_rotate ? "urx" : "ury";
  out.printf("%s %f inch sub %s %f inch sub\n", across, x, up, y);
  out.write("dyHtInch inch div exch dxWidInch inch div 2 copy gt {exch} if pop\n"
            "dup dup 1 lt exch 0 gt and\n"
            "{dup dxWidInch mul /dxWidInch exch def dyHtInch mul /dyHtInch exch def}\n"
            "{pop} ifelse\n");
}

/// The printed size in inches: the size options, else the source's
/// resolution, else a point a pixel.
void imageSize(const ImageReader& image, double* width, double* height) {
  double aspect =
      static_cast<double>(image.height) / static_cast<double>(image.width);
  if (opt.image_size_given) {
    *width = opt.image_width_inch;
    *height = opt.image_height_inch;
  } else if (opt.image_fit_width_given) {
    *width = opt.image_fit_width_inch;
    *height = aspect * *width;
  } else if (opt.image_points_given) {
    *width = opt.image_width_points / 72.0;
    *height = aspect * *width;
  } else if (atOwnResolution(image)) {
    *width = image.width / image.dpiX;
    *height = image.height / image.dpiY;
  } else {
    *width = image.width / 72.0;
    *height = image.height / 72.0;
  }
}

void writeImageSetup(Writer& out, const JobContext& job) {
  writeDscHeader(out, job, true, nullptr);
  writeDeviceSetup(out, imageRequests());
  out.write(kFixedProlog);
}

/// Turns and moves the image's corner into place, fitted to the area
/// when no size is asked for.
void writePlacement(const ImageReader& image, Writer& out) {
  bool fit = !opt.image_size_given && !opt.image_fit_width_given &&
             !opt.image_points_given && !atOwnResolution(image);
  if (opt.image_rotate) out.write("90 rotate 0 urx llx add neg translate\n");
  if (opt.image_offset_given)
    out.printf("%f inch %f inch translate\n", opt.image_offset_x,
               opt.image_offset_y);
  if (fit) {
    writeFitToArea(out);
    out.write("xDev yDev scale\n");
  }
}

/// One page's placement, size and image dictionary; `page` counts from 1.
void writePageSetup(const ImageReader& image, Writer& out, bool g4, int page) {
  bool stamp = opt.image_printer.stamp.position != kNoStamp;
  if (page == 1 && stamp) writeStampProcedures(out, imageStamp());
  if (page > 1) out.printf("%%%%Page: %d %d\ngsave initmatrix\n", page, page);
  else if (!opt.image_no_showpage) out.write("%%Page: one 1\n");
  if (stamp) out.write("StartHF\n");
  out.printf("/cbitWidth %d def\n", static_cast<int>(image.width));
  out.printf("/cbitHt %d def\n", static_cast<int>(image.height));
  out.printf("/cbitDepth %d def\n", image.bits == 1 ? 1 : 8);
  writePlacement(image, out);
  double width, height;
  imageSize(image, &width, &height);
  // The 0 after the width is historical, kept for compatibility.
  out.printf("/dxWidInch %f0 def\n", width);
  out.printf("/dyHtInch %f def\n", height);
  // No size makes an image run off the sheet.
  bool sized = opt.image_size_given || opt.image_fit_width_given ||
               opt.image_points_given;
  if (sized || atOwnResolution(image)) writeShrinkToArea(out);
  out.write("/DeviceGray setcolorspace\n");
  writeImageDict(image, out, g4);
  out.write(page == 1 ? "%%EndProlog\ndoit\n" : "doit\n");
}

void writePageEnd(Writer& out) {
  out.write("\ngrestore\n");
  if (!opt.image_no_showpage) out.write("showpage\n");
}

void writeImageTrailer(Writer& out, int pages) {
  if (!opt.image_no_showpage)
    out.printf("%%%%Trailer\n%%%%Pages: %d\n", pages);
  else
    out.write("%%Trailer\n");
  out.write("xpsav restore\n");
}

/// The coder of the data section, made before the document is begun:
/// Group 4 or run-length for 1-bit rows, the bare samples otherwise.
struct DataCoder {
  DataCoder(const ImageReader& image, Writer& out, bool g4)
      : bytes(image.rowBytes()) {
    if (image.bits == 1 && g4)
      group4.emplace(static_cast<int>(image.width), out);
    else if (image.bits == 1)
      runLength.emplace(out);
    else
      samples.emplace(out);
  }
  void row(const uint8_t* row) {
    if (group4) return group4->row(row);
    if (runLength) return runLength->row(row, bytes);
    samples->put(row, bytes);
    samples->lineBreak();
  }
  void end() {
    if (group4) return group4->end();
    if (runLength) return runLength->end();
    samples->end();
  }
  size_t bytes;
  std::optional<Group4Encoder> group4;
  std::optional<RunLengthEncoder> runLength;
  std::optional<Ascii85Encoder> samples;
};

}  // namespace

void writeImageDocument(ImageReader& image, Writer& out,
                        const JobContext& job) {
  bool g4 = opt.image_g4 != 0;
  std::optional<DataCoder> data(std::in_place, image, out, g4);
  writeImageSetup(out, job);
  int page = 1;
  for (;;) {
    writePageSetup(image, out, g4, page);
    for (uint32_t y = 0; y < image.height; ++y) {
      checkInterrupt();
      const uint8_t* row = image.nextRow();
      if (!row) break;  // the image ends early; the interpreter stops there
      data->row(row);
    }
    data->end();
    writePageEnd(out);
    // Without showpage the document is one page to be placed elsewhere.
    if (opt.image_no_showpage || !image.nextPage()) break;
    data.emplace(image, out, g4);
    ++page;
  }
  writeImageTrailer(out, page);
}
