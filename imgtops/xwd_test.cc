#include "xwd.h"

#include <gtest/gtest.h>

#include <string>

#include "imagejob.h"
#include "options.h"
#include "reader.h"
#include "run.h"
#include "testdump.h"
#include "writer.h"

namespace {

// A standalone run on the file `title`.
JobContext fileJob(const char* title) {
  JobContext job;
  job.name = "imgtops";
  job.title = title;
  return job;
}

// The document a dump converts to, in standalone mode.
std::string convert(const std::string& dump) {
  Reader in{std::string_view(dump)};
  Writer out = Writer::memory();
  convertImage(fileJob(""), in, out);
  return out.str();
}

// The bytes of the data section, decoded.
std::string dataOf(const std::string& doc) {
  EXPECT_NE(std::string::npos, doc.find("%%EndProlog\ndoit\n"));
  return imageData(doc);
}

class XwdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetOptions();
    initImageSet();
  }
};

TEST_F(XwdTest, RefusedInputsWriteNothing) {
  TestDump hostile(8, 2, 2, PseudoColor);  // claims more than arrives
  hostile.field[TestDump::kHeaderSize] = 100 + 65536;
  hostile.field[TestDump::kColours] = 65536;
  TestDump halfRow(8, 2, 3, StaticGray);
  halfRow.rows = "\x01\x02\x03";
  const struct {
    std::string input;
    const char* reason;
  } cases[] = {
      {"", "empty input"},
      {std::string(99, 'x'), "not an image this filter prints"},
      {"GIF89a" + std::string(200, '\0'), "not an image this filter prints"},
      {TestDump(16, 4, 4, PseudoColor).bytes(), "window dump of a kind"},
      {TestDump(8, 4, 4, GrayScale).bytes(), "window dump of a kind"},
      {hostile.bytes(), "window dump data ends after 0 of 2 rows"},
      {halfRow.bytes(), "window dump data ends after 1 of 3 rows"},
  };
  for (const auto& c : cases) {
    Reader in{std::string_view(c.input)};
    Writer out = Writer::memory();
    try {
      convertImage(fileJob("f.xwd"), in, out);
      ADD_FAILURE() << c.reason;
    } catch (const FatalError& e) {
      EXPECT_EQ(0u, e.message.find(std::string("imgtops: f.xwd: ") + c.reason))
          << e.message;
      EXPECT_EQ(255, e.status);
    }
    EXPECT_EQ("", out.str());
  }
}

TEST_F(XwdTest, RowsThatDoNotArrivePrintWhite) {
  TestDump gray(8, 2, 3, StaticGray);
  gray.rows = "\x01\x02\x03\x04\x05";
  EXPECT_EQ("\x01\x02\x03\x04\xff\xff", dataOf(convert(gray.bytes())));
  TestDump dark(8, 1, 2, PseudoColor);  // no white in the colour table
  for (int i = 0; i < 256; ++i) dark.addColour(uint8_t(i / 2), 0, 0);
  dark.rows = std::string(1, 0);
  EXPECT_EQ(std::string("\x00\x26", 2), dataOf(convert(dark.bytes())));
  TestDump bits(1, 8, 2, StaticGray);
  bits.rows = "\xff";
  EXPECT_EQ(std::string("\x00\xff\x00\x00\x80", 5),
            dataOf(convert(bits.bytes())));
}

TEST_F(XwdTest, WindowNameIsSkippedAndColoursFillInFileOrder) {
  TestDump d(8, 4, 1, PseudoColor);
  d.windowName = std::string(127, 'w') + '\0';
  for (int i = 0; i < 256; ++i) d.addColour(uint8_t(i), 0, 0);
  d.colours[1] = {255, 0, 0};
  d.colours[2] = {0, 255, 0};
  d.colours[3] = {0, 0, 255};
  d.rows = std::string("\x00\x01\x02\x03", 4);
  EXPECT_EQ(std::string("\x00\x4c\x96\x1c", 4), dataOf(convert(d.bytes())));
}

TEST_F(XwdTest, PixelsBeyondTheColourTableAreLinearGray) {
  TestDump d(8, 3, 1, PseudoColor);
  d.addColour(255, 255, 255);
  d.rows = std::string("\x00\x01\xc8", 3);
  EXPECT_EQ(std::string("\xff\x01\xc8", 3), dataOf(convert(d.bytes())));
  // StaticGray without colormap: the value is the gray.
  TestDump g(8, 2, 1, StaticGray);
  g.rows = std::string("\x10\xf0", 2);
  EXPECT_EQ(std::string("\x10\xf0", 2), dataOf(convert(g.bytes())));
}

