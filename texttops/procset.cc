#include "procset.h"

namespace procset {

std::string fillIn(std::string_view text,
                   std::span<const std::string_view> names,
                   std::span<const std::string_view> values) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    size_t n = placeholderAt(text, at);
    auto name = names.end();
    if (n > 0) name = std::find(names.begin(), name, text.substr(at, n));
    if (name == names.end()) {
      out.push_back(text[at]);
      continue;
    }
    out.append(values[name - names.begin()]);
    at += n - 1;
  }
  return out;
}

}  // namespace procset
