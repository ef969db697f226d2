// The editor's bitmaps as checked in under resources/img: every file decodes through libpng
// with its size and frame count, and each strip's frames show what the controls rely on
// (knobs turning over 300 degrees under a fixed light, switches stepping, lit LEDs, distinct
// digits). The two backgrounds are checked in PanelArtworkTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/resources/PngFrames.h"

namespace {

using test::Frame;
using test::PngImage;

struct Resource {
  const char* file;
  int width, height, frames;
};

// The editor's bitmap table, written out here so that a wrong size in the generator shows.
constexpr Resource kResources[] = {
    {"back.png", 1032, 588, 1},      {"back2.png", 1032, 588, 1},       {"button.png", 40, 72, 2},
    {"button2_off.png", 24, 80, 2},  {"button2_on.png", 24, 80, 2},     {"button2_w_off.png", 24, 80, 2},
    {"button2_w_on.png", 24, 80, 2}, {"button_led_off.png", 40, 72, 2}, {"button_led_on.png", 40, 72, 2},
    {"digits.png", 26, 408, 12},     {"digits_green.png", 26, 408, 12}, {"digits_small.png", 10, 198, 12},
    {"knob.png", 40, 2600, 65},      {"knob_gray.png", 40, 2600, 65},   {"learn.png", 43, 32, 2},
    {"learn2.png", 46, 20, 2},       {"led_flat.png", 18, 8, 1},        {"lever.png", 54, 90, 1},
    {"handle.png", 54, 16, 1},       {"menu.png", 104, 48, 2},          {"switch2.png", 14, 40, 2},
    {"switch3.png", 40, 120, 3},     {"switch4.png", 40, 160, 4},       {"switch5.png", 40, 200, 5},
};

const PngImage& Load(const std::string& file) { return test::LoadResource(file); }

int FramesOf(const std::string& file) {
  for (const Resource& r : kResources)
    if (file == r.file) return r.frames;
  return 1;
}

Frame FrameOf(const std::string& file, int index) { return test::ResourceFrame(file, FramesOf(file), index); }

TEST(Artwork, EveryBitmapDecodesWithItsTableSize) {
  for (const Resource& r : kResources) {
    const PngImage& image = Load(r.file);
    ASSERT_TRUE(image.error.empty()) << r.file << ": " << image.error;
    EXPECT_EQ(image.width, r.width) << r.file;
    EXPECT_EQ(image.height, r.height) << r.file;
  }
}

// A knob strip turns clockwise from -150 to +150 degrees in even steps, every frame
// different; the pointer of the grey knob is dark on a light cap.
void ExpectKnobTurn(const char* file, bool darkPointer) {
  double previous = -1000;
  for (int k = 0; k < 65; ++k) {
    const double angle = test::PointerAngle(FrameOf(file, k), 11.5, darkPointer);
    const double expected = -150.0 + 300.0 * k / 64;
    EXPECT_NEAR(angle, expected, 8) << file << " frame " << k + 1;
    EXPECT_GT(angle, previous) << file << " frame " << k + 1;
    previous = angle;
    if (k > 0) {
      EXPECT_GT(test::Difference(FrameOf(file, k), FrameOf(file, k - 1)), 0.5) << k;
    }
  }
}

// The light falls on the cap from the upper left whatever the knob's position: a spot of
// the cap up and left of the centre keeps its brightness, except while the pointer passes.
void ExpectFixedLight(const char* file) {
  double lo = 1e9, hi = -1e9;
  for (int k = 0; k < 65; ++k) {
    const double angle = -150.0 + 300.0 * k / 64;
    if (std::fabs(angle - -45.0) < 30) continue;
    const Frame f = FrameOf(file, k);
    const double l = test::MeanLuminance(f, 12, 12, 15, 15);
    lo = std::min(lo, l);
    hi = std::max(hi, l);
  }
  EXPECT_LT(hi - lo, 4.0) << file;
}

TEST(Artwork, KnobStripsTurnOverThreeHundredDegreesUnderAFixedLight) {
  ExpectKnobTurn("knob.png", false);
  ExpectKnobTurn("knob_gray.png", true);
  ExpectFixedLight("knob.png");
  ExpectFixedLight("knob_gray.png");
}

TEST(Artwork, RotarySwitchesStepSymmetricallyThroughTheirPositions) {
  for (int positions : {3, 4, 5}) {
    const std::string file = "switch" + std::to_string(positions) + ".png";
    std::vector<double> angles;
    for (int k = 0; k < positions; ++k) angles.push_back(test::PointerAngle(FrameOf(file, k), 14, false));
    for (int k = 1; k < positions; ++k) EXPECT_GT(angles[k] - angles[k - 1], 20) << file << " position " << k + 1;
    EXPECT_NEAR(angles.front(), -angles.back(), 6) << file;
    EXPECT_LT(angles.back(), 120) << file;
  }
  // The slide switch: value 0 (frame 1) puts the slider down, value 1 up.
  const double down = test::BrightCentreY(FrameOf("switch2.png", 0), 120);
  const double up = test::BrightCentreY(FrameOf("switch2.png", 1), 120);
  ASSERT_GE(down, 0);
  ASSERT_GE(up, 0);
  EXPECT_GT(down - up, 5);
}

TEST(Artwork, ButtonsHaveAnUpAndAPressedFrameAndLitOnesShowTheirLed) {
  for (const char* file : {"button.png", "button_led_off.png", "button_led_on.png", "button2_off.png", "button2_on.png",
                           "button2_w_off.png", "button2_w_on.png", "menu.png"})
    EXPECT_GT(test::Difference(FrameOf(file, 0), FrameOf(file, 1)), 1.0) << file;
  const std::pair<const char*, const char*> pairs[] = {{"button_led_off.png", "button_led_on.png"},
                                                       {"button2_off.png", "button2_on.png"},
                                                       {"button2_w_off.png", "button2_w_on.png"}};
  for (const auto& [off, on] : pairs) {
    for (int k = 0; k < 2; ++k) {
      EXPECT_GT(test::MaxRedExcess(FrameOf(on, k)), 150) << on << " frame " << k + 1;
      EXPECT_LT(test::MaxRedExcess(FrameOf(off, k)), 90) << off << " frame " << k + 1;
    }
  }
  EXPECT_GT(test::MaxRedExcess(FrameOf("led_flat.png", 0)), 150);
  for (const char* file : {"learn.png", "learn2.png"}) {
    EXPECT_GT(test::Difference(FrameOf(file, 0), FrameOf(file, 1)), 1.0) << file;
    EXPECT_GT(test::MaxLuminance(FrameOf(file, 0)), 180) << file;
  }
}

TEST(Artwork, DigitFramesShowZeroToNineThenMinusThenBlank) {
  for (const char* file : {"digits.png", "digits_green.png", "digits_small.png"}) {
    for (int a = 0; a < 12; ++a)
      for (int b = a + 1; b < 12; ++b)
        EXPECT_GT(test::Difference(FrameOf(file, a), FrameOf(file, b)), 0.3)
            << file << " frames " << a + 1 << ", " << b + 1;
    // Lit segments are bright; the blank frame is dark (unlit segments at most faintly).
    const double threshold = 120;
    EXPECT_EQ(test::CountBrighter(FrameOf(file, 11), threshold), 0) << file;
    EXPECT_LT(test::MaxLuminance(FrameOf(file, 11)), 50) << file;
    // Eight lights every segment, one only two, minus only the middle one.
    const int eight = test::CountBrighter(FrameOf(file, 8), threshold);
    for (int d = 0; d < 10; ++d) {
      if (d == 8) continue;
      EXPECT_LT(test::CountBrighter(FrameOf(file, d), threshold), eight) << d;
    }
    const int one = test::CountBrighter(FrameOf(file, 1), threshold);
    for (int d = 0; d < 10; ++d) {
      if (d == 1) continue;
      EXPECT_GT(test::CountBrighter(FrameOf(file, d), threshold), one) << d;
    }
    EXPECT_GT(test::CountBrighter(FrameOf(file, 10), threshold), 0) << file;
    EXPECT_LT(test::CountBrighter(FrameOf(file, 10), threshold), one) << file;
  }
}

TEST(Artwork, FaderTrackAndHandleCoverThePrintUnderThem) {
  const Frame lever = FrameOf("lever.png", 0), handle = FrameOf("handle.png", 0);
  int covered = 0;
  for (int y = 0; y < lever.Height(); ++y)
    for (int x = 0; x < lever.Width(); ++x) covered += lever.Alpha(x, y) >= 200;
  EXPECT_GT(covered, 0.9 * lever.Width() * lever.Height());
  for (int x = 2; x < handle.Width() - 2; ++x) EXPECT_EQ(handle.Alpha(x, 8), 255) << x;
}

#ifdef TESVAR_ARTWORK_TOOL
std::string PathOf(const std::string& file) { return std::string(TESVAR_IMAGE_DIR) + "/" + file; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The checked-in files are what the generator draws now, byte for byte.
TEST(Artwork, GeneratorRedrawsTheCheckedInFiles) {
  const std::string dir = std::string(TESVAR_TEST_TMP) + "/artwork";
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  ASSERT_EQ(std::system(("'" + std::string(TESVAR_ARTWORK_TOOL) + "' '" + dir + "'").c_str()), 0);
  for (const Resource& r : kResources) {
    const std::string fresh = ReadFile(dir + "/" + r.file);
    ASSERT_FALSE(fresh.empty()) << r.file;
    EXPECT_TRUE(fresh == ReadFile(PathOf(r.file))) << r.file << " differs: run tools/make-artwork.sh";
  }
}
#endif

}  // namespace
