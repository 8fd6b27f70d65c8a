#include "pnmimage.h"

#include <cstring>
#include <vector>

#include "gray.h"
#include "jobcontext.h"
#include "rawinput.h"
#include "reader.h"
#include "status.h"

namespace {

/// The header's figures.
struct PnmHeader {
  char kind = 0;  // '1' ... '6'
  uint32_t width = 0, height = 0, maxval = 1;
  bool plain() const { return kind <= '3'; }
  bool bitmap() const { return kind == '1' || kind == '4'; }
  int channels() const { return kind == '3' || kind == '6' ? 3 : 1; }
};

/// Skips white space and # comments; returns the next byte, unread.
int nextToken(Reader& in) {
  for (;;) {
    int c = in.get();
    if (c == '#') {
      while (c != '\n' && c != '\r' && c != -1) c = in.get();
    }
    if (c == -1) return -1;
    if (!std::strchr(" \t\r\n\v\f", c)) {
      in.unget(c);
      return c;
    }
  }
}

/// A decimal number of the header or of a plain file; false at the end of
/// the input or on anything else.
bool readNumber(Reader& in, uint32_t* value) {
  int c = nextToken(in);
  if (c < '0' || c > '9') return false;
  uint64_t v = 0;
  while ((c = in.get()) >= '0' && c <= '9')
    if ((v = v * 10 + static_cast<unsigned>(c - '0')) > 0xFFFFFFFFu) return false;
  if (c != -1) in.unget(c);
  *value = static_cast<uint32_t>(v);
  return true;
}

class PnmReader : public ImageReader {
 public:
  PnmReader(Reader& in, const PnmHeader& h) : in_(in), h_(h) {
    width = h.width;
    height = h.height;
    bits = h.bitmap() ? 1 : 8;
    int sampleBits = h.maxval > 255 ? 16 : 8;
    sourceDepth = h.bitmap() ? 1 : h.channels() * (h.maxval > 255 ? 16 : 8);
    size_t samples = size_t{width} * unsigned(h.channels());
    raw_.resize(h.bitmap() ? rowBytes() : samples * unsigned(sampleBits / 8));
    values_.resize(samples);
    row_.assign(rowBytes(), 0);
    for (uint32_t v = 0; v <= std::min<uint32_t>(h.maxval, 65535); ++v)
      scale_.push_back(static_cast<uint8_t>((v * 255u + h.maxval / 2) / h.maxval));
  }

  const uint8_t* nextRow() override {
    if (failed_ || !(h_.bitmap() ? readBitmapRow() : readSamples())) {
      failed_ = true;
      std::memset(row_.data(), h_.bitmap() ? 0 : 255, row_.size());
    } else {
      ++arrived_;
    }
    return row_.data();
  }

  std::string warning() const override {
    if (arrived_ == height) return {};
    return "image data ends after " + std::to_string(arrived_) + " of " +
           std::to_string(height) + " rows, white below";
  }

 private:
  bool readBitmapRow() {
    if (!h_.plain()) return readFully(in_, row_.data(), row_.size()) == row_.size();
    std::memset(row_.data(), 0, row_.size());
    for (uint32_t x = 0; x < width; ++x) {
      int c = nextToken(in_);
      if (c != '0' && c != '1') return false;
      in_.get();
      if (c == '1') row_[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    return true;
  }

  bool readSamples() {
    if (h_.plain()) {
      for (uint32_t& v : values_)
        if (!readNumber(in_, &v)) return false;
    } else {
      if (readFully(in_, raw_.data(), raw_.size()) < raw_.size()) return false;
      bool wide = raw_.size() > values_.size();
      for (size_t i = 0; i < values_.size(); ++i)
        values_[i] = wide ? (raw_[2 * i] << 8 | raw_[2 * i + 1]) : raw_[i];
    }
    for (uint32_t& v : values_) v = scale_[std::min(v, h_.maxval)];
    if (h_.channels() == 1) {
      for (size_t x = 0; x < width; ++x) row_[x] = static_cast<uint8_t>(values_[x]);
    } else {
      for (size_t x = 0; x < width; ++x)
        row_[x] = grayLevel(values_[3 * x], values_[3 * x + 1], values_[3 * x + 2]);
    }
    return true;
  }

  Reader& in_;
  PnmHeader h_;
  bool failed_ = false;
  uint32_t arrived_ = 0;
  std::vector<uint8_t> raw_;
  std::vector<uint32_t> values_;
  std::vector<uint8_t> scale_;  // sample value to 8-bit gray
  std::vector<uint8_t> row_;
};

}  // namespace

bool looksLikePnm(std::string_view head) {
  return head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6' &&
         std::strchr(" \t\r\n#", head[2]);
}

std::unique_ptr<ImageReader> openPnm(Reader& in, const JobContext& job) {
  PnmHeader h;
  in.get();
  h.kind = static_cast<char>(in.get());
  bool ok = readNumber(in, &h.width) && readNumber(in, &h.height) &&
            (h.bitmap() || readNumber(in, &h.maxval));
  if (!ok || h.width == 0 || h.height == 0 || h.maxval == 0 || h.maxval > 65535)
    refuseInput(job, "damaged netpbm header, not printed");
  refuseHugeImage(h.width, h.height, job);
  // One white space byte ends the header of a raw file.
  int c = in.get();
  if (c == -1 || !std::strchr(" \t\r\n", c))
    refuseInput(job, "damaged netpbm header, not printed");
  return std::make_unique<PnmReader>(in, h);
}
