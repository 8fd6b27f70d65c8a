// The image filter as a whole program: names and modes, the command line,
// end of job and accounting, interrupts, and documents as Ghostscript
// prints them.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "run.h"
#include "testdump.h"

namespace {

const std::string kData = IMGTOPS_TESTDATA;

std::string fixture(const std::string& name) { return kData + "/" + name; }

// The last byte of an output, '\0' for none.
char lastByte(const std::string& s) { return s.empty() ? '\0' : s.back(); }

RunResult imgtops(const std::string& name, std::vector<std::string> args,
                  const std::string& input = "",
                  std::vector<std::string> env = {}) {
  args.insert(args.begin(), bin(name));
  RunOptions o;
  o.input = input;
  o.env = std::move(env);
  o.env.push_back("HOME=/nonexistent");
  return run(args, o);
}

/// A netpbm image: width, height and the gray each pixel should print as.
struct Gray {
  int width = 0, height = 0;
  std::vector<uint8_t> level;
};

/// Reads P4, P5 or P6 (maxval up to 65535); 1-bit images give black for
/// set bits. With `printed`, every pixel becomes the gray the printer makes
/// of it (0.3 R + 0.59 G + 0.11 B, truncated); without, gray maps are read
/// as they are.
Gray readPnm(const std::string& data, bool printed = true) {
  Gray g;
  size_t pos = 0;
  auto token = [&]() {
    for (;;) {
      while (pos < data.size() && isspace(static_cast<unsigned char>(data[pos]))) ++pos;
      if (pos < data.size() && data[pos] == '#') {
        while (pos < data.size() && data[pos] != '\n') ++pos;
        continue;
      }
      break;
    }
    size_t start = pos;
    while (pos < data.size() && !isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    return data.substr(start, pos - start);
  };
  std::string magic = token();
  g.width = std::atoi(token().c_str());
  g.height = std::atoi(token().c_str());
  int maxval = magic == "P4" ? 1 : std::atoi(token().c_str());
  ++pos;
  auto byte = [&](size_t i) { return static_cast<unsigned char>(data[pos + i]); };
  int channels = magic == "P6" ? 3 : 1;
  size_t sample = maxval > 255 ? 2 : 1;
  size_t need = magic == "P4" ? size_t(g.height) * ((g.width + 7) / 8)
                              : size_t(g.height) * g.width * channels * sample;
  if (g.width <= 0 || g.height <= 0 || maxval <= 0 || pos + need > data.size())
    return Gray{};  // no image, or a cut one: nothing to compare
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      if (magic == "P4") {
        size_t at = size_t(y) * ((g.width + 7) / 8) + size_t(x) / 8;
        g.level.push_back(byte(at) & (0x80 >> (x % 8)) ? 0 : 255);
        continue;
      }
      int v[3];
      for (int c = 0; c < channels; ++c) {
        size_t at = ((size_t(y) * g.width + x) * channels + c) * sample;
        v[c] = byte(at) * 255 / (maxval > 255 ? 255 : maxval);
      }
      if (channels == 1 && !printed) {
        g.level.push_back(v[0]);
        continue;
      }
      if (channels == 1) v[1] = v[2] = v[0];
      g.level.push_back(std::min(255, int(0.3 * v[0] + 0.59 * v[1] + 0.11 * v[2])));
    }
  return g;
}

/// Renders a document (by default at 144 dpi, one image pixel on one
/// device pixel) without smoothing, which would blend neighbouring pixels.
Gray render(const std::string& doc, const std::string& resolution = "144") {
  TempDir dir;
  RunResult r = ghostscript(doc, {"-sDEVICE=pgmraw", "-r" + resolution,
                                  "-dNOINTERPOLATE",
                                  "-sOutputFile=" + dir.path + "/page.pgm"});
  EXPECT_EQ(0, r.status) << r.out << r.err;
  return readPnm(readFile(dir.path + "/page.pgm"), false);
}

/// Compares the image area of a rendered page (corner 36 pixels from the
/// left and bottom edges) with the expected grays; returns the count of
/// pixels off by more than `tolerance`.
int differences(const Gray& page, const Gray& want, int tolerance) {
  int bad = 0;
  int top = page.height - 36 - want.height;
  if (top < 2 || page.width < 36 + want.width) {
    ADD_FAILURE() << "no rendered page to hold a " << want.width << "x"
                  << want.height << " image";
    return want.width * want.height + 1;
  }
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      int got = page.level[size_t(top + y) * page.width + 36 + x];
      int expected = want.level[size_t(y) * want.width + x];
      if (std::abs(got - expected) > tolerance && ++bad <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << got << " not "
                      << expected;
    }
  // Nothing printed around the image.
  for (int x = 0; x < page.width; ++x)
    if (page.level[size_t(top - 2) * page.width + x] != 255) ++bad;
  return bad;
}

/// A rectangle of device pixels, row 0 at the top of the page.
struct Box {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
  bool meets(const Box& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom &&
           o.top <= bottom;
  }
};

/// Where a page has ink of a gray from `lo` to `hi`.
Box inkBox(const Gray& page, int lo, int hi) {
  Box b;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      int v = page.level[size_t(y) * size_t(page.width) + size_t(x)];
      if (v < lo || v > hi) continue;
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.top = std::min(b.top, y);
      b.bottom = std::max(b.bottom, y);
    }
  return b;
}

TEST(ImgtopsNames, VersionByInvocationName) {
  EXPECT_EQ("imgtops version = " ZAVPS_VERSION "\n", imgtops("imgtops", {"-V"}).err);
  EXPECT_EQ("imgtog4 version = " ZAVPS_VERSION "\n", imgtops("imgtog4", {"-V"}).err);
  EXPECT_EQ("zavpsvf version = " ZAVPS_VERSION "\n", imgtops("zavpsvf", {"-V"}).err);
  EXPECT_EQ("zavpsg4f version = " ZAVPS_VERSION "\n", imgtops("zavpsg4f", {"-V"}).err);
  EXPECT_EQ(0, imgtops("zavpsg4f", {"-V"}).status);
  TempDir dir;
  std::string other = dir.path + "/myfilter";
  ASSERT_EQ(0, symlink(bin("imgtops").c_str(), other.c_str()));
  RunResult r = run({other, "-V"});
  EXPECT_EQ("zavpsvf version = " ZAVPS_VERSION "\n", r.err);
}

