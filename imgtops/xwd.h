// The X window dump reader: the header, the window name, the colormap and
// the rows, turned into gray rows for the image document.
#ifndef IMGTOPS_XWD_H_
#define IMGTOPS_XWD_H_

#include <memory>
#include <string>
#include <string_view>

#include "imagereader.h"
#include "jobcontext.h"
#include "xwdheader.h"

class Reader;

/// Whether the first bytes of an input are a window dump's: a whole
/// header carrying the dump version.
bool looksLikeXwd(std::string_view head);

/// Reads a window dump up to its rows; they are read as the document asks
/// for them. Refuses (refuseInput, naming the input by
/// `job`) a damaged header, a dump of a kind it does not print and one
/// with less than half its rows.
std::unique_ptr<ImageReader> openXwd(Reader& in, const JobContext& job);

#endif  // IMGTOPS_XWD_H_
