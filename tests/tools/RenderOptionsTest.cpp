// The renderer's command line and its built-in phrase.
#include <gtest/gtest.h>

#include <vector>

#include "tools/RenderOptions.h"

namespace {

bool Parse(std::vector<const char*> args, RenderOptions* o, std::string* error) {
  args.insert(args.begin(), "tesvar-render");
  return ParseRenderOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), o, error);
}

TEST(RenderOptionsTest, ValuesAreTakenAndRangesChecked) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"p.so", "--sample-rate", "48000", "--block-size", "64", "--tail", "0.5", "--program", "Fat Brass",
                     "--bits", "24"},
                    &o, &error));
  EXPECT_EQ(o.pluginPath, "p.so");
  EXPECT_EQ(o.settings.sampleRate, 48000);
  EXPECT_EQ(o.settings.blockSize, 64);
  EXPECT_EQ(o.settings.tailSeconds, 0.5);
  EXPECT_EQ(o.program, "Fat Brass");
  EXPECT_EQ(o.bits, 24);
  for (auto bad : std::vector<std::vector<const char*>>{{"p.so", "--sample-rate", "500"},
                                                         {"p.so", "--sample-rate", "nan"},
                                                         {"p.so", "--block-size", "0"},
                                                         {"p.so", "--block-size", "1.5"},
                                                         {"p.so", "--tail", "-1"},
                                                         {"p.so", "--bits", "8"},
                                                         {"p.so", "--midi"},
                                                         {"p.so", "--frobnicate", "1"},
                                                         {"p.so", "q.so"},
                                                         {}}) {
    RenderOptions r;
    EXPECT_FALSE(Parse(bad, &r, &error)) << (bad.empty() ? "" : bad.back());
    EXPECT_FALSE(error.empty());
  }
}

TEST(RenderOptionsTest, DemoPhraseIsOrderedAndBalanced) {
  const auto phrase = DemoPhrase();
  ASSERT_FALSE(phrase.empty());
  int held = 0;
  for (std::size_t i = 0; i < phrase.size(); ++i) {
    if (i > 0) {
      EXPECT_LE(phrase[i - 1].seconds, phrase[i].seconds);
    }
    if ((phrase[i].status & 0xF0) == 0x90 && phrase[i].data2 > 0) ++held;
    if ((phrase[i].status & 0xF0) == 0x80) --held;
  }
  EXPECT_EQ(held, 0);  // every note is released
}

}  // namespace
