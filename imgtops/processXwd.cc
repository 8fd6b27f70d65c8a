#include "processXwd.h"

#include <cstdio>
#include <cstring>

#include "account.h"
#include "dsc.h"
#include "error.h"
#include "g4.h"
#include "options.h"
#include "processEncode.h"
#include "reader.h"
#include "devicesetup.h"
#include "paper.h"
#include "stamp.h"
#include "status.h"
#include "writer.h"

namespace {

// Bounds no real dump comes near: X sizes are 16-bit, colormaps hold at
// most 65536 cells, window names are short, rows are padded to at most a
// few bytes.
const uint32_t kMaxSide = 65535;
const uint32_t kMaxColours = 65536;
const uint32_t kMaxWindowName = 65536;
const size_t kMaxRowPadding = 65536;

/// The version every window dump carries.
const uint32_t kDumpVersion = 7;

/// The byte that fills a row the input did not deliver, so that it
/// prints white (or as light as the colours allow).
uint8_t whiteByte(const DumpHeader& h, const ColourTable& colours);

/// Reads up to `n` bytes; fewer only at the end of the input.
size_t readFully(Reader& in, uint8_t* out, size_t n) {
  size_t got = 0;
  while (got < n) {
    size_t k = in.read(reinterpret_cast<char*>(out) + got, n - got);
    if (k == 0) break;
    got += k;
  }
  return got;
}

/// Reads and drops `n` bytes.
void skipBytes(Reader& in, size_t n) {
  uint8_t scratch[4096];
  while (n > 0) {
    checkInterrupt();
    size_t k = readFully(in, scratch, n < sizeof scratch ? n : sizeof scratch);
    if (k == 0) return;
    n -= k;
  }
}

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
         (uint32_t{p[2]} << 8) | p[3];
}

bool supportedDepth(uint32_t depth) {
  switch (depth) {
    case 1: case 4: case 8: case 12: case 15: case 16: case 24: case 30: case 32:
      return true;
    default:
      return false;
  }
}

constexpr uint8_t reverseBits(uint8_t b) {
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (b & (1 << i)) r = static_cast<uint8_t>(r | (0x80 >> i));
  return r;
}

struct BitReversal {
  uint8_t of[256];
};

constexpr BitReversal makeBitReversal() {
  BitReversal t{};
  for (int b = 0; b < 256; ++b) t.of[b] = reverseBits(static_cast<uint8_t>(b));
  return t;
}

constexpr BitReversal reversed = makeBitReversal();

const uint32_t LSBFirst = 0;
const uint32_t MSBFirst = 1;

/// Depth 1: bitmap units swapped into most-significant-byte-first order,
/// bits reversed when the leftmost pixel is the least significant bit.
void normalizeBitmap(const DumpHeader& h, const uint8_t* src, size_t length,
                     uint8_t* dst) {
  size_t n = (size_t{h.pixmap_width} + 7) / 8;
  size_t unit = h.bitmap_unit == 16 || h.bitmap_unit == 32 ? h.bitmap_unit / 8 : 1;
  bool swap = unit > 1 && h.byte_order != h.bitmap_bit_order;
  bool reverse = h.bitmap_bit_order == LSBFirst;
  if (!swap && !reverse) {
    std::memcpy(dst, src, n);
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    size_t from = i;
    size_t start = i / unit * unit;
    if (swap && start + unit <= length) from = start + (unit - 1 - i % unit);
    dst[i] = reverse ? reversed.of[src[from]] : src[from];
  }
}

/// Depth 4: left pixel into the high nibble.
void normalizeNibbles(const DumpHeader& h, const uint8_t* src, uint8_t* dst) {
  size_t w = h.pixmap_width;
  if (pixelBits(h) == 8) {
    for (size_t x = 0; x < w; x += 2) {
      uint8_t right = x + 1 < w ? src[x + 1] & 0x0F : 0;
      dst[x / 2] = static_cast<uint8_t>((src[x] & 0x0F) << 4 | right);
    }
    return;
  }
  size_t n = (w + 1) / 2;
  if (h.byte_order == MSBFirst) {
    std::memcpy(dst, src, n);
    return;
  }
  for (size_t i = 0; i < n; ++i)
    dst[i] = static_cast<uint8_t>(src[i] << 4 | src[i] >> 4);
}

