// The procedure sets of converted text, built in from the PostScript files
// of texttops/ps, and the filling in of their placeholders: "@NAME@",
// capital letters and underscores between two at signs, which the program
// replaces to make each variant of a template.
#ifndef TEXTTOPS_PROCSET_H_
#define TEXTTOPS_PROCSET_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "procset_texts.h"

namespace procset {

/// The length of the placeholder that starts at `at` in `text`, else 0.
constexpr size_t placeholderAt(std::string_view text, size_t at) {
  if (text[at] != '@') return 0;
  size_t end = at + 1;
  while (end < text.size() &&
         ((text[end] >= 'A' && text[end] <= 'Z') || text[end] == '_'))
    ++end;
  if (end == at + 1 || end == text.size() || text[end] != '@') return 0;
  return end + 1 - at;
}

/// Whether `names` are the placeholders of `text`: each is one and occurs
/// in it, and it holds no other. Checked with static_assert, so that a
/// template and its fills cannot drift apart.
constexpr bool fillsExactly(std::string_view text,
                            std::span<const std::string_view> names) {
  for (std::string_view name : names)
    if (placeholderAt(name, 0) != name.size() ||
        text.find(name) == std::string_view::npos)
      return false;
  for (size_t at = 0; at < text.size(); ++at) {
    size_t n = placeholderAt(text, at);
    if (n == 0) continue;
    if (std::find(names.begin(), names.end(), text.substr(at, n)) ==
        names.end())
      return false;
    at += n - 1;
  }
  return true;
}

/// `text` with each placeholder of `names` replaced by the value at the
/// same place in `values`; the values are not searched again.
std::string fillIn(std::string_view text,
                   std::span<const std::string_view> names,
                   std::span<const std::string_view> values);

/// The placeholders of a template, or their values in one variant.
template <size_t N>
using Fills = std::array<std::string_view, N>;

/// fillIn with as many values as placeholders.
template <size_t N>
std::string fill(std::string_view text, const Fills<N>& names,
                 const Fills<N>& values) {
  return fillIn(text, names, values);
}

}  // namespace procset

#endif  // TEXTTOPS_PROCSET_H_
