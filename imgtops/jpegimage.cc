#include "jpegimage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "gray.h"
#include "jobcontext.h"
#include "rawinput.h"
#include "reader.h"
#include "status.h"

namespace {

const size_t kBufferSize = 65536;

/// libjpeg's state for one image. Errors arrive by longjmp: every call
/// that may fail goes through a function below that catches it.
struct JpegState {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = "";
  jpeg_source_mgr source;
  Reader& in;
  bool truncated = false;
  uint8_t buffer[kBufferSize];

  explicit JpegState(Reader& r) : in(r) {}
  ~JpegState() { jpeg_destroy_decompress(&info); }
};

JpegState* stateOf(j_common_ptr info) {
  return static_cast<JpegState*>(info->client_data);
}

void onError(j_common_ptr info) {
  JpegState* s = stateOf(info);
  info->err->format_message(info, s->message);
  std::longjmp(s->jump, 1);
}

void onMessage(j_common_ptr, int) {}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info) {
  JpegState* s = stateOf(reinterpret_cast<j_common_ptr>(info));
  size_t n = s->in.read(reinterpret_cast<char*>(s->buffer), kBufferSize);
  if (n == 0) {
    // The data ends early: an end-of-image marker lets libjpeg finish.
    s->truncated = true;
    s->buffer[0] = 0xFF;
    s->buffer[1] = JPEG_EOI;
    n = 2;
  }
  s->source.next_input_byte = s->buffer;
  s->source.bytes_in_buffer = n;
  return TRUE;
}

void skipInput(j_decompress_ptr info, long count) {
  JpegState* s = stateOf(reinterpret_cast<j_common_ptr>(info));
  while (count > 0) {
    if (s->source.bytes_in_buffer == 0) fillInput(info);
    size_t k = std::min<size_t>(static_cast<size_t>(count), s->source.bytes_in_buffer);
    s->source.next_input_byte += k;
    s->source.bytes_in_buffer -= k;
    count -= static_cast<long>(k);
  }
}

bool startDecoding(JpegState* s) {
  if (setjmp(s->jump)) return false;
  jpeg_read_header(&s->info, TRUE);
  J_COLOR_SPACE space = s->info.jpeg_color_space;
  if (space == JCS_CMYK || space == JCS_YCCK)
    s->info.out_color_space = JCS_CMYK;
  else if (space == JCS_GRAYSCALE)
    s->info.out_color_space = JCS_GRAYSCALE;
  else
    s->info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&s->info);
  return true;
}

bool readScanline(JpegState* s, uint8_t* line) {
  if (setjmp(s->jump)) return false;
  JSAMPROW row = line;
  return jpeg_read_scanlines(&s->info, &row, 1) == 1;
}

uint16_t get16(const uint8_t* p, bool big) {
  return static_cast<uint16_t>(big ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
}

uint32_t get32(const uint8_t* p, bool big) {
  return big ? uint32_t{get16(p, true)} << 16 | get16(p + 2, true)
             : uint32_t{get16(p + 2, false)} << 16 | get16(p, false);
}

/// Where a displayed pixel of an image turned by `orientation` is stored.
void storedAt(int orientation, uint32_t x, uint32_t y, uint32_t w, uint32_t h,
              uint32_t* sx, uint32_t* sy) {
  switch (orientation) {
    case 2: *sx = w - 1 - x; *sy = y; break;
    case 3: *sx = w - 1 - x; *sy = h - 1 - y; break;
    case 4: *sx = x; *sy = h - 1 - y; break;
    case 5: *sx = y; *sy = x; break;
    case 6: *sx = y; *sy = h - 1 - x; break;
    case 7: *sx = w - 1 - y; *sy = h - 1 - x; break;
    case 8: *sx = w - 1 - y; *sy = x; break;
    default: *sx = x; *sy = y; break;
  }
}

class JpegReader : public ImageReader {
 public:
  JpegReader(std::unique_ptr<JpegState> s, int orientation)
      : s_(std::move(s)), orientation_(orientation) {
    jpeg_decompress_struct& info = s_->info;
    storedWidth_ = info.output_width;
    storedHeight_ = info.output_height;
    bool turned = orientation >= 5;
    width = turned ? storedHeight_ : storedWidth_;
    height = turned ? storedWidth_ : storedHeight_;
    bits = 8;
    sourceDepth = 8 * info.num_components;
    line_.assign(size_t{storedWidth_} * unsigned(info.output_components), 0);
    row_.assign(rowBytes(), 255);
    if (orientation_ != 1) readWhole();
  }

  const uint8_t* nextRow() override {
    if (orientation_ == 1) {
      grayLine(row_.data());
    } else {
      for (uint32_t x = 0; x < width; ++x) {
        uint32_t sx, sy;
        storedAt(orientation_, x, y_, storedWidth_, storedHeight_, &sx, &sy);
        row_[x] = whole_[size_t{sy} * storedWidth_ + sx];
      }
    }
    ++y_;
    return row_.data();
  }

  std::string warning() const override {
    if (!error_.empty())
      return "JPEG data unreadable after " + std::to_string(decoded_) + " of " +
             std::to_string(storedHeight_) + " rows (" + error_ + "), white below";
    if (s_->truncated) return "JPEG data ends early, the rest printed as it came";
    return {};
  }

 private:
  /// The next stored scanline as gray; white once the data fails.
  void grayLine(uint8_t* gray) {
    if (!error_.empty() || !readScanline(s_.get(), line_.data())) {
      if (error_.empty()) error_ = s_->message[0] ? s_->message : "no more rows";
      std::memset(gray, 255, storedWidth_);
      return;
    }
    ++decoded_;
    const uint8_t* p = line_.data();
    switch (s_->info.out_color_space) {
      case JCS_GRAYSCALE:
        std::memcpy(gray, p, storedWidth_);
        break;
      case JCS_CMYK: {
        // Adobe's files hold CMYK inverted.
        bool inverted = s_->info.saw_Adobe_marker;
        for (uint32_t x = 0; x < storedWidth_; ++x, p += 4) {
          unsigned k = inverted ? p[3] : 255 - p[3];
          auto ink = [&](uint8_t c) {
            return static_cast<uint8_t>((inverted ? c : 255 - c) * k / 255);
          };
          gray[x] = grayLevel(ink(p[0]), ink(p[1]), ink(p[2]));
        }
        break;
      }
      default:
        for (uint32_t x = 0; x < storedWidth_; ++x, p += 3)
          gray[x] = grayLevel(p[0], p[1], p[2]);
    }
  }

  void readWhole() {
    whole_.resize(size_t{storedWidth_} * storedHeight_);
    for (uint32_t y = 0; y < storedHeight_; ++y)
      grayLine(whole_.data() + size_t{y} * storedWidth_);
  }

  std::unique_ptr<JpegState> s_;
  int orientation_;
  uint32_t storedWidth_, storedHeight_;
  uint32_t y_ = 0, decoded_ = 0;
  std::string error_;
  std::vector<uint8_t> line_;   // a scanline as libjpeg gives it
  std::vector<uint8_t> whole_;  // the stored image as gray, when turned
  std::vector<uint8_t> row_;
};

}  // namespace