TEST(ImgtopsNames, CreatorAndEndByteFollowTheName) {
  std::string dump = readFile(fixture("text.xwd"));
  struct Case {
    const char* name;
    const char* creator;
    bool endByte;
    bool g4;
  } cases[] = {{"imgtops", "imgtops", false, false},
               {"imgtog4", "imgtog4", false, true},
               {"zavpsvf", "qmpvf", true, false},
               {"zavpsg4f", "qmpg4f", true, true}};
  for (const Case& c : cases) {
    RunResult r = imgtops(c.name, {}, dump);
    EXPECT_EQ(0, r.status) << c.name;
    EXPECT_NE(std::string::npos,
              r.out.find(std::string("%%Creator: ") + c.creator + "\n"));
    EXPECT_EQ(c.endByte, lastByte(r.out) == '\x04') << c.name;
    EXPECT_EQ(c.g4, r.out.find("/CCITTFaxDecode") != std::string::npos);
    std::string doc = r.out;
    if (lastByte(doc) == '\x04') doc.pop_back();
    EXPECT_TRUE(printsCleanly(doc)) << c.name;
  }
  // Started through a path, standard input, no end byte.
  RunResult r = run({bin("imgtog4")}, RunOptions{dump, {}, ""});
  EXPECT_NE(std::string::npos, r.out.find("%%Title: stdin\n"));
  EXPECT_EQ("xpsav restore\n", r.out.substr(r.out.size() - 14));
}

