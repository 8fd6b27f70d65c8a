#include "linebreak.h"

#include <gtest/gtest.h>

namespace {

Char kanji(int first, int second) { return {kKanji, first, second}; }
Char ascii(int c) { return {kSingleByte, c, 0}; }

TEST(LineBreak, HoldsOnlyWhatMayNotBeParted) {
  const Char ji = kanji(0xBB, 0xFA), maru = kanji(0xA1, 0xA3),
             open = kanji(0xA1, 0xD6), close = kanji(0xA1, 0xD7),
             bar = kanji(0xA1, 0xBC), halfMaru = {kKana, 0xA1, 0};
  const struct {
    Char a, b;
    bool held;
  } cases[] = {
      {ji, maru, true},       {ji, close, true},      {open, ji, true},
      {ji, bar, true},        {close, maru, true},    {ascii('A'), maru, true},
      {ji, halfMaru, true},   {ji, ji, false},        {maru, ji, false},
      {ji, open, false},      {ascii('a'), ascii('b'), false},
      {ascii(' '), maru, false}, {ji, kanji(0xA1, 0xA1), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(heldTogether(c.a, c.b), c.held)
        << c.a.byte << "," << c.a.second << " " << c.b.byte << "," << c.b.second;
}

}  // namespace