bool looksLikeJpeg(std::string_view head) {
  return head.size() >= 3 && static_cast<uint8_t>(head[0]) == 0xFF &&
         static_cast<uint8_t>(head[1]) == 0xD8 && static_cast<uint8_t>(head[2]) == 0xFF;
}

int exifOrientation(const uint8_t* data, size_t size) {
  if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) return 1;
  const uint8_t* tiff = data + 6;
  size_t n = size - 6;
  bool big = tiff[0] == 'M';
  if (!(tiff[0] == 'M' && tiff[1] == 'M') && !(tiff[0] == 'I' && tiff[1] == 'I')) return 1;
  uint32_t ifd = get32(tiff + 4, big);
  if (ifd > n - 2 || n < 2) return 1;
  uint16_t count = get16(tiff + ifd, big);
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = size_t{ifd} + 2 + 12 * size_t{i};
    if (at + 12 > n) break;
    if (get16(tiff + at, big) == 0x0112) {
      uint16_t value = get16(tiff + at + 8, big);
      return value >= 1 && value <= 8 ? value : 1;
    }
  }
  return 1;
}

std::unique_ptr<ImageReader> openJpeg(Reader& in, const JobContext& job) {
  auto s = std::make_unique<JpegState>(in);
  s->info.err = jpeg_std_error(&s->errors);
  s->errors.error_exit = onError;
  s->errors.emit_message = onMessage;
  jpeg_create_decompress(&s->info);
  s->info.client_data = s.get();
  s->source.init_source = initSource;
  s->source.fill_input_buffer = fillInput;
  s->source.skip_input_data = skipInput;
  s->source.resync_to_restart = jpeg_resync_to_restart;
  s->source.term_source = termSource;
  s->source.bytes_in_buffer = 0;
  s->source.next_input_byte = nullptr;
  s->info.src = &s->source;
  jpeg_save_markers(&s->info, JPEG_APP0 + 1, 0xFFFF);
  if (!startDecoding(s.get()))
    refuseInput(job, std::string("damaged JPEG file (") + s->message + "), not printed");
  refuseHugeImage(s->info.output_width, s->info.output_height, job);
  int orientation = 1;
  for (jpeg_saved_marker_ptr m = s->info.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 1) orientation = exifOrientation(m->data, m->data_length);
  double dpiX = 0, dpiY = 0;
  if (s->info.density_unit == 1 || s->info.density_unit == 2) {
    double per = s->info.density_unit == 2 ? 2.54 : 1;
    dpiX = saneDpi(s->info.X_density * per);
    dpiY = saneDpi(s->info.Y_density * per);
  }
  auto reader = std::make_unique<JpegReader>(std::move(s), orientation);
  bool turned = orientation >= 5;
  reader->dpiX = turned ? dpiY : dpiX;
  reader->dpiY = turned ? dpiX : dpiY;
  return reader;
}
