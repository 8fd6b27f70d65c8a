// UTF-16 text with a byte order mark, as Windows editors save it.
#ifndef TEXTTOPS_UTF16_H_
#define TEXTTOPS_UTF16_H_

#include <string>
#include <string_view>

class Reader;

/// Whether the input begins with a UTF-16 byte order mark (either order).
bool startsUtf16(std::string_view head);

/// The rest of `in`, UTF-16 with its byte order mark, as UTF-8. A unit
/// that is no character (a lone surrogate, an odd last byte) becomes
/// U+FFFD, which prints as a geta mark.
std::string utf16ToUtf8(Reader& in);

#endif  // TEXTTOPS_UTF16_H_
