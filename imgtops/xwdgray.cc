#include "xwdgray.h"

#include <cstring>

#include "gray.h"

namespace {

/// Gray of a colour table entry, or the value itself beyond the table.
uint8_t tableGray(const ColourTable& colours, size_t value, bool fourBit) {
  if (value >= colours.size()) return static_cast<uint8_t>(value);
  const uint8_t* c = &colours.rgb[3 * value];
  return fourBit ? grayLevel4(c[0], c[1], c[2]) : grayLevel(c[0], c[1], c[2]);
}

/// The normalised byte of the lightest pixel.
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

/// The levels of channel `c`: a linear ramp, replaced by the colour
/// records wherever one describes the channel value (X servers write one
/// record per channel step, pixel values combining the steps of all three).
void channelLevels(ChannelMaps& m, int c, const ColourTable& colours) {
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

/// The channels of a dump's pixels, by its masks.
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
    if (m.max[c] <= kMaxChannelTable) channelLevels(m, c, colours);
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

/// Gray nibbles of a 4-bit row, left pixel high; an odd row's last low
/// nibble is 0.
void fourBitGrays(size_t width, const std::vector<uint8_t>& gray,
                  const uint8_t* row, uint8_t* out) {
  size_t n = (width + 1) / 2;
  bool odd = width % 2;
  for (size_t i = 0; i < n; ++i) {
    uint8_t low = odd && i == n - 1 ? 0 : gray[row[i] & 0x0F];
    out[i] = static_cast<uint8_t>(gray[row[i] >> 4] << 4 | low);
  }
}

/// Gray bytes of a row of 4-byte pixel values.
void deepGrays(const DumpHeader& h, const ChannelMaps& maps,
               const uint8_t* p, uint8_t* out) {
  for (size_t x = 0; x < h.pixmap_width; ++x, p += 4)
    out[x] = maps.gray ? rampGray(bigEndian32(p), h.pixmap_depth)
                       : maps.gray8(bigEndian32(p));
}

}  // namespace

uint8_t ChannelMaps::channel(int c, uint32_t pixel) const {
  if (mask[c] == 0) return 0;
  uint32_t v = (pixel & mask[c]) >> shift[c];
  if (v < level[c].size()) return level[c][v];
  return static_cast<uint8_t>(uint64_t{v} * 255 / max[c]);
}

uint8_t ChannelMaps::gray8(uint32_t pixel) const {
  return grayLevel(channel(0, pixel), channel(1, pixel), channel(2, pixel));
}

uint8_t ChannelMaps::gray4(uint32_t pixel) const {
  return grayLevel4(channel(0, pixel), channel(1, pixel), channel(2, pixel));
}

DumpGray::DumpGray(const DumpHeader& h, const ColourTable& colours)
    : white(whiteByte(h, colours)), h_(h) {
  if (h.pixmap_depth > 8) maps_ = channelMaps(h, colours);
  if (h.pixmap_depth == 4 || h.pixmap_depth == 8)
    byValue_ = pixelGrays(h, colours);
}

int DumpGray::bits() const {
  return h_.pixmap_depth == 1 || h_.pixmap_depth == 4
             ? static_cast<int>(h_.pixmap_depth)
             : 8;
}

void DumpGray::convert(const uint8_t* pixels, uint8_t* gray) const {
  switch (h_.pixmap_depth) {
    case 1:
      std::memcpy(gray, pixels, (size_t{h_.pixmap_width} + 7) / 8);
      break;
    case 4:
      fourBitGrays(h_.pixmap_width, byValue_, pixels, gray);
      break;
    case 8:
      for (size_t x = 0; x < h_.pixmap_width; ++x) gray[x] = byValue_[pixels[x]];
      break;
    default:
      deepGrays(h_, maps_, pixels, gray);
      break;
  }
}
