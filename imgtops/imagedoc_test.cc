#include "imagedoc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"
#include "run.h"
#include "writer.h"

namespace {

// A reader of made-up rows: every call a new pattern.
struct FakeReader : ImageReader {
  FakeReader(uint32_t w, uint32_t h, int b) {
    width = w;
    height = h;
    bits = b;
    sourceDepth = b;
  }
  const uint8_t* nextRow() override {
    row.resize(rowBytes());
    for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(rows * 37 + i * 11);
    given.insert(given.end(), row.begin(), row.end());
    ++rows;
    return row.data();
  }
  std::vector<uint8_t> row;
  std::string given;  // every row handed out
  uint32_t rows = 0;
};

// A standalone run on the file "fake".
JobContext fakeJob() {
  JobContext job;
  job.title = "fake";
  return job;
}

class ImageDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetOptions();
    initImageSet();
  }
};

TEST_F(ImageDocTest, EverySampleDepthAndCodingPrints) {
  const struct {
    int bits;
    bool g4;
    const char* filter;  // what follows the ASCII85 filter
  } cases[] = {
      {1, false, "/RunLengthDecode filter\n"},
      {1, true, "\n<</K -1/Columns 40/Rows 30/EndOfBlock true/BlackIs1 true>>"},
      {4, false, "\n/Decode [0 1]\n"},
      {8, false, "\n/Decode [0 1]\n"},
      {8, true, "\n/Decode [0 1]\n"},
  };
  for (const auto& c : cases) {
    opt.image_g4 = c.g4;
    FakeReader image(40, 30, c.bits);
    Writer out = Writer::memory();
    writeImageDocument(image, out, fakeJob());
    std::string doc = out.str();
    EXPECT_EQ(30u, image.rows);
    EXPECT_NE(std::string::npos,
              doc.find("/BitsPerComponent " + std::to_string(c.bits) + "\n"));
    EXPECT_NE(std::string::npos,
              doc.find(std::string("/ASCII85Decode filter ") + c.filter));
    if (c.bits > 1) {
      EXPECT_EQ(image.given, imageData(doc));
    }
    std::string why;
    EXPECT_TRUE(printsCleanly(doc, &why)) << c.bits << c.g4 << why;
  }
}

TEST_F(ImageDocTest, CoderThatCannotBeSetUpWritesNothing) {
  opt.image_g4 = 1;
  FakeReader image(0x80000000u, 1, 1);
  Writer out = Writer::memory();
  EXPECT_THROW(writeImageDocument(image, out, fakeJob()), FatalError);
  EXPECT_EQ("", out.str());
  EXPECT_EQ(0u, image.rows);
}

}  // namespace