TEST(ImgtopsCommandLine, UsageAndStandaloneErrors) {
  RunResult r = imgtops("imgtops", {"-"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("Usage: " + bin("imgtops") +
                " [ -c -w width -l length -i indent -n login -h host -I "
                "input -O output] [-d|-D] filename\n",
            r.err);
  for (const char* letter : {"a", "L"}) {
    r = imgtops("imgtops", {std::string("-") + letter + "x"});
    EXPECT_EQ(255, r.status);
    EXPECT_EQ(std::string("Unknown option '") + letter + "'\n", r.err);
  }
  for (const char* letter : {"i", "x", "y"}) {
    r = imgtops("imgtog4", {std::string("-") + letter + "1"});
    EXPECT_EQ(255, r.status);
    EXPECT_EQ(std::string("Illegal option -") + letter + "\n", r.err);
    EXPECT_EQ("", r.out);
  }
  // -h, --help: the image filter's own options, not the text filter's
  // nor those only PostScript input uses; the spooler's names answer
  // with the version on standard error.
  for (const char* help : {"-h", "--help"}) {
    r = imgtops("imgtog4", {help});
    EXPECT_EQ(0, r.status) << help;
    EXPECT_EQ("", r.err) << help;
    EXPECT_NE(std::string::npos, r.out.find("-G4")) << help;
    EXPECT_EQ(std::string::npos, r.out.find("-mg=")) << help;
    EXPECT_EQ(std::string::npos, r.out.find("PAGES")) << help;
  }
  r = imgtops("imgtog4", {"--version"});
  EXPECT_EQ("imgtog4 version = " ZAVPS_VERSION "\n", r.out);
  r = imgtops("zavpsg4f", {"--help"});
  EXPECT_EQ("zavpsg4f version = " ZAVPS_VERSION "\n", r.err);
  EXPECT_EQ("", r.out);
  for (const char* name : {"imgtops", "zavpsvf"}) {
    r = imgtops(name, {"-Z"}, readFile(fixture("text.xwd")));
    EXPECT_EQ(std::string(name) == "imgtops" ? 255 : 2, r.status);  // discard
    EXPECT_EQ(std::string(name) == "imgtops"
                  ? "Unknown option 'Z'\n"
                  : "zavpsvf: job of ?@?: Unknown option 'Z'\n",
              r.err);
    EXPECT_EQ("", r.out);
  }
  r = imgtops("imgtops", {"-I50x100mm"});
  EXPECT_EQ(255, r.status);
  EXPECT_EQ("Illegal paper size\n", r.err);
  // Under the spooler the same size is taken without a check.
  r = imgtops("zavpsvf", {"-I50x100mm"}, readFile(fixture("text.xwd")));
  EXPECT_EQ(0, r.status);
}

TEST(ImgtopsCommandLine, FilterModeTakesTheSpoolerArguments) {
  TempDir dir;
  std::string acct = dir.write("acct", "");
  std::string dump = readFile(fixture("pattern.xwd"));
  RunResult r = imgtops("zavpsvf", {"-x2048", "-y1024", "-n", "ann", "-h",
                                    "pc1", "-w80", acct},
                        dump);
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ('\x04', lastByte(r.out));
  EXPECT_EQ("XWD\tpc1:ann\n", readFile(acct));
  // Debian's lpd passes the job name as a separate argument after -j.
  r = imgtops("zavpsvf", {"-x0", "-y0", "-n", "ann", "-j", "pic.xwd", "-h",
                          "pc1", acct},
              dump);
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("XWD\tpc1:ann\nXWD\tpc1:ann\n", readFile(acct));
  // No login: no record, but the end byte all the same.
  r = imgtops("zavpsg4f", {"-h", "pc1", acct}, dump);
  EXPECT_EQ('\x04', lastByte(r.out));
  EXPECT_EQ("XWD\tpc1:ann\nXWD\tpc1:ann\n", readFile(acct));
  // -n as the last argument leaves the login unset.
  r = imgtops("zavpsvf", {"-a", acct, "-n"}, dump);
  EXPECT_EQ("XWD\tpc1:ann\nXWD\tpc1:ann\n", readFile(acct));
  // A missing accounting file is not created.
  r = imgtops("zavpsvf", {"-n", "ann", "-h", "pc1", dir.path + "/none"}, dump);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(-1, access((dir.path + "/none").c_str(), F_OK));
  // Standalone: no record and no end byte, whatever is given.
  r = imgtops("imgtops", {}, dump);
  EXPECT_NE('\x04', lastByte(r.out));
}

TEST(ImgtopsCommandLine, OneDocumentPerFileThenCannotOpen) {
  RunResult r = imgtops("imgtops", {fixture("text.xwd"), fixture("ramp.xwd")});
  EXPECT_EQ(0, r.status);
  size_t second = r.out.find("%!PS-Adobe-2.1", 1);
  ASSERT_NE(std::string::npos, second);
  EXPECT_NE(std::string::npos, r.out.find("%%Title: " + fixture("ramp.xwd")));
  EXPECT_TRUE(printsCleanly(r.out.substr(0, second)));
  EXPECT_TRUE(printsCleanly(r.out.substr(second)));

  r = imgtops("imgtops", {fixture("text.xwd"), "/nonexistent/b.xwd"});
  EXPECT_EQ(255, r.status);
  EXPECT_EQ("imgtops: /nonexistent/b.xwd: No such file or directory\n", r.err);
  EXPECT_EQ("xpsav restore\n", r.out.substr(r.out.size() - 14));
  EXPECT_TRUE(printsCleanly(r.out));
}

// Statuses and messages of inputs that cannot be printed whole. Under
// the spooler a refused job still ends with the end byte.
TEST(ImgtopsCommandLine, RefusedAndShortInputs) {
  TempDir dir;
  std::string dump = readFile(fixture("text.xwd"));
  TestDump gray(8, 4, 4, 1);  // GrayScale
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;
    bool document;
  } cases[] = {
      {"imgtops", {}, "", 255, "imgtops: stdin: empty input, not printed\n", false},
      {"zavpsvf", {}, "", 2, "zavpsvf: job of ?@?: empty input, not printed\n", false},
      {"zavpsvf", {"-n", "ann", "-h", "pc1"}, "GIF89a" + std::string(300, 'x'), 2,
       "zavpsvf: job of ann@pc1: not an image this filter prints, not printed\n", false},
      {"zavpsg4f", {}, gray.bytes(), 2,
       "zavpsg4f: job of ?@?: window dump of a kind not printed\n", false},
      {"zavpsvf", {}, dump.substr(0, 100), 2,
       "zavpsvf: job of ?@?: window dump data ends after 0 of 24 rows, not printed\n",
       false},
      {"zavpsvf", {}, dump.substr(0, dump.size() * 3 / 4), 0,
       "zavpsvf: job of ?@?: window dump data ends after 17 of 24 rows, white below\n",
       true},
      {"imgtops", {dir.path, fixture("text.xwd")}, "", 255,
       "imgtops: " + dir.path + ": is a directory, not printed\n", true},
  };
  for (const auto& c : cases) {
    RunResult r = imgtops(c.name, c.args, c.input);
    EXPECT_EQ(c.status, r.status) << c.err;
    EXPECT_EQ(c.err, r.err);
    std::string doc = r.out;
    bool endByte = std::string(c.name) != "imgtops";
    EXPECT_EQ(endByte, !doc.empty() && doc.back() == '\x04') << c.err;
    if (endByte && !doc.empty()) doc.pop_back();
    EXPECT_EQ(c.document, !doc.empty()) << c.err;
    if (c.document) {
      EXPECT_EQ(1, pagesPrinted(doc)) << c.err;
    }
  }
  for (const char* name : {"imgtops", "zavpsvf"}) {
    RunResult r = run({"sh", "-c", "exec \"$0\" > /dev/full", bin(name)},
                      {dump, {}, ""});
    EXPECT_EQ(std::string(name) == "zavpsvf" ? 1 : 255, r.status);  // retry
    EXPECT_EQ(std::string(name) == "zavpsvf"
                  ? "zavpsvf: job of ?@?: cannot write output: No space left on device\n"
                  : "imgtops: cannot write output: No space left on device\n",
              r.err);
  }
  // A refused job is not retried because its end byte was not written.
  RunResult r = run({"sh", "-c", "exec \"$0\" > /dev/full", bin("zavpsvf")},
                    {"not a dump", {}, ""});
  EXPECT_EQ(2, r.status);
  EXPECT_EQ("zavpsvf: job of ?@?: not an image this filter prints, not printed\n"
            "zavpsvf: job of ?@?: cannot write output: No space left on device\n",
            r.err);
}

// A pipe that brings a huge dump's first rows and breaks off before half
// of them: more than the filter reads ahead, so the image has begun; it
// ends where the data does: the output is no more than twice the input.
TEST(ImgtopsCommandLine, ShortDumpOnAPipeEndsTheImage) {
  TestDump d(8, 16000, 16000, 0);
  d.rows = std::string(size_t{16000} * 4400, '\x80');
  std::string dump = d.bytes();
  RunResult r = imgtops("imgtops", {}, dump);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("imgtops: stdin: window dump data ends after 4400 of 16000 rows, image ended there\n",
            r.err);
  EXPECT_LT(r.out.size(), 2 * dump.size());  // was 4.5 times, white below
  EXPECT_EQ(1, pagesPrinted(r.out));
}

TEST(ImgtopsDocument, PrologTextsFor640By480) {
  TestDump d(8, 640, 480, 3);
  d.addColour(0, 0, 0);
  d.rows = std::string(640 * 480, '\0');
  std::string dump = d.bytes();
  std::string doc = imgtops("imgtops", {}, dump).out;
  EXPECT_NE(std::string::npos,
            doc.find("%%Page: one 1\n/cbitWidth 640 def\n/cbitHt 480 def\n"
                     "/cbitDepth 8 def\n"));
  EXPECT_NE(std::string::npos,
            doc.find("\n0.250000 inch 0.250000 inch translate\n"));
  EXPECT_NE(std::string::npos,
            doc.find(" fitDev\nxDev yDev scale\n/dxWidInch 8.8888890 def\n"
                     "/dyHtInch 6.666667 def\n/DeviceGray setcolorspace\n"
                     "/ImageDict <<\n/ImageType 1\n/Interpolate true\n"
                     "/Width 640 /Height 480 /BitsPerComponent 8\n"
                     "/ImageMatrix [640 0 0 -480 0 480]\n"
                     "/DataSource currentfile /ASCII85Decode filter \n"
                     "/Decode [0 1]\n>> def\n%%EndProlog\ndoit\n"));
  EXPECT_NE(std::string::npos, doc.find("~>\ngrestore\nshowpage\n%%Trailer\n"
                                        "%%Pages: 1\nxpsav restore\n"));
  EXPECT_TRUE(printsCleanly(doc));

  doc = imgtops("imgtops", {"-S=5"}, dump).out;
  EXPECT_EQ(std::string::npos, doc.find("xDev yDev scale"));
  EXPECT_NE(std::string::npos,
            doc.find("/dxWidInch 5.0000000 def\n/dyHtInch 3.750000 def\n"));
  doc = imgtops("imgtops", {"-p300"}, dump).out;
  EXPECT_NE(std::string::npos,
            doc.find("/dxWidInch 4.1666670 def\n/dyHtInch 3.125000 def\n"));
  doc = imgtops("imgtops", {"-s=2,3"}, dump).out;
  EXPECT_NE(std::string::npos,
            doc.find("/dxWidInch 2.0000000 def\n/dyHtInch 3.000000 def\n"));
  EXPECT_TRUE(printsCleanly(doc));

  doc = imgtops("imgtops", {"-n"}, dump).out;
  EXPECT_EQ(std::string::npos, doc.find("%%Page: one"));
  EXPECT_NE(std::string::npos, doc.find("%%Pages: (atend)\n"));
  EXPECT_NE(std::string::npos,
            doc.find("~>\ngrestore\n%%Trailer\nxpsav restore\n"));

  doc = imgtops("imgtops", {"-r"}, dump).out;
  EXPECT_NE(std::string::npos,
            doc.find("/cbitDepth 8 def\n90 rotate 0 urx llx add neg translate\n"
                     "0.250000 inch 0.250000 inch translate\n"));
  EXPECT_TRUE(printsCleanly(doc));
}

TEST(ImgtopsDocument, StampRaisesTheOffset) {
  std::string dump = readFile(fixture("text.xwd"));
  std::string doc = imgtops("imgtops", {"-Hd=dl"}, dump).out;
  EXPECT_NE(std::string::npos, doc.find("/lsd\n{12 15 moveto\nshow} def\n"));
  EXPECT_NE(std::string::npos,
            doc.find("%%Page: one 1\nStartHF\n/cbitWidth"));
  EXPECT_NE(std::string::npos, doc.find("0.250000 inch 0.300000 inch translate\n"));
  EXPECT_TRUE(printsCleanly(doc));
  doc = imgtops("imgtops", {"-Hd=ur", "-l=1,0.5"}, dump).out;
  EXPECT_NE(std::string::npos, doc.find("1.000000 inch 0.500000 inch translate\n"));
  doc = imgtops("imgtops", {"-l=0.25,0.25"}, dump).out;
  EXPECT_NE(std::string::npos, doc.find("0.250000 inch 0.250000 inch translate\n"));
  // Turned a quarter, x is the offset from the sheet's lower edge.
  doc = imgtops("imgtops", {"-r", "-Hd=dr"}, dump).out;
  EXPECT_NE(std::string::npos, doc.find("0.300000 inch 0.250000 inch translate\n"));
}

TEST(ImgtopsDocument, DeviceSetupComesAfterTheHeader) {
  std::string doc =
      imgtops("imgtops", {"-ILT", "-Nc=2", "-D", "-t"}, readFile(fixture("text.xwd"))).out;
  size_t end = doc.find("%%EndComments\n");
  size_t copies = doc.find("<</NumCopies 2>> setpagedevice\n");
  size_t prolog = doc.find("save /xpsav exch def\n");
  EXPECT_LT(end, doc.find("612 792"));
  EXPECT_LT(end, copies);
  EXPECT_LT(copies, prolog);
  EXPECT_TRUE(printsCleanly(doc));
}

TEST(ImgtopsGeometry, ScreenDumpsFitTheSheetClearOfStamps) {
  // Uniform gray 128: the stamp's black stays apart from it.
  auto screen = [](uint32_t w, uint32_t h) {
    TestDump d(8, w, h, 0);
    d.rows = std::string(size_t{w} * h, '\x80');
    return d.bytes();
  };
  const std::string wide = screen(1920, 1080), tall = screen(1080, 1920);
  struct Case {
    const char* resolution;
    std::vector<std::string> args;
    bool tallDump;
  } cases[] = {{"72", {}, false},           {"150", {}, false},
               {"600", {}, false},          {"150", {"-r"}, false},
               {"150", {"-Hd=ur"}, true},   {"150", {"-Hd=dl"}, true},
               {"150", {"-r", "-Hd=dr"}, false},
               {"150", {"-r", "-Hd=ul"}, false}};
  for (const Case& c : cases) {
    std::string what = std::string(c.resolution) + " dpi " +
                       (c.args.empty() ? "" : c.args.back());
    bool turned = !c.args.empty() && c.args[0] == "-r";
    Gray page = render(imgtops("imgtops", c.args, c.tallDump ? tall : wide).out,
                       c.resolution);
    Box image = inkBox(page, 100, 160);
    ASSERT_FALSE(image.empty()) << what;
    // Upright on the page, the long side is across when the dump is wide.
    double aspect = (c.tallDump != turned) ? 1080.0 / 1920 : 1920.0 / 1080;
    EXPECT_NEAR(aspect, double(image.width()) / image.height(), 0.01 * aspect)
        << what;
    // One image pixel per device pixel, or scaled down to fill the sheet.
    int longSide = c.tallDump != turned ? image.height() : image.width();
    if (longSide != 1920) {
      EXPECT_GT(std::max(double(image.width()) / page.width,
                         double(image.height()) / page.height), 0.9) << what;
    }
    if (c.args.size() > (turned ? 1u : 0u)) {
      Box stamp = inkBox(page, 0, 60);
      EXPECT_FALSE(stamp.empty()) << what;
      EXPECT_FALSE(stamp.meets(image)) << what;
    }
  }
}

// A size option never runs the image off the sheet: a width that would
// make a tall image taller than the sheet gives way to the height.
TEST(ImgtopsGeometry, SizesStayOnTheSheet) {
  TestDump d(8, 228, 396, 0);
  d.rows = std::string(228 * 396, '\x80');
  const struct {
    std::vector<std::string> args;
    double aspect;  // height by width, whole on the sheet
  } cases[] = {{{"-S=7"}, 396.0 / 228}, {{"-s=7,20"}, 20.0 / 7},
               {{"-p 700"}, 396.0 / 228}, {{"-S=2"}, 396.0 / 228}};
  for (const auto& c : cases) {
    Gray page = render(imgtops("imgtops", c.args, d.bytes()).out, "36");
    Box ink = inkBox(page, 100, 160);
    ASSERT_FALSE(ink.empty()) << c.args[0];
    EXPECT_NEAR(c.aspect, double(ink.height()) / ink.width(), 0.03 * c.aspect)
        << c.args[0];
  }
  // A size that fits prints as asked: 2 inches at 36 dpi.
  Gray page = render(imgtops("imgtops", {"-S=2"}, d.bytes()).out, "36");
  EXPECT_NEAR(72, inkBox(page, 100, 160).width(), 2);
}

TEST(ImgtopsGeometry, DevicePixelsCountedAfterTheTurn) {
  TestDump d(1, 64, 32, 0);
  d.rows = std::string(8 * 32, '\xff');
  for (const char* resolution : {"144x72", "72x144"})
    for (bool turned : {false, true}) {
      Box ink = inkBox(render(imgtops("imgtops", turned ? std::vector<std::string>{"-r"}
                                                        : std::vector<std::string>{},
                                      d.bytes()).out, resolution), 0, 0);
      EXPECT_EQ(turned ? 32 : 64, ink.width()) << resolution << turned;
      EXPECT_EQ(turned ? 64 : 32, ink.height()) << resolution << turned;
    }
}

TEST(ImgtopsPrints, OneBitRunLengthAndGroup4) {
  std::string dump = readFile(fixture("text.xwd"));
  Gray want = readPnm(readFile(fixture("text.pbm")));
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {}, dump).out), want, 0));
  EXPECT_EQ(0, differences(render(imgtops("imgtog4", {}, dump).out), want, 0));
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {"-G4"}, dump).out), want, 0));
}

