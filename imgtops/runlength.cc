#include "runlength.h"

namespace {

/// Longest repeat run and literal the decoder's length byte allows.
const size_t kMaxRepeat = 128;
const size_t kMaxLiteral = 125;

bool threeEqualAt(const uint8_t* p, size_t left) {
  return left > 2 && p[0] == p[1] && p[1] == p[2];
}

}  // namespace

/// A repeat run of 3..128 copies of p[0]: 257 - length, then the byte.
size_t RunLengthEncoder::putRepeat(const uint8_t* p, size_t left) {
  size_t length = 3;
  while (length < left && length < kMaxRepeat && p[length] == p[0]) ++length;
  text_.put(static_cast<uint8_t>(257 - length));
  text_.put(p[0]);
  return length;
}

/// A literal of 1..125 bytes (up to 127 at the end of a row):
/// length - 1, then the bytes.
size_t RunLengthEncoder::putLiteral(const uint8_t* p, size_t left) {
  size_t length = 1;
  while (left - length > 2 && !threeEqualAt(p + length, left - length) &&
         length < kMaxLiteral)
    ++length;
  if (left - length <= 2) length = left;
  text_.put(static_cast<uint8_t>(length - 1));
  text_.put(p, length);
  return length;
}

void RunLengthEncoder::row(const uint8_t* bytes, size_t count) {
  size_t at = 0;
  while (at < count) {
    size_t left = count - at;
    if (threeEqualAt(bytes + at, left))
      at += putRepeat(bytes + at, left);
    else
      at += putLiteral(bytes + at, left);
  }
  text_.lineBreak();
}

void RunLengthEncoder::end() {
  text_.put(128);
  text_.end();
}
