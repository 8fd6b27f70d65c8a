#include "xwdheader.h"

namespace {

// Bounds no real dump comes near: X sizes are 16-bit, colormaps hold at
// most 65536 cells, window names are short, rows are padded to at most a
// few bytes.
const uint32_t kMaxSide = 65535;
const uint32_t kMaxColours = 65536;
const uint32_t kMaxWindowName = 65536;
const size_t kMaxRowPadding = 65536;

bool supportedDepth(uint32_t depth) {
  switch (depth) {
    case 1: case 4: case 8: case 12: case 15: case 16: case 24: case 30: case 32:
      return true;
    default:
      return false;
  }
}

}  // namespace

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
         (uint32_t{p[2]} << 8) | p[3];
}

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