TEST(ImgtopsPrints, EightBitColourAndGrayMaps) {
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("pattern.xwd")}).out),
                           readPnm(readFile(fixture("pattern.ppm"))), 1));
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("ramp.xwd")}).out),
                           readPnm(readFile(fixture("ramp.pgm"))), 1));
}

TEST(ImgtopsPrints, DumpsOfARealServer) {
  Gray want = readPnm(readFile(fixture("xvfb.ppm")));
  for (const char* dump : {"xvfb24.xwd", "xvfb30.xwd"})
    EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture(dump)}).out),
                             want, 1)) << dump;
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("xvfb8.xwd")}).out),
                           want, 1));
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("xvfb8direct.xwd")}).out),
                           want, 1));
  // TrueColor of depth 8 has no exact gray: its own colours.
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("xvfb8true.xwd")}).out),
                           readPnm(readFile(fixture("xvfb8true.ppm"))), 1));
  // 16 bits keep 5 or 6 bits a channel.
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {fixture("xvfb16.xwd")}).out),
                           want, 6));
}

// A random-looking bitmap of `w` x `h` as PBM, and the same as a dump in a
// given bitmap layout.
std::string pbmBits(int w, int h, unsigned seed) {
  std::string bits;
  for (int i = 0; i < h * ((w + 7) / 8); ++i) {
    seed = seed * 1103515245 + 12345;
    bits += char((seed >> 16) & ((seed >> 8) & 1 ? 0xFF : 0x0F));
  }
  return bits;
}

