#include "gray.h"

namespace {

/// The three weighted terms of the luminance for every byte value, the
/// same products the formula computes.
struct LuminanceTerms {
  double red[256], green[256], blue[256];
  LuminanceTerms() {
    for (int v = 0; v < 256; ++v) {
      red[v] = 0.3 * v;
      green[v] = 0.59 * v;
      blue[v] = 0.11 * v;
    }
  }
};

const LuminanceTerms terms;

}  // namespace

uint8_t grayLevel(uint8_t red, uint8_t green, uint8_t blue) {
  double level = terms.red[red] + terms.green[green] + terms.blue[blue];
  return level < 255 ? static_cast<uint8_t>(level) : 255;
}

uint8_t grayLevel4(uint8_t red, uint8_t green, uint8_t blue) {
  // 255 is 15 x 17: each 4-bit step is 17 levels of the 8-bit gray.
  return static_cast<uint8_t>((grayLevel(red, green, blue) + 8) / 17);
}