/// Deeper pixels: each value as 4 bytes, most significant first.
void normalizePixels(const DumpHeader& h, const uint8_t* src, uint8_t* dst) {
  size_t bytes = pixelBits(h) / 8;
  if (bytes == 4 && h.byte_order == MSBFirst) {
    std::memcpy(dst, src, 4 * size_t{h.pixmap_width});
    return;
  }
  if (bytes == 4) {
    for (size_t x = 0; x < h.pixmap_width; ++x, src += 4, dst += 4) {
      dst[0] = src[3];
      dst[1] = src[2];
      dst[2] = src[1];
      dst[3] = src[0];
    }
    return;
  }
  for (size_t x = 0; x < h.pixmap_width; ++x, src += bytes, dst += 4) {
    uint32_t v = 0;
    for (size_t i = 0; i < bytes; ++i) {
      size_t at = h.byte_order == MSBFirst ? i : bytes - 1 - i;
      v = v << 8 | src[at];
    }
    dst[0] = static_cast<uint8_t>(v >> 24);
    dst[1] = static_cast<uint8_t>(v >> 16);
    dst[2] = static_cast<uint8_t>(v >> 8);
    dst[3] = static_cast<uint8_t>(v);
  }
}

}  // namespace

void readDumpHeader(const uint8_t bytes[kDumpHeaderSize], DumpHeader* h) {
  uint32_t* fields[] = {
      &h->header_size,    &h->file_version,   &h->pixmap_format,
      &h->pixmap_depth,   &h->pixmap_width,   &h->pixmap_height,
      &h->xoffset,        &h->byte_order,     &h->bitmap_unit,
      &h->bitmap_bit_order, &h->bitmap_pad,   &h->bits_per_pixel,
      &h->bytes_per_line, &h->visual_class,   &h->red_mask,
      &h->green_mask,     &h->blue_mask,      &h->bits_per_rgb,
      &h->colormap_entries, &h->ncolors,      &h->window_width,
      &h->window_height,  &h->window_x,       &h->window_y,
      &h->window_bdrwidth,
  };
  for (size_t i = 0; i < 25; ++i) *fields[i] = bigEndian32(bytes + 4 * i);
}

unsigned pixelBits(const DumpHeader& h) {
  uint32_t bpp = h.bits_per_pixel;
  switch (h.pixmap_depth) {
    case 1: return 1;
    case 4: return bpp == 8 ? 8 : 4;
    case 8: return 8;
    case 12: case 15: case 16: return bpp == 24 || bpp == 32 ? bpp : 16;
    default: return bpp == 24 ? 24 : 32;
  }
}

size_t rowBytesNeeded(const DumpHeader& h) {
  return (size_t{h.pixmap_width} * pixelBits(h) + 7) / 8;
}

size_t normalizedRowBytes(const DumpHeader& h) {
  size_t w = h.pixmap_width;
  switch (h.pixmap_depth) {
    case 1: return (w + 7) / 8;
    case 4: return (w + 1) / 2;
    case 8: return w;
    default: return 4 * w;
  }
}

bool damagedDumpHeader(const DumpHeader& h) {
  if (h.pixmap_format > 2 || h.header_size < kDumpHeaderSize ||
      h.header_size - kDumpHeaderSize > kMaxWindowName)
    return true;
  if (h.pixmap_width == 0 || h.pixmap_height == 0 ||
      h.pixmap_width > kMaxSide || h.pixmap_height > kMaxSide)
    return true;
  if (h.ncolors > kMaxColours) return true;
  if (!supportedDepth(h.pixmap_depth)) return false;  // a kind, not damage
  size_t need = rowBytesNeeded(h);
  return h.bytes_per_line < need || h.bytes_per_line > need + kMaxRowPadding;
}

