#include "xwd.h"

#include <cstring>
#include <vector>

#include "interrupt.h"
#include "reader.h"
#include "rawinput.h"
#include "status.h"
#include "xwdgray.h"
#include "xwdrow.h"

namespace {

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

/// Reads the colormap records (their count is `ncolors`) into a table.
/// Records the input does not hold stay black; the rows then missing
/// refuse the dump.
ColourTable readColormap(Reader& in, const DumpHeader& h) {
  ColourTable table;
  table.rgb.assign(size_t{h.ncolors} * 3, 0);
  table.pixel.assign(h.ncolors, 0);
  uint8_t record[12];
  for (size_t i = 0; i < h.ncolors; ++i) {
    if (readFully(in, record, sizeof record) < sizeof record) break;
    // pixel (4 bytes), red, green, blue (2 bytes each), flags, pad
    table.pixel[i] = bigEndian32(record);
    table.rgb[3 * i] = record[4];
    table.rgb[3 * i + 1] = record[6];
    table.rgb[3 * i + 2] = record[8];
  }
  return table;
}

/// The header, refused when damaged or of a kind not printed.
DumpHeader readCheckedHeader(Reader& in, const JobContext& job) {
  uint8_t raw[kDumpHeaderSize];
  readFully(in, raw, sizeof raw);
  DumpHeader h;
  readDumpHeader(raw, &h);
  if (damagedDumpHeader(h))
    refuseInput(job, "damaged window dump header, not printed");
  if (!checkDumpHeader(h))
    refuseInput(job, "window dump of a kind not printed");
  return h;
}

/// Refuses a dump with less than half its rows before the document is
/// begun.
void requireHalfTheRows(Reader& in, const DumpHeader& h,
                        const JobContext& job) {
  size_t half = size_t{h.bytes_per_line} * ((h.pixmap_height + 1) / 2);
  size_t there = in.available(half) / h.bytes_per_line;
  checkInterrupt();
  if (there < (h.pixmap_height + 1) / 2)
    refuseInput(job,
                "window dump data ends after " + std::to_string(there) +
                    " of " + std::to_string(h.pixmap_height) +
                    " rows, not printed");
}

/// The rows of a dump whose header and colormap have been read, as gray.
class XwdReader : public ImageReader {
 public:
  XwdReader(Reader& in, const DumpHeader& h, const ColourTable& colours)
      : in_(in), h_(h), gray_(h_, colours),
        stored_(h.bytes_per_line, 0), pixels_(normalizedRowBytes(h) + 1, 0) {
    width = h.pixmap_width;
    height = h.pixmap_height;
    bits = gray_.bits();
    sourceDepth = static_cast<int>(h.pixmap_depth);
    row_.assign(rowBytes() + 1, 0);
  }

  const uint8_t* nextRow() override {
    if (ended_) return nullptr;
    if (readFully(in_, stored_.data(), stored_.size()) < stored_.size()) {
      // A stream that promised half its rows and broke off before them
      // ends the image, so that a few bytes never make a huge page.
      if (arrived_ < (height + 1) / 2) {
        ended_ = true;
        return nullptr;
      }
      std::memset(pixels_.data(), gray_.white, pixels_.size());
    } else {
      ++arrived_;
      normalizeRow(h_, stored_.data(), stored_.size(), pixels_.data());
    }
    gray_.convert(pixels_.data(), row_.data());
    return row_.data();
  }

  std::string warning() const override {
    if (arrived_ == height) return {};
    return "window dump data ends after " + std::to_string(arrived_) + " of " +
           std::to_string(height) + " rows, " +
           (ended_ ? "image ended there" : "white below");
  }

 private:
  Reader& in_;
  const DumpHeader h_;
  const DumpGray gray_;  // refers to h_
  uint32_t arrived_ = 0;  // rows read whole so far
  bool ended_ = false;  // the data broke off before half the rows
  std::vector<uint8_t> stored_;  // a row as the dump holds it
  std::vector<uint8_t> pixels_;  // the row normalised
  std::vector<uint8_t> row_;     // the row as gray
};

}  // namespace

bool looksLikeXwd(std::string_view head) {
  return head.size() >= kDumpHeaderSize &&
         bigEndian32(reinterpret_cast<const uint8_t*>(head.data()) + 4) ==
             kDumpVersion;
}

std::unique_ptr<ImageReader> openXwd(Reader& in, const JobContext& job) {
  DumpHeader h = readCheckedHeader(in, job);
  skipBytes(in, h.header_size - kDumpHeaderSize);
  ColourTable colours = readColormap(in, h);
  requireHalfTheRows(in, h, job);
  return std::make_unique<XwdReader>(in, h, colours);
}
