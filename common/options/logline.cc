#include "logline.h"

#include <cstdio>

std::string printable(const std::string& text) {
  std::string s = text;
  size_t end = !s.empty() && s.back() == '\n' ? s.size() - 1 : s.size();
  for (size_t i = 0; i < end; ++i)
    if (static_cast<unsigned char>(s[i]) < 0x20 || s[i] == 0x7F) s[i] = '?';
  return s;
}

void logMessage(const std::string& message) {
  std::fputs(printable(message).c_str(), stderr);
}