int checkDumpHeader(const DumpHeader& h) {
  uint32_t v = h.visual_class;
  if (v == StaticColor || v == GrayScale) return 0;
  if (v == PseudoColor && h.pixmap_depth != 4 && h.pixmap_depth != 8) return 0;
  if (h.pixmap_format == 1 && v != StaticGray) return 0;
  // Layouts the converter cannot read, and values no real dump has.
  if (h.pixmap_format != 2 && h.pixmap_depth != 1) return 0;  // plane data
  if (!supportedDepth(h.pixmap_depth)) return 0;
  return damagedDumpHeader(h) ? 0 : 1;
}

bool readColormap(Reader& in, const DumpHeader& h, ColourTable* table) {
  table->rgb.assign(size_t{h.ncolors} * 3, 0);
  table->pixel.assign(h.ncolors, 0);
  uint8_t record[12];
  for (size_t i = 0; i < h.ncolors; ++i) {
    if (readFully(in, record, sizeof record) < sizeof record) return false;
    // pixel (4 bytes), red, green, blue (2 bytes each), flags, pad
    table->pixel[i] = bigEndian32(record);
    table->rgb[3 * i] = record[4];
    table->rgb[3 * i + 1] = record[6];
    table->rgb[3 * i + 2] = record[8];
  }
  return true;
}

void normalizeRow(const DumpHeader& h, const uint8_t* source, size_t length,
                  uint8_t* destination) {
  switch (h.pixmap_depth) {
    case 1:
      normalizeBitmap(h, source, length, destination);
      break;
    case 4:
      normalizeNibbles(h, source, destination);
      break;
    case 8:
      std::memcpy(destination, source, h.pixmap_width);
      break;
    default:
      normalizePixels(h, source, destination);
      break;
  }
}

RowSource::RowSource(Reader& in, const DumpHeader& h, uint8_t white)
    : in(in), header(h), white(white), stored(h.bytes_per_line, 0),
      row(normalizedRowBytes(h) + 1, 0) {}

const uint8_t* RowSource::next() {
  checkInterrupt();
  if (readFully(in, stored.data(), stored.size()) < stored.size()) {
    std::memset(row.data(), white, row.size());
    return row.data();
  }
  ++arrived;
  normalizeRow(header, stored.data(), stored.size(), row.data());
  return row.data();
}

int convertWindowDump(const JobContext& job, Reader& in, Writer& out) {
  int g4 = opt.image_g4;
  uint8_t raw[kDumpHeaderSize];
  size_t got = readFully(in, raw, sizeof raw);
  if (got == 0) refuseInput(job, "empty input, not printed");
  DumpHeader h;
  readDumpHeader(raw, &h);
  if (got < sizeof raw || h.file_version != kDumpVersion)
    refuseInput(job, "not a window dump, not printed");
  if (damagedDumpHeader(h))
    refuseInput(job, "damaged window dump header, not printed");
  if (!checkDumpHeader(h))
    refuseInput(job, "window dump of a kind not printed");
  skipBytes(in, h.header_size - kDumpHeaderSize);
  ColourTable colours;
  readColormap(in, h, &colours);
  // At least half the rows must be there before the document is begun.
  size_t half = size_t{h.bytes_per_line} * ((h.pixmap_height + 1) / 2);
  size_t there = in.available(half) / h.bytes_per_line;
  checkInterrupt();
  if (there < (h.pixmap_height + 1) / 2)
    refuseInput(job,
                "window dump data ends after " + std::to_string(there) +
                    " of " + std::to_string(h.pixmap_height) +
                    " rows, not printed");
  RowSource rows(in, h, whiteByte(h, colours));

  writeImageSetup(out, job);
  writeImageProlog(h, out, g4);
  writeImageData(h, colours, rows, out, g4);
  writeImageTrailer(out);
  if (rows.arrived < h.pixmap_height)
    std::fprintf(stderr, "%s: window dump data ends after %u of %u rows, "
                 "white below\n", inputName(job).c_str(),
                 rows.arrived, h.pixmap_height);
  if (!job.standalone()) keepAccounting("XWD\t");
  return 1;
}

// The image document.

