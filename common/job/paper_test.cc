#include "paper.h"

#include <gtest/gtest.h>

#include "tray.h"

namespace {

TEST(Tables, LookupsEndAtTheTerminator) {
  EXPECT_EQ(getPaper(13)->width, 595);
  EXPECT_EQ(getPaper(13)->height, 2551);
  EXPECT_STREQ(getPaper(6)->name, "Folio");
  EXPECT_STREQ(getPaper(6)->mediaName, "FanFoldGermanLegal");
  EXPECT_EQ(getPaper(6)->height, 936);
  for (int id : {14, 15, 0, -1, 99}) {
    EXPECT_EQ(getPaper(id)->id, PAPER_Invalid);
    EXPECT_EQ(getPaper(id)->width, 0);
    EXPECT_STREQ(getPaper(id)->mediaName, "");
  }
  EXPECT_EQ(getInputTray(4)->position, 3);
  EXPECT_EQ(getInputTray(5)->id, invalid_input);
  EXPECT_EQ(getInputTray(5)->position, -1);
}

}  // namespace
