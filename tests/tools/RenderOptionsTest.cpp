// The renderer's command line and its built-in phrase.
#include <gtest/gtest.h>

#include <limits>
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
                     "--bits", "24", "--gain", "-7.5"},
                    &o, &error));
  EXPECT_EQ(o.gainDb, -7.5);
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
                                                        {"p.so", "--gain", "loud"},
                                                        {"p.so", "--gain", "61"},
                                                        {"p.so", "--gain", "-inf"},
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

TEST(RenderOptionsTest, ClippingWarningNamesThePeakAndTheGainThatFits) {
  // Integer files hold up to full scale; float files hold anything.
  EXPECT_EQ(ClippingWarning(1.0, 16, 0.0), "");
  EXPECT_EQ(ClippingWarning(0.5, 24, 0.0), "");
  EXPECT_EQ(ClippingWarning(4.0, 32, 0.0), "");
  // 2.0 is +6.02 dBFS: -6.02 dB fits, rounded down to -6.1 so that it really does.
  EXPECT_EQ(ClippingWarning(2.0, 16, 0.0),
            "the render peaks at +6.0 dBFS and clips in a 16-bit file; --gain -6.1 would fit");
  // The suggestion is the whole --gain to give, counting the one already given.
  EXPECT_NE(ClippingWarning(2.0, 24, 3.0).find("24-bit file; --gain -3.1 would fit"), std::string::npos);
  EXPECT_NE(ClippingWarning(1.0001, 16, 0.0).find("--gain -0.1 would fit"), std::string::npos);
}

TEST(RenderOptionsTest, GainScalesBothChannelsAndThePeakFollows) {
  RenderedAudio audio{{0.5f, -0.25f}, {0.1f, -1.0f}};
  EXPECT_FLOAT_EQ(static_cast<float>(PeakLevel(audio)), 1.0f);
  ApplyGain(audio, -20.0);
  EXPECT_FLOAT_EQ(audio.left[0], 0.05f);
  EXPECT_FLOAT_EQ(audio.right[1], -0.1f);
  EXPECT_FLOAT_EQ(static_cast<float>(PeakLevel(audio)), 0.1f);
}

TEST(RenderOptionsTest, RendersLongerThanAnHourAreRefused) {
  // A damaged MIDI file can claim years, which would never fit in memory.
  RenderSettings settings;
  std::string error;
  EXPECT_TRUE(CheckRenderLength(3000.0, settings, &error));
  EXPECT_FALSE(CheckRenderLength(3599.0, settings, &error));
  EXPECT_NE(error.find("3599 s"), std::string::npos) << error;
  EXPECT_FALSE(CheckRenderLength(4.0e9, settings, &error));
  EXPECT_FALSE(CheckRenderLength(std::numeric_limits<double>::infinity(), settings, &error));
}

}  // namespace
