#include "ascii85.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run.h"
#include "writer.h"

namespace {

std::string ascii85(const std::vector<uint8_t>& bytes) {
  Writer out = Writer::memory();
  Ascii85Encoder text(out);
  text.put(bytes.data(), bytes.size());
  text.end();
  return out.str();
}

std::vector<uint8_t> decode85(const std::string& text) {
  std::string bytes = decodeAscii85(text);
  return {bytes.begin(), bytes.end()};
}

TEST(Ascii85, FullGroups) {
  EXPECT_EQ("z~>", ascii85({0, 0, 0, 0}));
  EXPECT_EQ("s8W-!~>", ascii85({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ("zs8W-!~>", ascii85({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Ascii85, PartialGroupsNeverUseZ) {
  EXPECT_EQ("!!~>", ascii85({0}));
  EXPECT_EQ("s8N~>", ascii85({0xFF, 0xFF}));
  EXPECT_EQ("!!!!~>", ascii85({0, 0, 0}));
  EXPECT_EQ("~>", ascii85({}));
}

TEST(Ascii85, RoundTripsEveryLength) {
  std::vector<uint8_t> bytes;
  for (int n = 0; n < 40; ++n) {
    EXPECT_EQ(bytes, decode85(ascii85(bytes))) << n;
    bytes.push_back(uint8_t(n * 37 + 11));
  }
}

}  // namespace