TEST(ImgtopsPrints, BitmapLayoutsOfOtherServers) {
  const int w = 37, h = 9;
  std::string bits = pbmBits(w, h, 7);
  Gray want = readPnm("P4\n37 9\n" + bits);
  // LSBFirst bytes and bits, 32-bit units, rows padded to 8 bytes.
  TestDump d(1, w, h, 0);
  d.field[TestDump::kUnit] = 32;
  d.field[TestDump::kByteOrder] = 0;
  d.field[TestDump::kBitOrder] = 0;
  d.field[TestDump::kBytesPerLine] = 8;
  for (int y = 0; y < h; ++y) {
    std::string row = bits.substr(size_t(y) * 5, 5) + std::string(3, '\0');
    for (char& c : row) {
      unsigned char b = static_cast<unsigned char>(c), r = 0;
      for (int i = 0; i < 8; ++i)
        if (b & (1 << i)) r |= static_cast<unsigned char>(0x80 >> i);
      c = char(r);
    }
    d.rows += row;
  }
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {}, d.bytes()).out), want, 0));
  EXPECT_EQ(0, differences(render(imgtops("imgtog4", {}, d.bytes()).out), want, 0));
}

TEST(ImgtopsPrints, FourBitBothNibbleOrdersOddWidth) {
  const int w = 5, h = 3;
  TestDump d(4, w, h, 3);
  Gray want{w, h, {}};
  for (int i = 0; i < 16; ++i) d.addColour(uint8_t(i * 17), uint8_t(255 - i * 17), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int v = (x * 3 + y * 5) % 16;
      int gray = std::min(255, int(0.3 * v * 17 + 0.59 * (255 - v * 17)));
      want.level.push_back((gray + 8) / 17 * 17);
    }
  for (int lsb = 0; lsb < 2; ++lsb) {
    d.field[TestDump::kByteOrder] = lsb ? 0 : 1;
    d.rows.clear();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; x += 2) {
        int a = (x * 3 + y * 5) % 16;
        int b = x + 1 < w ? ((x + 1) * 3 + y * 5) % 16 : 0;
        d.rows += char(lsb ? (b << 4 | a) : (a << 4 | b));
      }
    EXPECT_EQ(0, differences(render(imgtops("imgtops", {}, d.bytes()).out), want, 1))
        << "byte order " << lsb;
  }
}

