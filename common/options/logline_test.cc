#include "logline.h"

#include <gtest/gtest.h>

TEST(Printable, ReplacesControlCharactersButTheLastNewline) {
  EXPECT_EQ(printable("Unknown option '\x1b[2J'\n"), "Unknown option '?[2J'\n");
  EXPECT_EQ(printable("ann\r\n%%EOF\t\x7f"), "ann??%%EOF??");
  EXPECT_EQ(printable("Host:\xe6\x9d\xb1 \n\n"), "Host:\xe6\x9d\xb1 ?\n");
  EXPECT_EQ(printable(""), "");
}
