#include "cancel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PostScriptTail, ClosesWhatTheBytesSentLeaveOpen) {
  const struct {
    std::string sent;
    std::string closing;
  } cases[] = {
      {"(abc) LS\n", ""},
      {"(abc", ")"},
      {"(a (b) \\) (c", "))"},
      {"(ab\\", "\\)"},
      {"(ab\\\\", ")"},
      {"% a (comment\n(x", ")"},
      {"% a (comment", ""},
      {"<< /A 1 >> <41", ">"},
      {"<", ">"},
      {"<~9jqo", "~>"},
      {"<~9jqo~", ">"},
      {"<~9j~> (", ")"},
  };
  for (const auto& c : cases) {
    PostScriptTail tail;
    // In two pieces, as separate writes hand them over.
    size_t half = c.sent.size() / 2;
    tail.feed(c.sent.data(), half);
    tail.feed(c.sent.data() + half, c.sent.size() - half);
    EXPECT_EQ(tail.closing(), c.closing) << c.sent;
  }
}

}  // namespace