namespace {

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

void writeColorSpace(const DumpHeader&, Writer& out) {
  out.write("/DeviceGray setcolorspace\n");
}

void writeImageDict(const DumpHeader& h, Writer& out, int g4) {
  int w = static_cast<int>(h.pixmap_width);
  int ht = static_cast<int>(h.pixmap_height);
  int depth = static_cast<int>(h.pixmap_depth);
  out.write("/ImageDict <<\n");
  out.write("/ImageType 1\n");
  out.write("/Interpolate true\n");
  out.printf("/Width %d /Height %d /BitsPerComponent %d\n", w, ht,
             depth > 8 ? 8 : depth);
  out.printf("/ImageMatrix [%d 0 0 %d 0 %d]\n", w, -ht, ht);
  out.write("/DataSource currentfile /ASCII85Decode filter ");
  if (depth == 1 && g4)
    out.printf("\n<</K -1/Columns %d/Rows %d/EndOfBlock true/BlackIs1 true>>"
               " /CCITTFaxDecode filter\n", w, ht);
  else if (depth == 1)
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

}  // namespace

void writeImageSetup(Writer& out, const JobContext& job) {
  writeDscHeader(out, job, true, nullptr);
  writeDeviceSetup(out, imageRequests());
  out.write(kFixedProlog);
}

void writeImageProlog(const DumpHeader& h, Writer& out, int g4) {
  bool stamp = opt.image_printer.stamp.position != kNoStamp;
  if (stamp) writeStampProcedures(out, imageStamp(), nullptr, 0);
  if (!opt.image_no_showpage) out.write("%%Page: one 1\n");
  if (stamp) out.write("StartHF\n");
  int w = static_cast<int>(h.pixmap_width);
  int ht = static_cast<int>(h.pixmap_height);
  out.printf("/cbitWidth %d def\n", w);
  out.printf("/cbitHt %d def\n", ht);
  out.printf("/cbitDepth %d def\n", h.pixmap_depth == 1 ? 1 : 8);
  bool fit = !opt.image_size_given && !opt.image_fit_width_given &&
             !opt.image_points_given;
  if (opt.image_rotate) out.write("90 rotate 0 urx llx add neg translate\n");
  if (opt.image_offset_given)
    out.printf("%f inch %f inch translate\n", opt.image_offset_x,
               opt.image_offset_y);
  if (fit) {
    writeFitToArea(out);
    out.write("xDev yDev scale\n");
  }
  double aspect = static_cast<double>(ht) / static_cast<double>(w);
  double width, height;
  if (opt.image_size_given) {
    width = opt.image_width_inch;
    height = opt.image_height_inch;
  } else if (opt.image_fit_width_given) {
    width = opt.image_fit_width_inch;
    height = aspect * width;
  } else if (opt.image_points_given) {
    width = opt.image_width_points / 72.0;
    height = aspect * width;
  } else {
    width = w / 72.0;
    height = ht / 72.0;
  }
  out.printf("/dxWidInch %f0 def\n", width);
  out.printf("/dyHtInch %f def\n", height);
  writeColorSpace(h, out);
  writeImageDict(h, out, g4);
  out.write("%%EndProlog\ndoit\n");
}

void writeImageTrailer(Writer& out) {
  out.write("\ngrestore\n");
  if (!opt.image_no_showpage)
    out.write("showpage\n%%Trailer\n%%Pages: 1\n");
  else
    out.write("%%Trailer\n");
  out.write("xpsav restore\n");
}

// The image data.

namespace {

/// Gray of a colour table entry, or the value itself beyond the table.
uint8_t tableGray(const ColourTable& colours, size_t value, bool fourBit) {
  if (value >= colours.size()) return static_cast<uint8_t>(value);
  const uint8_t* c = &colours.rgb[3 * value];
  return fourBit ? grayLevel4(c[0], c[1], c[2]) : grayLevel(c[0], c[1], c[2]);
}

uint8_t whiteByte(const DumpHeader& h, const ColourTable& colours) {
  if (h.pixmap_depth == 1) return 0;  // a set bit prints black
  if (h.pixmap_depth > 8) return 0xFF;
  bool fourBit = h.pixmap_depth == 4;
  size_t lightest = 0;
  for (size_t v = 1; v < (fourBit ? 16u : 256u); ++v)
    if (tableGray(colours, v, fourBit) > tableGray(colours, lightest, fourBit))
      lightest = v;
  return static_cast<uint8_t>(fourBit ? lightest << 4 | lightest : lightest);
}

/// A linear ramp: `value` of `bits` bits scaled onto 0..255.
uint8_t rampGray(uint32_t value, unsigned bits) {
  uint64_t max = (uint64_t{1} << bits) - 1;
  return static_cast<uint8_t>((value & max) * 255 / max);
}

/// Largest channel that gets a table of its own (16 bits).
const uint32_t kMaxChannelTable = 65535;

/// How a TrueColor or DirectColor pixel value becomes a colour: each
/// channel's bits, taken through its mask, index that channel's levels.
struct ChannelMaps {
  bool gray;  // masks equal or zero: the pixel value is a gray level
  uint32_t mask[3];
  int shift[3];
  uint32_t max[3];
  std::vector<uint8_t> level[3];  // by channel value, for max up to 64K

