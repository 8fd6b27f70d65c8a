// The image formats the filter reads, told apart by their first bytes.
#ifndef IMGTOPS_IMAGEFORMAT_H_
#define IMGTOPS_IMAGEFORMAT_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"
#include "jobcontext.h"

class Reader;

/// One format: how its first bytes look and how its reader opens.
struct ImageFormat {
  const char* name;  // heads the accounting record
  /// Whether `head`, the first kSniffBytes of the input (fewer when it is
  /// shorter), begins an image of this format.
  bool (*sniff)(std::string_view head);
  /// Reads the input up to its first row; refuses (refuseInput, naming
  /// the input by `job`) what it cannot print.
  std::unique_ptr<ImageReader> (*open)(Reader& in, const JobContext& job);
};

/// Bytes of the input the formats are told apart by.
const size_t kSniffBytes = 100;

/// The format whose images begin with `head` (the first kSniffBytes of
/// the input), or nullptr.
const ImageFormat* imageFormatOf(std::string_view head);

/// The format of the input by its first bytes, which stay unread.
/// Refuses (refuseInput) empty input and one no format claims.
const ImageFormat& sniffImageFormat(Reader& in, const JobContext& job);

#endif  // IMGTOPS_IMAGEFORMAT_H_
