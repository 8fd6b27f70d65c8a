#include "printeroptions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "cups.h"
#include "options.h"
#include "parse.h"

namespace {

// A value of each CUPS option that takes free values.
const std::map<std::string, std::string> kFreeValues = {
    {"media", "A5,Tray2"},         {"PageSize", "Letter"}, {"InputSlot", "Tray2"},
    {"OutputBin", "OCT"},    {"zavps-stamp", "dr"},
};

// The value after each key that makes it set something.
const std::map<std::string, std::string> kKeyValues = {
    {"I", "A4"}, {"C", "2"},  {"O", "re"}, {"D", ""},      {"N", "c=3"},
    {"Cl", ""},  {"J", "set"}, {"Hd=", "ul"}, {"Hf", "Times"}, {"t", ""},
    {"E", ""},
};

TEST(PrinterOptions, EveryCupsNameMapsToItsKey) {
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    for (const CupsName& cups : o->cups) {
      if (!cups.name) continue;
      std::string value = cups.on ? "true" : "";
      for (const CupsChoice* c = cups.choices; c && c->value; ++c)
        if (value.empty() && c->words && *c->words) value = c->value;
      if (cups.map) value = kFreeValues.at(cups.name);
      CupsRequest r = mapCupsOptions({{cups.name, value}}, 1, true);
      EXPECT_TRUE(r.warnings.empty()) << cups.name;
      ASSERT_FALSE(r.options.empty()) << cups.name;
      const std::string& words = r.options.back().words;
      EXPECT_EQ(printerOptionAt(words, 1), o) << cups.name << " " << words;
    }
  }
}

TEST(PrinterOptions, EveryKeySetsTheTextAndImageSet) {
  for (const PrinterOption* o = printerOptions; o->key; ++o) {
    for (const char* key : {o->key, o->alt}) {
      if (!key) continue;
      std::string words = "-" + std::string(key) + kKeyValues.at(o->key);
      resetOptions();
      initTextSet();
      initImageSet();
      const PrinterSettings initial = opt.text_printer;
      parseTextOptions(words.c_str());
      parseImageOptions(words.c_str());
      EXPECT_FALSE(opt.text_printer == initial) << words;
      EXPECT_EQ(opt.text_printer, opt.image_printer) << words;
      if (o->field) {
        EXPECT_NE(opt.text_printer.*(o->field), 0) << words;
      }
    }
  }
}

TEST(PrinterOptions, LongestKeyWins) {
  EXPECT_EQ(printerOptionAt("-Clx", 1), printerOption("Cl"));
  EXPECT_EQ(printerOptionAt("-C3", 1), printerOption("C"));
  EXPECT_EQ(printerOptionAt("-d", 1), printerOption("D"));
  EXPECT_EQ(printerOptionAt("-Hx", 1), nullptr);
  EXPECT_EQ(printerOptionAt("-r", 1), nullptr);
}

}  // namespace
