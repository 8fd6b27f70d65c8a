#include "ascii85.h"

#include <string_view>

#include "writer.h"

namespace {

/// The five base-85 digits of a group, most significant first, plus 33.
void ascii85Digits(const uint8_t b[4], char digits[5]) {
  uint32_t value = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) |
                   (uint32_t{b[2]} << 8) | b[3];
  for (int i = 4; i >= 0; --i) {
    digits[i] = static_cast<char>(value % 85 + 33);
    value /= 85;
  }
}

/// A whole group: "z" when all four bytes are zero.
void writeGroup(Writer& out, const uint8_t b[4]) {
  if ((b[0] | b[1] | b[2] | b[3]) == 0) {
    out.put('z');
    return;
  }
  char digits[5];
  ascii85Digits(b, digits);
  out.write(std::string_view(digits, 5));
}

}  // namespace

void Ascii85Encoder::flushGroup() {
  count_ = 0;
  writeGroup(out_, group_);
}

void Ascii85Encoder::put(uint8_t byte) {
  group_[count_++] = byte;
  if (count_ == 4) flushGroup();
}

void Ascii85Encoder::put(const uint8_t* bytes, size_t count) {
  size_t i = 0;
  while (i < count && count_ != 0) put(bytes[i++]);
  // Whole groups straight from the input.
  for (; i + 4 <= count; i += 4) writeGroup(out_, bytes + i);
  while (i < count) put(bytes[i++]);
}

void Ascii85Encoder::lineBreak() { out_.put('\n'); }

void Ascii85Encoder::end() {
  if (count_ > 0) {
    for (int i = count_; i < 4; ++i) group_[i] = 0;
    char digits[5];
    ascii85Digits(group_, digits);
    out_.write(std::string_view(digits, size_t(count_) + 1));
  }
  out_.write("~>");
  count_ = 0;
}