TEST_F(XwdTest, FourBitRowsOddWidthAndNibbleOrder) {
  TestDump d(4, 3, 2, PseudoColor);
  for (int i = 0; i < 16; ++i) d.addColour(uint8_t(i * 17), uint8_t(i * 17), uint8_t(i * 17));
  d.rows = std::string("\x35\xf0\x12\x3f", 4);  // MSBFirst: left pixel high
  std::string data = dataOf(convert(d.bytes()));
  EXPECT_EQ(std::string("\x35\xf0\x12\x30", 4), data);
  d.field[TestDump::kByteOrder] = 0;  // LSBFirst: left pixel low
  data = dataOf(convert(d.bytes()));
  EXPECT_EQ(std::string("\x53\x00\x21\xf0", 4), data);
  // Depth 4 stored a byte a pixel.
  d.field[TestDump::kBpp] = 8;
  d.field[TestDump::kBytesPerLine] = 3;
  d.rows = std::string("\x03\x05\x0f\x01\x02\x03", 6);
  EXPECT_EQ(std::string("\x35\xf0\x12\x30", 4), dataOf(convert(d.bytes())));
}

TEST_F(XwdTest, FourBitGrayFromColours) {
  TestDump d(4, 2, 1, PseudoColor);
  d.addColour(255, 255, 255);
  d.addColour(100, 100, 100);
  d.rows = std::string("\x01", 1);
  EXPECT_EQ(std::string("\xf6", 1), dataOf(convert(d.bytes())));
}

TEST_F(XwdTest, TrueColourPixelsInBothByteOrders) {
  TestDump d(24, 2, 1, TrueColor);
  d.field[TestDump::kRed] = 0xFF0000;
  d.field[TestDump::kGreen] = 0xFF00;
  d.field[TestDump::kBlue] = 0xFF;
  d.rows = std::string("\x00\xff\x00\x00\x00\x00\xff\x00", 8);  // red, green
  EXPECT_EQ(std::string("\x4c\x96", 2), dataOf(convert(d.bytes())));
  d.field[TestDump::kByteOrder] = 0;
  d.rows = std::string("\x00\x00\xff\x00\x00\xff\x00\x00", 8);
  EXPECT_EQ(std::string("\x4c\x96", 2), dataOf(convert(d.bytes())));
  // Blue in the high byte: the masks decide.
  d.field[TestDump::kRed] = 0xFF;
  d.field[TestDump::kBlue] = 0xFF0000;
  d.rows = std::string("\xff\x00\x00\x00\x00\x00\xff\x00", 8);  // LSB: red, blue
  EXPECT_EQ(std::string("\x4c\x1c", 2), dataOf(convert(d.bytes())));
  // Packed three bytes a pixel.
  d.field[TestDump::kBpp] = 24;
  d.field[TestDump::kBytesPerLine] = 6;
  d.rows = std::string("\xff\x00\x00\x00\x00\xff", 6);
  EXPECT_EQ(std::string("\x4c\x1c", 2), dataOf(convert(d.bytes())));
}

// Channels through masks red 0x07, green 0x38, blue 0xC0, as an X server
// of depth 8 writes them: record i describes step i of every channel.
TestDump smallTrueColour(uint32_t depth, uint32_t klass) {
  TestDump d(depth, 4, 1, klass);
  d.field[TestDump::kRed] = 0x07;
  d.field[TestDump::kGreen] = 0x38;
  d.field[TestDump::kBlue] = 0xC0;
  for (uint32_t i = 0; i < 8; ++i) {
    d.pixels.push_back(i | i << 3 | (i & 3) << 6);
    d.addColour(uint8_t(i * 36), uint8_t(i * 36), uint8_t((i & 3) * 85));
  }
  return d;
}

