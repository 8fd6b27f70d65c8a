#include "procset.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using Names = std::vector<std::string_view>;

TEST(Procset, FillsMustMatchThePlaceholdersExactly) {
  struct Case {
    std::string_view text;
    Names names;
    bool exact;
  } cases[] = {
      {"/@NAME@ {@REST@} def", {"@NAME@", "@REST@"}, true},
      {"/@NAME@ {@REST@} def", {"@NAME@"}, false},      // one left as it is
      {"/@NAME@ def", {"@NAME@", "@GONE@"}, false},     // the text drifted
      {"/@NAME@ def", {"NAME"}, false},                 // not a placeholder
      {"(a@b) @ 2@ @x@ @@", {}, true},                  // at signs in text
      {"@A_B@@C@", {"@A_B@", "@C@"}, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(procset::fillsExactly(c.text, c.names), c.exact) << c.text;
}

TEST(Procset, FillInReplacesEveryOccurrenceOnce) {
  Names names = {"@A@", "@B@"};
  Names values = {"x@B@", ""};
  EXPECT_EQ(procset::fillIn("/@A@ @B@@A@ @C@ a@b", names, values),
            "/x@B@ x@B@ @C@ a@b");
}

// What the build embeds: documentation lines and empty lines dropped,
// every other line kept, comments and DSC lines included.
TEST(Procset, EmbeddedTextIsWhatThePrinterGets) {
  using namespace procset;
  for (std::string_view text :
       {kBase, kFonts, kStampFixed, kStampOnce, kStampHook, kPageMargins, kPageOffsets,
        kFitText, kCursor, kShow, kLineBreak, kFits, kGrid, kOneShow,
        kLeftEdge, kPrologEnd, kTrailer}) {
    std::string all = "\n" + std::string(text);
    EXPECT_EQ(all.find("\n%%%"), std::string::npos) << text;
    EXPECT_EQ(all.find("\n\n"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
  }
  EXPECT_EQ(kPrologEnd, "end\n%%EndProlog\n%%BeginDocumentSetup\nStartDoc\n");
  EXPECT_NE(kPageMargins.find("} if\n/l2x llx def\n% /l2xr llx def\n"),
            std::string_view::npos);
  EXPECT_EQ(kShow.rfind("/@NAME@\n{\n", 0), 0u);
}

}  // namespace
