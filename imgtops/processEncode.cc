#include "processEncode.h"

#include <string_view>

#include "writer.h"

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

namespace {

/// The pending ASCII85 group: up to four bytes.
struct Ascii85Group {
  uint8_t bytes[4];
  int count;
};

Ascii85Group group = {{0, 0, 0, 0}, 0};

/// The five base-85 digits of a group, most significant first, plus 33.
void ascii85Digits(const uint8_t b[4], char digits[5]) {
  uint32_t value = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) |
                   (uint32_t{b[2]} << 8) | b[3];
  for (int i = 4; i >= 0; --i) {
    digits[i] = static_cast<char>(value % 85 + 33);
    value /= 85;
  }
}

void flushGroup(Writer& out) {
  const uint8_t* b = group.bytes;
  group.count = 0;
  if ((b[0] | b[1] | b[2] | b[3]) == 0) {
    out.put('z');
    return;
  }
  char digits[5];
  ascii85Digits(b, digits);
  for (char c : digits) out.put(c);
}

}  // namespace

void beginAscii85() { group.count = 0; }

void putAscii85(Writer& out, uint8_t byte) {
  group.bytes[group.count++] = byte;
  if (group.count == 4) flushGroup(out);
}

void putAscii85(Writer& out, const uint8_t* bytes, size_t count) {
  size_t i = 0;
  while (i < count && group.count != 0) putAscii85(out, bytes[i++]);
  // Whole groups straight from the input.
  for (; i + 4 <= count; i += 4) {
    const uint8_t* b = bytes + i;
    if ((b[0] | b[1] | b[2] | b[3]) == 0) {
      out.put('z');
      continue;
    }
    char digits[5];
    ascii85Digits(b, digits);
    out.write(std::string_view(digits, 5));
  }
  while (i < count) putAscii85(out, bytes[i++]);
}

void endAscii85(Writer& out) {
  if (group.count > 0) {
    for (int i = group.count; i < 4; ++i) group.bytes[i] = 0;
    char digits[5];
    ascii85Digits(group.bytes, digits);
    for (int i = 0; i <= group.count; ++i) out.put(digits[i]);
  }
  out.write("~>");
  group.count = 0;
}

namespace {

/// Longest repeat run and literal the decoder's length byte allows.
const size_t kMaxRepeat = 128;
const size_t kMaxLiteral = 125;

bool threeEqualAt(const uint8_t* p, size_t left) {
  return left > 2 && p[0] == p[1] && p[1] == p[2];
}

/// A repeat run of 3..128 copies of p[0]: 257 - length, then the byte.
size_t putRepeatRun(Writer& out, const uint8_t* p, size_t left) {
  size_t length = 3;
  while (length < left && length < kMaxRepeat && p[length] == p[0]) ++length;
  putAscii85(out, static_cast<uint8_t>(257 - length));
  putAscii85(out, p[0]);
  return length;
}

/// A literal of 1..125 bytes (up to 127 at the end of a row):
/// length - 1, then the bytes.
size_t putLiteral(Writer& out, const uint8_t* p, size_t left) {
  size_t length = 1;
  while (left - length > 2 && !threeEqualAt(p + length, left - length) &&
         length < kMaxLiteral)
    ++length;
  if (left - length <= 2) length = left;
  putAscii85(out, static_cast<uint8_t>(length - 1));
  putAscii85(out, p, length);
  return length;
}

}  // namespace

void runLengthRow(Writer& out, const uint8_t* bytes, size_t count) {
  size_t at = 0;
  while (at < count) {
    size_t left = count - at;
    if (threeEqualAt(bytes + at, left))
      at += putRepeatRun(out, bytes + at, left);
    else
      at += putLiteral(out, bytes + at, left);
  }
  out.put('\n');
}

void endRunLength(Writer& out) {
  putAscii85(out, 128);
  endAscii85(out);
}
