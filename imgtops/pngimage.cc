#include "pngimage.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "gray.h"
#include "options.h"
#include "jobcontext.h"
#include "rawinput.h"
#include "reader.h"
#include "status.h"

namespace {

/// The most memory libpng gets at once. A chunk may claim up to 2 GB,
/// and libpng allocates what a text or profile chunk claims before
/// reading it, warning of a size beyond its limit but going on: a few
/// bytes of a damaged or hostile file would take that much. Refused, the
/// chunk is skipped. A row of the widest image printed takes 1 MB.
const png_alloc_size_t kMaxAllocation = 32 << 20;

png_voidp boundedMalloc(png_structp, png_alloc_size_t n) {
  return n <= kMaxAllocation ? std::malloc(n) : nullptr;
}
void freeMemory(png_structp, png_voidp p) { std::free(p); }

/// The libpng state of one image. libpng reports errors by longjmp: every
/// call that may fail goes through a function below that catches it, and
/// no C++ object is alive between those setjmp calls and the library.
struct PngState {
  Reader& in;
  png_structp png = nullptr;
  png_infop info = nullptr;
  char error[200] = "";
  explicit PngState(Reader& r) : in(r) {}
  ~PngState() { png_destroy_read_struct(&png, &info, nullptr); }
};

void onError(png_structp png, png_const_charp message) {
  auto* s = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(s->error, sizeof s->error, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readData(png_structp png, png_bytep data, size_t n) {
  auto* s = static_cast<PngState*>(png_get_io_ptr(png));
  if (readFully(s->in, data, n) < n) png_error(png, "the file ends early");
}

bool readHeader(PngState* s) {
  if (setjmp(png_jmpbuf(s->png))) return false;
  png_read_info(s->png, s->info);
  return true;
}

/// Sets the transforms: one bit stays, everything else becomes RGBA with
/// 8-bit samples. Returns the passes an interlaced image needs, 0 on error.
int setTransforms(PngState* s, bool oneBit) {
  if (setjmp(png_jmpbuf(s->png))) return 0;
  if (!oneBit) {
    png_set_expand(s->png);
    png_set_scale_16(s->png);
    png_set_gray_to_rgb(s->png);
    png_set_add_alpha(s->png, 0xFF, PNG_FILLER_AFTER);
  }
  int passes = png_set_interlace_handling(s->png);
  png_read_update_info(s->png, s->info);
  return passes;
}

bool readRow(PngState* s, png_bytep row) {
  if (setjmp(png_jmpbuf(s->png))) return false;
  png_read_row(s->png, row, nullptr);
  return true;
}

bool readImage(PngState* s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(s->png))) return false;
  png_read_image(s->png, rows);
  return true;
}

/// One RGBA pixel laid on white paper, as gray.
uint8_t onWhite(const uint8_t* p, bool gray) {
  unsigned a = p[3];
  auto lay = [a](unsigned c) {
    return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
  };
  if (gray) return lay(p[0]);
  return grayLevel(lay(p[0]), lay(p[1]), lay(p[2]));
}

class PngReader : public ImageReader {
 public:
  PngReader(std::unique_ptr<PngState> s, bool oneBit, bool grayInput, int passes)
      : s_(std::move(s)), oneBit_(oneBit), grayInput_(grayInput) {
    width = png_get_image_width(s_->png, s_->info);
    height = png_get_image_height(s_->png, s_->info);
    bits = oneBit ? 1 : 8;
    row_.assign(rowBytes(), 0);
    decoded_.assign(png_get_rowbytes(s_->png, s_->info), 0);
    if (passes > 1) readWhole();
  }

