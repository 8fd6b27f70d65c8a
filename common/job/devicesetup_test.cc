#include "devicesetup.h"
#include "paper.h"
#include "stamp.h"

#include <gtest/gtest.h>

#include "options.h"
#include "writer.h"

namespace {

struct Setup : testing::Test {
  void SetUp() override { resetOptions(); }
  void select(const char* keyword) {
    std::string s = keyword;
    int code = 0;
    readInputKeyword(s, 0, &code);
  }
  template <typename F>
  std::string text(F f) {
    Writer out = Writer::memory();
    f(out);
    return out.str();
  }
};

const char kTray0[] =
    "<</ManualFeed false>> setpagedevice\n"
    "currentpagedevice /InputAttributes get 0 known {\n"
    "currentpagedevice /InputAttributes get 0 get dup length 1 add dict copy "
    "dup\n/InputAttributes 1 dict dup /Priority [0] put put setpagedevice\n"
    "} if\n";

TEST_F(Setup, InputSourceGuardedOrPlain) {
  select("1");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 1, 2); }),
            std::string(kTray0) + "\n");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 0, 0); }),
            std::string("{ ") + kTray0 + " } stopped pop\n");
  select("A4");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 0, 0); }),
            "{ <</ManualFeed false /PageSize [595 842]>> setpagedevice } "
            "stopped pop\n");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 1, 1); }),
            "{ <</ManualFeed false /PageSize [595 842]>> setpagedevice } "
            "stopped pop\n");
  select("LT");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 1, 0); }),
            "<</ManualFeed false /PageSize [612 792]>> setpagedevice\n");
}

TEST_F(Setup, CustomSizeFeedRequestStandsOutsideTheGuard) {
  select("210x297mm");
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 0, 0); }),
            "1 dict dup /ManualFeed false put setpagedevice\n"
            "{ 595 842 0 0 1\n2 dict begin\npop pop pop\n"
            "2 array astore /PageSize exch def\n/ImagingBBox null def\n"
            "currentdict end setpagedevice\n } stopped pop\n");
  select("-100x150mm");  // manual feed: nothing to set up
  EXPECT_EQ(text([](Writer& o) { setInputSource(o, 0, 0); }), "");
}

TEST_F(Setup, OutputDuplexCopiesJog) {
  EXPECT_EQ(text([](Writer& o) { setOutputTray(o, 2); }),
            "mark { << /OutputAttributes << /Priority [1 0] >> /OutputType "
            "null /OutputFaceUp false /Collate false >> setpagedevice } "
            "stopped cleartomark\n");
  EXPECT_EQ(text([](Writer& o) { setOutputTray(o, 4); }), "");
  EXPECT_EQ(text([](Writer& o) { setDuplex(o, 3); }),
            "mark { <</Duplex true /Tumble true>> setpagedevice } stopped "
            "cleartomark\n");
  EXPECT_EQ(text([](Writer& o) { setDuplex(o, 1); }), "");
  EXPECT_EQ(text([](Writer& o) { setCopies(o, 0, 1); }), "");
  EXPECT_EQ(text([](Writer& o) { setCopies(o, 0, 3); }),
            "<</NumCopies 3>> setpagedevice\n");
  EXPECT_EQ(text([](Writer& o) { setCopies(o, 1, 1); }),
            "<</NumCopies 1>> setpagedevice\n"
            "mark { 1 dict dup /Collate true put setpagedevice } stopped "
            "cleartomark\n");
  EXPECT_EQ(text([](Writer& o) { setCopies(o, 1, 0); }), "");
  EXPECT_EQ(text([](Writer& o) { setJog(o, 1, 3); }),
            "mark { 1 dict dup /Jog 3 put setpagedevice } stopped "
            "cleartomark\n");
  EXPECT_EQ(text([](Writer& o) { setJog(o, 1, 2); }), "");
  EXPECT_EQ(text([](Writer& o) { setJog(o, 0, 1); }), "");
}

