#include "tiffimage.h"

#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gray.h"
#include "jobcontext.h"
#include "rawinput.h"
#include "reader.h"
#include "status.h"

namespace {

/// libtiff's last error; it reports through a process-wide handler.
char lastError[256] = "";

void onError(const char*, const char* format, va_list args) {
  std::vsnprintf(lastError, sizeof lastError, format, args);
}

void onWarning(const char*, const char*, va_list) {}

/// Rows read at a time from an image that is not one bit deep.
const uint32_t kMaxBand = 64;

class TiffReader : public ImageReader {
 public:
  TiffReader(TIFF* tif, int fd) : tif_(tif), fd_(fd) {}
  ~TiffReader() override {
    if (rgbaOpen_) TIFFRGBAImageEnd(&rgba_);
    TIFFClose(tif_);
    close(fd_);
  }

  /// Reads the current directory's figures; an empty string when the page
  /// can be printed, else why not.
  std::string startPage() {
    uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    if (width == 0 || height == 0) return "an image without pixels";
    sourceDepth = bps * spp;
    readResolution();
    y_ = 0;
    if (rgbaOpen_) TIFFRGBAImageEnd(&rgba_);
    rgbaOpen_ = false;
    bilevel_ = bps == 1 && spp == 1 && !TIFFIsTiled(tif_) &&
               (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK);
    invert_ = photometric == PHOTOMETRIC_MINISBLACK;
    grayInput_ = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
    bits = bilevel_ ? 1 : 8;
    row_.assign(rowBytes(), 0);
    if (bilevel_) return {};
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif_, message) || !TIFFRGBAImageBegin(&rgba_, tif_, 0, message))
      return message;
    rgbaOpen_ = true;
    rgba_.req_orientation = ORIENTATION_TOPLEFT;
    uint32_t band = kMaxBand;
    band_.assign(size_t{width} * band, 0);
    bandRows_ = band;
    bandStart_ = 0;
    bandFilled_ = 0;
    return {};
  }

  const uint8_t* nextRow() override {
    bool ok = error_.empty() && (bilevel_ ? bilevelRow() : colourRow());
    if (!ok) {
      if (error_.empty()) error_ = lastError[0] ? lastError : "unreadable data";
      std::memset(row_.data(), bilevel_ ? 0 : 255, row_.size());
    }
    ++y_;
    return row_.data();
  }

  bool nextPage() override {
    if (!error_.empty()) return false;
    while (TIFFReadDirectory(tif_)) {
      uint32_t w = 0, h = 0;
      TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &w);
      TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &h);
      if (w > kMaxImageSide || h > kMaxImageSide || uint64_t{w} * h > maxImagePixels) {
        skipped_ = "a page larger than this filter prints left out";
        continue;
      }
      if (startPage().empty()) return true;
      skipped_ = "a page of a kind not printed left out";
    }
    return false;
  }

  std::string warning() const override {
    if (!error_.empty())
      return "TIFF data unreadable on a page (" + error_ + "), white below";
    return skipped_;
  }

 private:
  void readResolution() {
    float x = 0, y = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif_, TIFFTAG_RESOLUTIONUNIT, &unit);
    double per = unit == RESUNIT_CENTIMETER ? 2.54 : unit == RESUNIT_INCH ? 1 : 0;
    dpiX = dpiY = 0;
    if (per > 0 && TIFFGetField(tif_, TIFFTAG_XRESOLUTION, &x) &&
        TIFFGetField(tif_, TIFFTAG_YRESOLUTION, &y)) {
      dpiX = saneDpi(x * per);
      dpiY = saneDpi(y * per);
    }
  }

  bool bilevelRow() {
    if (TIFFReadScanline(tif_, row_.data(), y_, 0) < 0) return false;
    if (invert_)
      for (uint8_t& b : row_) b = static_cast<uint8_t>(~b);
    return true;
  }

  bool colourRow() {
    if (y_ >= bandStart_ + bandFilled_) {
      bandStart_ = y_;
      bandFilled_ = std::min(bandRows_, height - y_);
      rgba_.row_offset = static_cast<int>(y_);
      rgba_.col_offset = 0;
      if (!TIFFRGBAImageGet(&rgba_, band_.data(), width, bandFilled_)) return false;
    }
    const uint32_t* p = band_.data() + size_t{y_ - bandStart_} * width;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t v = p[x];
      unsigned a = TIFFGetA(v);
      auto lay = [a](unsigned c) {
        return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
      };
      row_[x] = grayInput_ ? lay(TIFFGetR(v))
                           : grayLevel(lay(TIFFGetR(v)), lay(TIFFGetG(v)), lay(TIFFGetB(v)));
    }
    return true;
  }

  TIFF* tif_;
  int fd_;
  TIFFRGBAImage rgba_{};
  bool rgbaOpen_ = false;
  bool bilevel_ = false, invert_ = false, grayInput_ = false;
  uint32_t y_ = 0;
  std::vector<uint32_t> band_;  // rows as libtiff gives them, ABGR
  uint32_t bandRows_ = 0, bandStart_ = 0, bandFilled_ = 0;
  std::string error_, skipped_;
  std::vector<uint8_t> row_;
};

}  // namespace

bool looksLikeTiff(std::string_view head) {
  return head.starts_with(std::string_view("II*\0", 4)) ||
         head.starts_with(std::string_view("MM\0*", 4)) ||
         head.starts_with(std::string_view("II+\0", 4)) ||
         head.starts_with(std::string_view("MM\0+", 4));
}

std::unique_ptr<ImageReader> openTiff(Reader& in, const JobContext& job) {
  TIFFSetErrorHandler(onError);
  TIFFSetWarningHandler(onWarning);
  lastError[0] = '\0';
  int fd = copyToTemporaryFile(in, job);
  // A damaged file can claim strips or tiles far larger than its image:
  // no single buffer may exceed what the largest printable image needs.
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetMaxSingleMemAlloc(
      options, static_cast<tmsize_t>(maxImagePixels * 8));
  TIFF* tif = TIFFFdOpenExt(fd, "input", "rm", options);
  TIFFOpenOptionsFree(options);
  if (!tif) {
    close(fd);
    refuseInput(job, std::string("damaged TIFF file (") + lastError + "), not printed");
  }
  auto reader = std::make_unique<TiffReader>(tif, fd);
  uint32_t w = 0, h = 0;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
  refuseHugeImage(w, h, job);
  std::string why = reader->startPage();
  if (!why.empty()) refuseInput(job, "TIFF of a kind not printed (" + why + ")");
  return reader;
}
