// Gray levels of colours: the luminance a gray image prints them as.
#ifndef IMGTOPS_GRAY_H_
#define IMGTOPS_GRAY_H_

#include <cstdint>

/// 8-bit gray of a colour: 0.3 R + 0.59 G + 0.11 B, truncated, at most 255.
uint8_t grayLevel(uint8_t red, uint8_t green, uint8_t blue);
/// 4-bit gray of a colour: the 8-bit gray scaled to 0..15, rounded.
uint8_t grayLevel4(uint8_t red, uint8_t green, uint8_t blue);

#endif  // IMGTOPS_GRAY_H_
