#include "passthrough.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dispatch.h"
#include "options.h"
#include "parse.h"
#include "reader.h"
#include "writer.h"

namespace {

struct PassThrough : testing::Test {
  void SetUp() override {
    resetOptions();
    initTextSet();
    opt.stamp_user = "ann";
    opt.stamp_host = "pc1";
  }
  std::string pass(const std::string& input, const char* options = "",
                   bool filter = false) {
    parseTextOptions(options);
    Reader in(input);
    Writer out = Writer::memory();
    if (filter) copyJobHeader(in, out);
    JobContext job;
    job.name = "zavpsif";
    job.mode = filter ? RunMode::LpdFilter : RunMode::Standalone;
    dispatchInput(in, out, job);
    return out.str();
  }
};

// The stamp procedures at the upper right, drawn on every page (`every`)
// or the first.
std::string stamp(bool every) {
  return std::string(
             "/rsu\n{dup stringwidth pop\n/XX exch def\n"
             "currentpagedevice /PageSize get 1 get 22 sub /YY exch def\n"
             "currentpagedevice /PageSize get 0 get 15 sub XX sub /XX exch def\n"
             "XX YY moveto\nshow} def\n"
             "/FH {1 index stringwidth pop 2 copy lt {div currentfont exch "
             "scalefont setfont} {pop pop} ifelse} def\n"
             "/StartHF\n{\n/Helvetica findfont\n8 scalefont\nsetfont\n"
             "(User:ann Host:pc1 ) "
             "currentpagedevice /PageSize get 0 get 27 sub FH rsu\n}def\n") +
         (every ? "<< /EndPage {exch pop dup 0 eq {"
                : "true setglobal /HFOnce [true] def false setglobal\n"
                  "<< /EndPage {exch pop dup 0 eq //HFOnce 0 get and "
                  "{//HFOnce 0 false put ") +
         "save userdict begin initgraphics //StartHF exec end restore} if 2 "
         "ne} >> setpagedevice\n";
}

TEST_F(PassThrough, CountsTheDocumentsPages) {
  const struct {
    const char* input;
    unsigned pages;
  } cases[] = {
      {"%!PS\nshowpage\n", 0},
      {"%!PS\n%%Page: 1 1\nshowpage\n%%Page: 2 2\nshowpage", 2},
      {"%!PS\r\n%%Page: 1 1\r\n %%Page: x\n(%%Page:) pop\n", 1},
      {"%!PS\n%%Page: 1 1\n%%BeginDocument: a\n%%Page: 1 1\n"
       "%%EndDocument\n%%Page: 2 2\n", 2},
  };
  for (const auto& c : cases) {
    Reader in(std::string(c.input + 2));
    Writer out = Writer::memory();
    EXPECT_EQ(passPostScript('%', '!', in, out), c.pages) << c.input;
  }
}

TEST_F(PassThrough, SetupGoesWhereTheLeadingCommentsEnd) {
  EXPECT_EQ(pass("%!PS\n%%Title: x\nshowpage\n", "-D -Nc=2"),
            "%!PS\n%%Title: x\nmark { <</Duplex true /Tumble false>> "
            "setpagedevice } stopped cleartomark\n"
            "<</NumCopies 2>> setpagedevice\nshowpage\n");
  SetUp();
  EXPECT_EQ(pass("%!\n%c\n\n%d\nx\n", "-Nc=3"),
            "%!\n%c\n<</NumCopies 3>> setpagedevice\n\n%d\nx\n");
  EXPECT_EQ(pass("%!\n%only comments\n", "-Nc=3"), "%!\n%only comments\n");
}

// A document's setup section and feature blocks: the job's requests come
// after them, and the document's blocks for what the job sets go.
TEST_F(PassThrough, SetupAfterTheDocumentsOwn) {
  const std::string head = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n";
  const std::string prolog = "%%BeginProlog\n/p {} def\n%%EndProlog\n";
  const std::string letter =
      "%%BeginFeature: *PageSize Letter\n<</PageSize [612 792]>> setpagedevice\n"
      "%%EndFeature\n";
  const std::string simplex =
      "%%BeginFeature: *Duplex None\n<</Duplex false>> setpagedevice\n%%EndFeature\n";
  const std::string setup = "%%BeginSetup\n" + letter + simplex + "%%EndSetup\n";
  const std::string page = "%%Page: 1 1\nshowpage\n%%Trailer\n%%EOF\n";
  const std::string copies = "<</NumCopies 2>> setpagedevice\n";
  const std::string ps2write = "%%BeginProlog\n/SetPageSize true def\n%%EndProlog\n";
  const struct {
    std::string input;
    const char* options;
    std::string output;
  } cases[] = {
      {head + prolog + setup + page, "-Nc=2", head + prolog + setup + copies + page},
      {head + prolog + setup + page, "-Nc=2 -d",
       head + prolog + "%%BeginSetup\n" + letter + "%%EndSetup\n" +
           "mark { <</Duplex true /Tumble true>> setpagedevice } stopped "
           "cleartomark\n" + copies + page},
      {head + prolog + page, "-Nc=2", head + prolog + copies + page},
      {head + letter + "x\n", "-Nc=2", head + letter + copies + "x\n"},
      {"%!\n%%BeginProlog\nx\n", "-Nc=2", "%!\n%%BeginProlog\n" + copies + "x\n"},
      // Ghostscript's own per-page size gives way to the job's paper only.
      {head + ps2write + page, "-Nc=2", head + ps2write + copies + page},
  };
  for (const auto& c : cases) {
    SetUp();
    EXPECT_EQ(pass(c.input, c.options), c.output) << c.options << "\n" << c.input;
  }
  SetUp();
  std::string onA4 = pass(head + ps2write + page, "-IA4");
  EXPECT_NE(onA4.find("%%BeginProlog\n/SetPageSize false def\n%%EndProlog\n"),
            std::string::npos) << onA4;
}

TEST_F(PassThrough, EnhancementBeforeTonerSaving) {
  std::string d = pass("%!\nx\n", "-t -E");
  EXPECT_LT(d.find("REValue1"), d.find("(%Engine%)"));
}

TEST_F(PassThrough, SignatureAndForcedPostScript) {
  EXPECT_EQ(pass("hello\nworld\n", "-ps"), "%!\nhello\nworld\n");
  EXPECT_EQ(pass("x", "-ps"), "%!\nx\n");  // ends with a newline
  SetUp();
  EXPECT_EQ(pass("\x04%!\nx\n"), "\x04%!\nx\n");
}

TEST_F(PassThrough, StampWhereTheSetupGoes) {
  EXPECT_EQ(pass("%!\n%%Pages: 1\nx\nshowpage\n", "-Hd=ur"),
            "%!\n%%Pages: 1\n" + stamp(false) + "x\nshowpage\n");
  SetUp();
  EXPECT_EQ(pass("%!\nx\nshowpage\n", "-Hd=ur::a"),
            "%!\n" + stamp(true) + "x\nshowpage\n");
}

TEST_F(PassThrough, StampTextIsEscaped) {
  opt.stamp_user = "a)b\\";
  std::string d = pass("%!\nx\n", "-Hd=dl");
  EXPECT_NE(d.find("(User:a\\)b\\\\ Host:pc1 ) "), std::string::npos);
}

TEST_F(PassThrough, JobHeaderStaysInFront) {
  std::string header = "\x1b%-12345X@PJL JOB\n@PJL ENTER LANGUAGE=POSTSCRIPT\n";
  EXPECT_EQ(pass(header + "%!PS\nx\n", "-Nc=2", true),
            header + "%!PS\n<</NumCopies 2>> setpagedevice\nx\n");
  SetUp();
  EXPECT_EQ(pass(header + "x\n", "-ps", true), header + "%!\nx\n");
}

TEST_F(PassThrough, OnlyAnEscapeBeginsAJobHeader) {
  // Each input in filter mode, and how the document begins.
  const struct {
    const char* input;
    const char* options;
    const char* begins;
  } cases[] = {
      {"a%b\nplain\n", "", "%!PS-Adobe-2.1\n"},
      {"\x04%!\nx\n", "-Nc=2", "\x04%!\n<</NumCopies 2>> setpagedevice\nx\n"},
      {"5%\nx\n", "-ps", "%!\n5%\nx\n"},
      {"%%\nx\n", "-ps", "%!\n%%\nx\n"},
  };
  for (const auto& c : cases) {
    SetUp();
    std::string d = pass(c.input, c.options, true);
    EXPECT_EQ(d.rfind(c.begins, 0), 0u) << c.input << d.substr(0, 40);
  }
}

TEST_F(PassThrough, RefusesPdfAndBinaryText) {
  const struct {
    std::string input;
    const char* options;
    const char* message;  // empty: not refused
  } cases[] = {
      {"%PDF-1.4\n", "", "PDF not printed: "},
      {"%PDF-1.4\n", "-ps", "PDF not printed: "},
      {std::string("\x7f" "ELF\0\0", 6), "", "binary file, not printed\n"},
      {std::string("%!\n\0\1", 5), "", ""},
  };
  for (const auto& c : cases) {
    SetUp();
    try {
      pass(c.input, c.options, true);
      EXPECT_STREQ("", c.message) << c.input;
    } catch (const FatalError& e) {
      EXPECT_EQ(c.message, e.message.substr(0, std::strlen(c.message)));
      EXPECT_EQ(2, e.status);
    }
  }
}

}  // namespace