  const uint8_t* nextRow() override {
    const uint8_t* source = nullptr;
    if (!whole_.empty()) {
      source = whole_.data() + size_t{y_} * decoded_.size();
    } else if (error_.empty() && readRow(s_.get(), decoded_.data())) {
      source = decoded_.data();
    } else if (error_.empty()) {
      error_ = s_->error;
      arrived_ = y_;
    }
    ++y_;
    if (!source) {
      std::memset(row_.data(), oneBit_ ? 0 : 255, row_.size());
    } else if (oneBit_) {
      for (size_t i = 0; i < row_.size(); ++i) row_[i] = static_cast<uint8_t>(~source[i]);
    } else {
      for (uint32_t x = 0; x < width; ++x) row_[x] = onWhite(source + 4 * x, grayInput_);
    }
    return row_.data();
  }

  std::string warning() const override {
    if (error_.empty()) return {};
    return "PNG data unreadable after " + std::to_string(arrived_) + " of " +
           std::to_string(height) + " rows (" + error_ + "), white below";
  }

 private:
  /// An interlaced image comes in passes over the whole image.
  void readWhole() {
    whole_.assign(decoded_.size() * height, 0);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = whole_.data() + size_t{y} * decoded_.size();
    if (!readImage(s_.get(), rows.data())) error_ = s_->error;
  }

  std::unique_ptr<PngState> s_;
  bool oneBit_, grayInput_;
  uint32_t y_ = 0, arrived_ = 0;
  std::string error_;
  std::vector<uint8_t> decoded_;  // one row as libpng gives it
  std::vector<uint8_t> whole_;    // an interlaced image
  std::vector<uint8_t> row_;
};

}  // namespace

bool looksLikePng(std::string_view head) {
  return head.size() >= 8 &&
         png_sig_cmp(reinterpret_cast<png_const_bytep>(head.data()), 0, 8) == 0;
}

std::unique_ptr<ImageReader> openPng(Reader& in, const JobContext& job) {
  auto s = std::make_unique<PngState>(in);
  s->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, s.get(), onError, onWarning,
                                    nullptr, boundedMalloc, freeMemory);
  if (!s->png || !(s->info = png_create_info_struct(s->png)))
    throw FatalError{"no memory for a PNG image\n", 255};
  png_set_read_fn(s->png, s.get(), readData);
  // Our own limits are checked below; libpng's would refuse with less
  // helpful words.
  png_set_user_limits(s->png, 0x7fffffff, 0x7fffffff);
  if (!readHeader(s.get()))
    refuseInput(job, std::string("damaged PNG file (") + s->error + "), not printed");
  png_uint_32 w = png_get_image_width(s->png, s->info);
  png_uint_32 h = png_get_image_height(s->png, s->info);
  refuseHugeImage(w, h, job);
  int type = png_get_color_type(s->png, s->info);
  int depth = png_get_bit_depth(s->png, s->info);
  bool transparent = png_get_valid(s->png, s->info, PNG_INFO_tRNS);
  bool oneBit = type == PNG_COLOR_TYPE_GRAY && depth == 1 && !transparent;
  bool grayInput = !(type & PNG_COLOR_MASK_COLOR);
  int sourceDepth = type == PNG_COLOR_TYPE_PALETTE
                        ? depth
                        : depth * png_get_channels(s->png, s->info);
  int passes = setTransforms(s.get(), oneBit);
  if (passes == 0)
    refuseInput(job, std::string("damaged PNG file (") + s->error + "), not printed");
  if (passes > 1) refuseHugeImage(uint64_t{w} * 4, h, job);
  double dpiX = 0, dpiY = 0;
  png_uint_32 px, py;
  int unit;
  if (png_get_pHYs(s->png, s->info, &px, &py, &unit) && unit == PNG_RESOLUTION_METER) {
    dpiX = saneDpi(px * 0.0254);
    dpiY = saneDpi(py * 0.0254);
  }
  auto reader = std::make_unique<PngReader>(std::move(s), oneBit, grayInput, passes);
  reader->sourceDepth = sourceDepth;
  reader->dpiX = dpiX;
  reader->dpiY = dpiY;
  return reader;
}