TEST(ImgtopsPrints, TwentyFourBitsMostSignificantByteFirst) {
  Gray colours = readPnm(readFile(fixture("xvfb.ppm")));
  std::string ppm = readFile(fixture("xvfb.ppm"));
  std::string pixels = ppm.substr(ppm.size() - size_t(colours.width * colours.height * 3));
  TestDump d(24, uint32_t(colours.width), uint32_t(colours.height), 4);
  d.field[TestDump::kRed] = 0xFF;  // blue in the high byte this time
  d.field[TestDump::kGreen] = 0xFF00;
  d.field[TestDump::kBlue] = 0xFF0000;
  for (size_t i = 0; i < pixels.size(); i += 3)
    d.rows += std::string(1, '\0') + pixels[i + 2] + pixels[i + 1] + pixels[i];
  EXPECT_EQ(0, differences(render(imgtops("imgtops", {}, d.bytes()).out), colours, 1));
}

// The Group 4 stream equals libtiff's for the same bitmap, up to the
// end-of-block code libtiff appends.
uint32_t tiffWord(const std::string& t, size_t at, int size, bool little) {
  uint32_t v = 0;
  for (int i = 0; i < size; ++i) {
    uint32_t b = static_cast<unsigned char>(t[at + size_t(i)]);
    v |= little ? b << (8 * i) : b << (8 * (size - 1 - i));
  }
  return v;
}

std::string tiffStrip(const std::string& t) {
  bool little = t[0] == 'I';
  size_t ifd = tiffWord(t, 4, 4, little);
  uint32_t count = tiffWord(t, ifd, 2, little), offset = 0, bytes = 0;
  for (uint32_t i = 0; i < count; ++i) {
    size_t e = ifd + 2 + 12 * i;
    uint32_t tag = tiffWord(t, e, 2, little), type = tiffWord(t, e + 2, 2, little);
    uint32_t value = tiffWord(t, e + 8, type == 3 ? 2 : 4, little);
    if (tag == 273) offset = value;
    if (tag == 279) bytes = value;
  }
  return t.substr(offset, bytes);
}


TEST(ImgtopsGroup4, SameStreamAsLibtiff) {
  if (!haveProgram("pnmtotiff")) GTEST_SKIP() << "netpbm not installed";
  TempDir dir;
  std::string pbm = "P4\n203 61\n" + pbmBits(203, 61, 99);
  std::vector<std::pair<std::string, std::string>> images = {
      {"text", readFile(fixture("text.pbm"))}, {"noise", pbm}};
  for (const auto& [name, image] : images) {
    std::string path = dir.write(name + ".pbm", image);
    RunResult tiff = run({"pnmtotiff", "-g4", "-rowsperstrip", "100000", path});
    ASSERT_EQ(0, tiff.status) << tiff.err;
    std::string theirs = tiffStrip(tiff.out);
    RunResult dump = run({"pnmtoxwd", path});
    ASSERT_EQ(0, dump.status);
    std::string ours = imageData(imgtops("imgtog4", {}, dump.out).out);
    EXPECT_EQ(theirs, ours) << name;  // end-of-block code and padding too
  }
}

// Small images whose last row's code ends the data: the decoder reads
// ahead of it, and must still print the last row.
TEST(ImgtopsGroup4, LastRowPrints) {
  const struct {
    int w, h;
    std::string bits;
  } cases[] = {
      {16, 2, std::string("\xE7\xFF\xE0\x00", 4)},
      {16, 1, std::string("\x00\x01", 2)},
      {9, 3, pbmBits(9, 3, 11)},
      {37, 4, pbmBits(37, 4, 5)},
  };
  for (const auto& c : cases) {
    TestDump d(1, c.w, c.h, 0);
    d.rows = c.bits;
    Gray want = readPnm("P4\n" + std::to_string(c.w) + " " + std::to_string(c.h) +
                        "\n" + c.bits);
    EXPECT_EQ(0, differences(render(imgtops("imgtog4", {}, d.bytes()).out), want, 0))
        << c.w << "x" << c.h;
  }
}

// Whether `pid` has its SIGINT handler in place (SigCgt in its status)
// and, having read all that stands in the pipe `fd`, sleeps waiting for
// more. Gives up after ten seconds.
bool waitsForInput(pid_t pid, int fd) {
  std::string proc = "/proc/" + std::to_string(pid);
  for (int tries = 0; tries < 1000; ++tries, usleep(10 * 1000)) {
    std::string status = readFile(proc + "/status");
    size_t at = status.find("SigCgt:");
    if (at == std::string::npos) continue;
    unsigned long long caught = std::strtoull(status.c_str() + at + 7, nullptr, 16);
    int unread = -1;
    if (!(caught & (1ull << (SIGINT - 1))) || ioctl(fd, FIONREAD, &unread) != 0 ||
        unread != 0)
      continue;
    std::string stat = readFile(proc + "/stat");
    size_t paren = stat.rfind(") ");
    if (paren != std::string::npos && stat[paren + 2] == 'S') return true;
  }
  return false;
}

