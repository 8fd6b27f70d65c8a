// ASCII85, the text encoding every image's data goes out in: four bytes
// as five characters from '!' to 'u', "z" for four zero bytes, "~>" at
// the end.
#ifndef IMGTOPS_ASCII85_H_
#define IMGTOPS_ASCII85_H_

#include <cstddef>
#include <cstdint>

class Writer;

/// Encodes bytes onto a writer; holds the group of up to four bytes not
/// yet written.
class Ascii85Encoder {
 public:
  explicit Ascii85Encoder(Writer& out) : out_(out) {}
  /// Adds one byte; writes a full group as five characters or "z".
  void put(uint8_t byte);
  /// Adds `count` bytes.
  void put(const uint8_t* bytes, size_t count);
  /// Starts a new line of text; the data is unchanged.
  void lineBreak();
  /// Writes the pending partial group and the end marker "~>".
  void end();

 private:
  void flushGroup();
  Writer& out_;
  uint8_t group_[4] = {0, 0, 0, 0};
  int count_ = 0;
};

#endif  // IMGTOPS_ASCII85_H_