  /// One channel of a pixel, 0..255.
  uint8_t channel(int c, uint32_t pixel) const {
    if (mask[c] == 0) return 0;
    uint32_t v = (pixel & mask[c]) >> shift[c];
    if (v < level[c].size()) return level[c][v];
    return static_cast<uint8_t>(uint64_t{v} * 255 / max[c]);
  }
  uint8_t gray8(uint32_t pixel) const {
    return grayLevel(channel(0, pixel), channel(1, pixel), channel(2, pixel));
  }
  uint8_t gray4(uint32_t pixel) const {
    return grayLevel4(channel(0, pixel), channel(1, pixel), channel(2, pixel));
  }
};

/// The channel levels of a dump: a linear ramp, replaced by the colour
/// records wherever one describes the channel value (X servers write one
/// record per channel step, pixel values combining the steps of all three).
ChannelMaps channelMaps(const DumpHeader& h, const ColourTable& colours) {
  ChannelMaps m{};
  m.mask[0] = h.red_mask;
  m.mask[1] = h.green_mask;
  m.mask[2] = h.blue_mask;
  m.gray = m.mask[0] == m.mask[1] || m.mask[1] == m.mask[2] ||
           m.mask[0] == m.mask[2];
  for (int c = 0; c < 3; ++c) {
    if (m.mask[c] == 0) continue;
    m.shift[c] = __builtin_ctz(m.mask[c]);
    m.max[c] = m.mask[c] >> m.shift[c];
    if (m.max[c] > kMaxChannelTable) continue;
    std::vector<uint8_t>& level = m.level[c];
    std::vector<bool> recorded(m.max[c] + 1, false);
    level.resize(m.max[c] + 1);
    for (uint32_t v = 0; v <= m.max[c]; ++v)
      level[v] = static_cast<uint8_t>(uint64_t{v} * 255 / m.max[c]);
    for (size_t i = 0; i < colours.size(); ++i) {
      uint32_t v = (colours.pixel[i] & m.mask[c]) >> m.shift[c];
      if (recorded[v]) continue;
      recorded[v] = true;
      level[v] = colours.rgb[3 * i + size_t(c)];
    }
  }
  return m;
}

/// Whether pixel values are made of channels rather than colour indexes.
bool decomposedPixels(const DumpHeader& h) {
  return h.visual_class == TrueColor || h.visual_class == DirectColor;
}

/// Gray level of every value of a 4-bit or 8-bit pixel.
std::vector<uint8_t> pixelGrays(const DumpHeader& h, const ColourTable& colours) {
  bool fourBit = h.pixmap_depth == 4;
  std::vector<uint8_t> gray(fourBit ? 16 : 256);
  ChannelMaps maps = channelMaps(h, colours);
  bool channels = decomposedPixels(h) && !maps.gray;
  for (uint32_t v = 0; v < gray.size(); ++v) {
    if (!channels)
      gray[v] = tableGray(colours, v, fourBit);
    else
      gray[v] = fourBit ? maps.gray4(v) : maps.gray8(v);
  }
  return gray;
}

uint32_t pixelValue(const uint8_t* p) {
  return bigEndian32(p);
}

void writeBitmapRunLength(const DumpHeader& h, RowSource& rows, Writer& out) {
  size_t n = (size_t{h.pixmap_width} + 7) / 8;
  beginAscii85();
  for (uint32_t y = 0; y < h.pixmap_height; ++y)
    runLengthRow(out, rows.next(), n);
  endRunLength(out);
}

int writeBitmapGroup4(const DumpHeader& h, RowSource& rows, Writer& out) {
  int w = static_cast<int>(h.pixmap_width);
  if (g4Setup(w)) return 0;
  // One row's code at a time; the unfinished last byte moves to the front.
  std::vector<uint8_t> code(g4RowBound(w) + 1, 0);
  int bit = 0;
  size_t written = 0;
  auto put = [&](uint8_t byte) {
    putAscii85(out, byte);
    if (++written % 60 == 0) out.put('\n');
  };
  beginAscii85();
  for (uint32_t y = 0; y < h.pixmap_height; ++y) {
    size_t end = static_cast<size_t>(bit) + g4EncodeRow(rows.next(), code.data(), bit);
    for (size_t i = 0; i < end / 8; ++i) put(code[i]);
    code[0] = code[end / 8];
    bit = static_cast<int>(end % 8);
  }
  // Decoders read ahead of the last row's code: the end-of-block code
  // gives them what to read, so that no decoder loses the last row.
  size_t end = static_cast<size_t>(bit) + g4EndOfBlock(code.data(), bit);
  for (size_t i = 0; i < end / 8; ++i) put(code[i]);
  bit = static_cast<int>(end % 8);
  if (bit > 0) put(static_cast<uint8_t>(code[end / 8] & (0xFF00 >> bit)));
  endAscii85(out);
  return 1;
}

void writeFourBit(const DumpHeader& h, const ColourTable& colours,
                  RowSource& rows, Writer& out) {
  std::vector<uint8_t> gray = pixelGrays(h, colours);
  size_t n = (size_t{h.pixmap_width} + 1) / 2;
  bool odd = h.pixmap_width % 2;
  beginAscii85();
  for (uint32_t y = 0; y < h.pixmap_height; ++y) {
    const uint8_t* row = rows.next();
    for (size_t i = 0; i < n; ++i) {
      uint8_t low = odd && i == n - 1 ? 0 : gray[row[i] & 0x0F];
      putAscii85(out, static_cast<uint8_t>(gray[row[i] >> 4] << 4 | low));
    }
    out.put('\n');
  }
  endAscii85(out);
}

void writeEightBit(const DumpHeader& h, const ColourTable& colours,
                   RowSource& rows, Writer& out) {
  std::vector<uint8_t> gray = pixelGrays(h, colours);
  std::vector<uint8_t> line(h.pixmap_width);
  beginAscii85();
  for (uint32_t y = 0; y < h.pixmap_height; ++y) {
    const uint8_t* row = rows.next();
    for (size_t x = 0; x < line.size(); ++x) line[x] = gray[row[x]];
    putAscii85(out, line.data(), line.size());
    out.put('\n');
  }
  endAscii85(out);
}

void writeTrueColour(const DumpHeader& h, const ColourTable& colours,
                     RowSource& rows, Writer& out) {
  ChannelMaps maps = channelMaps(h, colours);
  std::vector<uint8_t> line(h.pixmap_width);
  beginAscii85();
  for (uint32_t y = 0; y < h.pixmap_height; ++y) {
    const uint8_t* p = rows.next();
    for (size_t x = 0; x < line.size(); ++x, p += 4)
      line[x] = maps.gray ? rampGray(pixelValue(p), h.pixmap_depth)
                          : maps.gray8(pixelValue(p));
    putAscii85(out, line.data(), line.size());
    out.put('\n');
  }
  endAscii85(out);
}

}  // namespace

int writeImageData(const DumpHeader& h, const ColourTable& colours,
                   RowSource& rows, Writer& out, int g4) {
  switch (h.pixmap_depth) {
    case 1:
      if (g4) return writeBitmapGroup4(h, rows, out);
      writeBitmapRunLength(h, rows, out);
      return 1;
    case 4:
      writeFourBit(h, colours, rows, out);
      return 1;
    case 8:
      writeEightBit(h, colours, rows, out);
      return 1;
    default:
      writeTrueColour(h, colours, rows, out);
      return 1;
  }
}