// SIGINT while the filter waits for more of its input: with more than
// half the rows there the document has begun; before that none is begun.
TEST(ImgtopsInterrupt, EndsWithWhatWasWrittenThenTheEndByte) {
  TestDump d(8, 100, 100, 0);
  const struct {
    const char* name;
    size_t rows;  // rows sent before the interrupt
    bool document;
  } cases[] = {{"zavpsvf", 60, true}, {"imgtops", 60, true},
               {"zavpsvf", 0, false}};
  TempDir dir;
  for (const auto& c : cases) {
    int in[2], out[2];
    ASSERT_EQ(0, pipe(in));
    ASSERT_EQ(0, pipe(out));
    std::string log = dir.path + "/" + c.name + std::to_string(c.rows);
    pid_t pid = fork();
    if (pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(open(log.c_str(), O_WRONLY | O_CREAT, 0600), 2);
      close(in[0]);
      close(in[1]);
      close(out[0]);
      close(out[1]);
      execl(bin(c.name).c_str(), c.name, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    std::string part = d.bytes() + std::string(100 * c.rows, '\x40');
    ASSERT_EQ(ssize_t(part.size()), write(in[1], part.data(), part.size()));
    ASSERT_TRUE(waitsForInput(pid, in[1])) << c.name;
    kill(pid, SIGINT);
    std::string got;
    char buf[4096];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) got.append(buf, size_t(n));
    int status = 0;
    waitpid(pid, &status, 0);
    close(in[1]);
    close(out[0]);
    ASSERT_TRUE(WIFEXITED(status)) << c.name;
    EXPECT_EQ(2, WEXITSTATUS(status)) << c.name;
    bool filter = std::string(c.name) == "zavpsvf";
    EXPECT_EQ(filter, lastByte(got) == '\x04') << c.name;
    EXPECT_EQ(c.document, got.find("%!PS-Adobe-2.1\n") == 0) << c.name;
    EXPECT_EQ(c.document, got.find("doit\n") != std::string::npos) << c.name;
    EXPECT_EQ(std::string::npos, got.find("showpage")) << c.name;
    EXPECT_EQ(readFile(log), std::string(c.name) +
                                 (filter ? ": job of ?@?" : "") +
                                 ": interrupted, job ended\n");
  }
}

// Images of every format, made by netpbm and ImageMagick: the page matches
// the gray the source gives (decoded by netpbm or ImageMagick), one-bit
// sources stay one bit and take Group 4 under imgtog4.
std::string made(const std::string& command) {
  RunResult r = run({"sh", "-c", command});
  EXPECT_EQ(0, r.status) << command << ": " << r.err;
  return r.out;
}

TEST(ImgtopsFormats, EveryFormatPrintsItsPixels) {
  if (!haveProgram("/usr/bin/convert")) GTEST_SKIP() << "no ImageMagick";
  const std::string im = "/usr/bin/convert ";
  const std::string pattern = fixture("pattern.ppm"), ramp = fixture("ramp.pgm"),
                    text = fixture("text.pbm");
  const struct {
    std::string make;   // the image, on standard output
    std::string truth;  // what the image should print as, PNM
    int tolerance;
    bool oneBit;
  } cases[] = {
      {"pnmtopng " + pattern, "cat " + pattern, 1, false},
      {"pnmtopng -interlace " + ramp, "cat " + ramp, 1, false},
      {"pnmtopng " + text, "cat " + text, 0, true},
      {im + ramp + " -depth 16 png:-", "cat " + ramp, 1, false},
      {im + pattern + " -colors 7 png8:-", im + pattern + " -colors 7 ppm:-", 1, false},
      {im + pattern + " -alpha set -channel A -evaluate set 50% +channel png:-",
       im + pattern + " -background white -alpha set -channel A -evaluate set 50% "
                      "+channel -flatten ppm:-", 2, false},
      {"pnmtojpeg -quality=95 " + pattern, "pnmtojpeg -quality=95 " + pattern + " | jpegtopnm", 2, false},
      {im + pattern + " -interlace Plane -quality 95 jpg:-",
       im + pattern + " -interlace Plane -quality 95 jpg:- | jpegtopnm", 2, false},
      {"pnmtojpeg -greyscale " + ramp, "pnmtojpeg -greyscale " + ramp + " | jpegtopnm", 1, false},
      {im + pattern + " -orient RightTop -quality 95 jpg:-",
       im + pattern + " -orient RightTop -quality 95 jpg:- | " + im + "- -auto-orient ppm:-", 2, false},
      {"pnmtotiff " + pattern, "cat " + pattern, 1, false},
      {"pnmtotiff -lzw " + ramp, "cat " + ramp, 1, false},
      {"pnmtotiff -g4 " + text, "cat " + text, 0, true},
      {"pnmtotiff -g3 " + text, "cat " + text, 0, true},
      {"pnmtotiff -minisblack " + text, "cat " + text, 0, true},
      {im + ramp + " -depth 16 tif:-", "cat " + ramp, 1, false},
      {"cat " + text, "cat " + text, 0, true},
      {"pnmtopnm -plain " + text, "cat " + text, 0, true},
      {"pnmtopnm -plain " + pattern, "cat " + pattern, 1, false},
      {"cat " + ramp, "cat " + ramp, 1, false},
      {im + ramp + " -depth 16 pgm:-", "cat " + ramp, 1, false},
  };
  for (const auto& c : cases) {
    std::string image = made(c.make), truth = made(c.truth);
    RunResult r = imgtops("imgtops", {}, image);
    ASSERT_EQ(0, r.status) << c.make << ": " << r.err;
    EXPECT_EQ("", r.err) << c.make;
    EXPECT_EQ(0, differences(render(r.out), readPnm(truth), c.tolerance)) << c.make;
    RunResult g4 = imgtops("imgtog4", {}, image);
    EXPECT_EQ(c.oneBit, g4.out.find("/CCITTFaxDecode") != std::string::npos) << c.make;
  }
}

TEST(ImgtopsFormats, PagesResolutionAndTheSpooler) {
  if (!haveProgram("/usr/bin/convert")) GTEST_SKIP() << "no ImageMagick";
  // A TIFF of two pages prints two.
  std::string two = made("/usr/bin/convert " + fixture("text.pbm") + " " +
                         fixture("ramp.pgm") + " tif:-");
  EXPECT_EQ(2, pagesPrinted(imgtops("imgtops", {}, two).out));
  // A 300-dpi scan prints at its size: 600 pixels are two inches.
  std::string scan = made("pbmmake -black 600 300 | pnmtopng -size \"11811 11811 1\"");
  Box ink = inkBox(render(imgtops("imgtops", {}, scan).out, "72"), 0, 0);
  EXPECT_EQ(144, ink.width());
  // The spooler's raster filter takes every format and names it.
  TempDir dir;
  std::string acct = dir.write("acct", "");
  std::string png = made("pnmtopng " + fixture("pattern.ppm"));
  RunResult r = run({bin("zavpsg4f"), "-n", "ann", "-h", "pc1", acct}, {png, {}, ""});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("PNG\tpc1:ann\n", readFile(acct));
}

// lpd sends every file through the input filter: an image prints as the
// raster filter prints it, with the zavpsvf line of the defaults file, and
// is accounted as an image; plain netpbm only when it reads as one.
TEST(ImgtopsFormats, TheInputFilterPrintsImagesAsTheRasterFilter) {
  TempDir dir;
  for (const char* copy : {"texttops:zavpsif", "imgtops:zavpsvf"}) {
    std::string names = copy;
    std::string from = names.substr(0, names.find(':'));
    std::string to = dir.path + "/" + names.substr(names.find(':') + 1);
    ASSERT_EQ(0, run({"cp", bin(from), to}).status);
  }
  dir.write(".zavpsdefault", "zavpsif -Nc=3\nzavpsvf -G4 -Nc=2\n");
  std::string acct = dir.write("acct", "");
  const std::vector<std::string> spooler = {"-w132", "-l66", "-i0", "-n", "ann",
                                            "-h", "pc1", acct};
  const std::string text = fixture("text.pbm"), ramp = fixture("ramp.pgm");
  const struct {
    std::string make;   // the input, on standard output
    std::string truth;  // what it prints as, PNM; empty: as text
    bool g4;
  } cases[] = {
      {"pnmtopng " + ramp, "cat " + ramp, false},
      {"pnmtotiff -g4 " + text, "cat " + text, true},
      {"pnmtopnm -plain " + ramp, "cat " + ramp, false},
      {"printf 'P2 3 4 apples\\n'", "", false},
  };
  for (const auto& c : cases) {
    std::string input = made(c.make);
    std::vector<std::string> argv = {dir.path + "/zavpsif"};
    argv.insert(argv.end(), spooler.begin(), spooler.end());
    RunResult r = run(argv, {input, {}, ""});
    EXPECT_EQ(0, r.status) << c.make << ": " << r.err;
    EXPECT_EQ("", r.err) << c.make;
    if (c.truth.empty()) {
      EXPECT_NE(std::string::npos, r.out.find("%%Creator: zavpsif\n")) << c.make;
      continue;
    }
    // The same document as the raster filter's, but for its date.
    argv[0] = dir.path + "/zavpsvf";
    RunResult vf = run(argv, {input, {}, ""});
    auto undated = [](std::string doc) {
      size_t at = doc.find("%%CreationDate:");
      return at == std::string::npos ? doc : doc.erase(at, doc.find('\n', at) - at);
    };
    EXPECT_EQ(undated(vf.out), undated(r.out)) << c.make;
    ASSERT_EQ('\x04', lastByte(r.out)) << c.make;
    std::string doc = r.out.substr(0, r.out.size() - 1);
    EXPECT_NE(std::string::npos, doc.find("<</NumCopies 2>>")) << c.make;
    EXPECT_EQ(c.g4, doc.find("/CCITTFaxDecode") != std::string::npos) << c.make;
    EXPECT_EQ(0, differences(render(doc), readPnm(made(c.truth)), 1)) << c.make;
  }
  // Each image twice (zavpsif, then zavpsvf), the text once.
  EXPECT_EQ("PNG\tpc1:ann\nPNG\tpc1:ann\nTIFF\tpc1:ann\nTIFF\tpc1:ann\n"
            "PNM\tpc1:ann\nPNM\tpc1:ann\n   0.00\t\tpc1:ann\n",
            readFile(acct));
}

// Damaged, cut and hostile files: one line, the error status, no output.
TEST(ImgtopsFormats, BadFilesAreRefusedInOneLine) {
  std::string png = made("pnmtopng " + fixture("pattern.ppm"));
  std::string jpeg = made("pnmtojpeg " + fixture("pattern.ppm"));
  std::string tiff = made("pnmtotiff " + fixture("pattern.ppm"));
  // A PNG that says it is 100000 x 100000, its header's checksum right.
  std::string gray = made("pnmtopng " + fixture("ramp.pgm"));
  std::string bomb = gray.substr(0, 33) + gray.substr(gray.find("IDAT") - 4);
  bomb.replace(16, 8, std::string("\0\x01\x86\xa0\0\x01\x86\xa0", 8));
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 12; i < 29; ++i) {
    crc ^= static_cast<uint8_t>(bomb[i]);
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320 : 0);
  }
  crc = ~crc;
  for (int k = 0; k < 4; ++k) bomb[29 + k] = static_cast<char>(crc >> (24 - 8 * k));
  const std::string cases[] = {png.substr(0, 40), bomb, jpeg.substr(0, 20),
                               tiff.substr(0, 12), "P6\n-3 4\n255\n", "P5 0 0 255\n"};
  for (const std::string& input : cases) {
    RunResult r = imgtops("imgtops", {}, input);
    EXPECT_EQ(255, r.status) << r.err;
    EXPECT_EQ(1, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
    EXPECT_EQ(0u, r.err.rfind("imgtops: stdin: ", 0)) << r.err;
    if (input == bomb) EXPECT_NE(std::string::npos, r.err.find("larger than")) << r.err;
    EXPECT_EQ("", r.out) << r.err;
    r = imgtops("zavpsvf", {}, input);
    EXPECT_EQ(2, r.status) << r.err;
  }
}

}  // namespace