TEST_F(XwdTest, ChannelsIndexTheColourRecordsThroughTheirMasks) {
  // Red, yellow, blue, and steps 4, 6, 2 of red, green, blue (144, 216, 170).
  const std::string pixels("\x07\x3f\xc0\xb4", 4);
  const std::string grays("\x4b\xe0\x1c\xbd", 4);
  for (uint32_t klass : {TrueColor, DirectColor}) {
    TestDump d = smallTrueColour(8, klass);
    d.rows = pixels;
    EXPECT_EQ(grays, dataOf(convert(d.bytes()))) << klass;
    // The same pixels 16 bits wide, least significant byte first.
    TestDump wide = smallTrueColour(16, klass);
    wide.field[TestDump::kByteOrder] = 0;
    for (char p : pixels) wide.rows += std::string{p, '\0'};
    EXPECT_EQ(grays, dataOf(convert(wide.bytes()))) << klass;
  }
  // DirectColor: a cell of one channel holds any value.
  TestDump d = smallTrueColour(8, DirectColor);
  d.colours[1] = {0, 255, 0};  // red step 1 is 0, green step 1 full
  d.rows = std::string("\x09\x01\x08\x00", 4);
  EXPECT_EQ(std::string("\x96\x00\x96\x00", 4), dataOf(convert(d.bytes())));
  // Four bits: red 0x3, green 0xC, two records a channel.
  TestDump four(4, 2, 1, TrueColor);
  four.field[TestDump::kRed] = 0x3;
  four.field[TestDump::kGreen] = 0xC;
  four.field[TestDump::kBlue] = 0x0;
  four.pixels = {0x0, 0x5, 0xA, 0xF};
  for (int i = 0; i < 4; ++i) four.addColour(uint8_t(i * 85), uint8_t(i * 85), 0);
  four.rows = std::string("\x3c", 1);  // red, green
  EXPECT_EQ(std::string("\x49", 1), dataOf(convert(four.bytes())));
}

TEST_F(XwdTest, EqualMasksMeanGrayPixels) {
  TestDump d(32, 2, 1, StaticGray);
  d.rows = std::string("\xff\xff\xff\xff\x80\x00\x00\x00", 8);
  EXPECT_EQ(std::string("\xff\x7f", 2), dataOf(convert(d.bytes())));
}

TEST_F(XwdTest, SixteenBitTrueColour) {
  TestDump d(16, 3, 1, TrueColor);
  d.field[TestDump::kRed] = 0xF800;
  d.field[TestDump::kGreen] = 0x07E0;
  d.field[TestDump::kBlue] = 0x001F;
  d.field[TestDump::kByteOrder] = 0;
  d.rows = std::string("\x00\xf8\xe0\x07\xff\xff", 6);  // red, green, white
  EXPECT_EQ(std::string("\x4c\x96\xff", 3), dataOf(convert(d.bytes())));
  EXPECT_NE(std::string::npos,
            convert(d.bytes()).find("/BitsPerComponent 8\n"));
}

TEST_F(XwdTest, RunLengthAndGroup4Sections) {
  TestDump d(1, 16, 2, StaticGray);
  d.rows = std::string("\xff\xff\x0f\x00", 4);
  std::string doc = convert(d.bytes());
  EXPECT_NE(std::string::npos, doc.find("/RunLengthDecode filter\n"));
  EXPECT_EQ(std::string("\x01\xff\xff\x01\x0f\x00\x80", 7), dataOf(doc));
  opt.image_g4 = 1;
  doc = convert(d.bytes());
  EXPECT_NE(std::string::npos,
            doc.find("/DataSource currentfile /ASCII85Decode filter \n"
                     "<</K -1/Columns 16/Rows 2/EndOfBlock true/BlackIs1 "
                     "true>> /CCITTFaxDecode filter\n/Decode [0 1]\n>> def\n"));
  // H 0 16 (3 + 8 + 10 bits), then under it black 4..7 differs: bits pad.
  std::string data = dataOf(doc);
  EXPECT_EQ(char(0x26), data[0]);  // 001 00110 ...
}

TEST_F(XwdTest, Group4DataBreaksLinesEvery60Bytes) {
  // Alternating pixels code long rows: several lines of 75 characters.
  TestDump d(1, 64, 20, StaticGray);
  for (int y = 0; y < 20; ++y) d.rows += std::string(8, y % 2 ? '\x55' : '\xaa');
  opt.image_g4 = 1;
  std::string doc = convert(d.bytes());
  size_t from = doc.find("doit\n") + 5;
  size_t to = doc.find("~>", from);
  std::string section = doc.substr(from, to - from);
  size_t nl = section.find('\n');
  ASSERT_NE(std::string::npos, nl);
  if (section.substr(0, nl).find('z') == std::string::npos) {
    EXPECT_EQ(75u, nl);
  }
}

TEST_F(XwdTest, TwoDumpsInOneStreamMakeTwoDocuments) {
  TestDump d(8, 1, 1, PseudoColor);
  d.addColour(0, 0, 0);
  d.rows = std::string(1, '\0');
  std::string both = d.bytes() + d.bytes();
  Reader in{std::string_view(both)};
  Writer out = Writer::memory();
  convertImage(fileJob("two.xwd"), in, out);
  convertImage(fileJob("two.xwd"), in, out);
  std::string doc = out.str();
  EXPECT_NE(doc.find("%!PS-Adobe-2.1"), doc.rfind("%!PS-Adobe-2.1"));
  EXPECT_NE(std::string::npos, doc.find("%%Title: two.xwd\n"));
}

}  // namespace