TEST_F(Setup, TonerSaverAndEnhancementTexts) {
  EXPECT_EQ(text([](Writer& o) { setTonerSaver(o, 1); }),
            "mark {\n(%Engine%) currentdevparams /TonerSaver known {\n"
            "(%Engine%) 1 dict dup /TonerSaver true put setdevparams\n} if\n"
            "} stopped cleartomark\n"
            "currentpagedevice dup /PostRenderingEnhanceDetails known {\n"
            "/PostRenderingEnhanceDetails get /TonerSaver known {\n"
            "1 dict dup /PostRenderingEnhanceDetails 1 dict dup /TonerSaver 1 "
            "put put setpagedevice\n} if } {pop} ifelse\n");
  EXPECT_EQ(text([](Writer& o) { setRenderEnhance(o, 1); }),
            "currentpagedevice dup /PostRenderingEnhanceDetails known { \n"
            "/PostRenderingEnhanceDetails get /REValue1 known { \n"
            "1 dict dup /PostRenderingEnhanceDetails 1 dict dup /REValue 1 "
            "put put setpagedevice \n} if }{pop}ifelse \n");
  EXPECT_EQ(text([](Writer& o) { setTonerSaver(o, 0); }), "");
}

TEST_F(Setup, PageSizeOfTheSelection) {
  int w = -1, h = -1;
  EXPECT_TRUE(selectedSheetSize(&w, &h));
  EXPECT_EQ(w, 595);
  EXPECT_EQ(h, 842);
  select("8.5x11in");
  EXPECT_TRUE(selectedSheetSize(&w, &h));
  EXPECT_EQ(w, 612);
  select("3");
  w = h = -1;
  EXPECT_FALSE(selectedSheetSize(&w, &h));
  EXPECT_EQ(w, -1);
  sheetSize(&w, &h);  // a tray: A4
  EXPECT_EQ(h, 842);
}

TEST_F(Setup, StampTextsAndProcedures) {
  opt.stamp_user = "ann";
  opt.stamp_host = "pc1";
  std::string font = "Helvetica";
  EXPECT_EQ(makeStamp({0, 1, 2, 0, 0, font}), "User:ann Host:pc1 ");
  std::string dated = makeStamp({0, 2, 0, 1, 0, font});
  EXPECT_EQ(dated.substr(dated.size() - 10), " User:ann ");
  opt.stamp_user = std::string(300, 'u');
  EXPECT_EQ(makeStamp({0, 1, 2, 0, 0, font}).size(), 127u);
  opt.stamp_user = "(x\\";
  EXPECT_EQ(makeStamp({0, 1, 0, 0, 0, font}), "User:\\(x\\\\ ");
  JobContext job;
  job.owner = "(x";
  nameStamp(job);  // an owner alone is ignored: both from the system
  EXPECT_EQ(makeStamp({0, 1, 0, 0, 0, font}).find("(x"), std::string::npos);
  job.host = "pc1";
  nameStamp(job);
  EXPECT_EQ(makeStamp({0, 1, 2, 0, 0, font}), "User:\\(x Host:pc1 ");

  opt.stamp_user = "ann";
  opt.stamp_host = "pc1";
  select("LT");
  EXPECT_EQ(text([&](Writer& o) {
              writeStampProcedures(o, {1, 1, 2, 0, 0, font});
            }),
            "/rsu\n{dup stringwidth pop\n/XX exch def\n792 22 sub /YY exch "
            "def\n597 XX sub /XX exch def\nXX YY moveto\nshow} def\n"
            "/StartHF\n{\n/Helvetica findfont\n8 scalefont\nsetfont\n"
            "(User:ann Host:pc1 ) rsu\n}def\n");
  EXPECT_EQ(text([&](Writer& o) {
              writeStampProcedures(o, {2, 1, 2, 0, 0, font});
            }),
            "/lsd\n{12 15 moveto\nshow} def\n/StartHF\n{\n/Helvetica "
            "findfont\n8 scalefont\nsetfont\n(User:ann Host:pc1 ) lsd\n"
            "}def\n");
  // Turned to landscape, the upper right corner is that of the long side.
  std::string turned = text([&](Writer& o) {
    writeStampProcedures(o, {1, 1, 2, 0, 0, font}, true);
  });
  EXPECT_NE(turned.find("612 22 sub /YY exch def\n777 XX sub"),
            std::string::npos);
}

}  // namespace
