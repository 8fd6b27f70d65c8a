#include "utf16.h"

#include <iconv.h>

#include <cerrno>

#include "reader.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

std::string readAll(Reader& in) {
  std::string data;
  char buf[65536];
  size_t n;
  while ((n = in.read(buf, sizeof buf)) > 0) data.append(buf, n);
  return data;
}

}  // namespace

bool startsUtf16(std::string_view head) {
  return head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF");
}

std::string utf16ToUtf8(Reader& in) {
  std::string data = readAll(in);
  // "UTF-16" reads the byte order from the mark and drops it.
  iconv_t cd = iconv_open("UTF-8", "UTF-16");
  std::string text;
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  char* from = data.data();
  size_t left = data.size();
  char buf[65536];
  while (left > 0) {
    char* to = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &from, &left, &to, &room);
    text.append(buf, static_cast<size_t>(to - buf));
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // A unit that is no character, or a cut one at the end.
    text += kReplacement;
    size_t skip = left < 2 ? left : 2;
    from += skip;
    left -= skip;
  }
  iconv_close(cd);
  return text;
}