// CUPS's command line, run directly: a job that does not print ends with
// one ERROR: line and status 1, never 0.
TEST(CupsEntries, JobsThatDoNotPrintFailVisibly) {
  TempDir dir;
  std::string text = dir.write("t.txt", "hello\n");
  std::string dump = readFile(fixture("text.xwd"));
  const struct {
    const char* entry;
    const char* copies;
    std::string file;  // empty: standard input
    std::string input;
    bool fullDisk;     // output to /dev/full
    const char* error;
  } cases[] = {
      {"zavpscups-text", "1", text, "", true, "ERROR: cannot write output: "},
      {"zavpscups-image", "1", "", dump, true, "ERROR: cannot write output: "},
      {"zavpscups-image", "1", "", "", false, "ERROR: The input is empty, not printed\n"},
      {"zavpscups-image", "1", dir.path, "", false, "ERROR: The input is a directory, not printed\n"},
      {"zavpscups-text", "1", dir.path, "", false, "ERROR: The input is a directory, not printed\n"},
      {"zavpscups-text", "1000", text, "", false, "ERROR: Bad number of copies '1000'\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv = {
        "sh", "-c", c.fullDisk ? "exec \"$0\" \"$@\" > /dev/full" : "exec \"$0\" \"$@\"",
        bin(c.entry), "1", "no-such-user-zz", "t", c.copies, ""};
    if (!c.file.empty()) argv.push_back(c.file);
    RunResult r = run(argv, {c.input, {}, ""});
    EXPECT_EQ(r.status, 1) << c.entry << " " << c.error;
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}
