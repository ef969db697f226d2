// The two backgrounds against the editor's layout: the print lines up with the controls
// drawn over it (fader travel, knob and switch travel, button names), and the places where
// the editor draws its own texts, digits and list rows stay dark and clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/resources/PngFrames.h"

namespace {

using test::Frame;

struct Place {
  int x, y;
};

constexpr double kPi = 3.14159265358979323846;

Frame Main() { return test::ResourceFrame("back.png", 1, 0); }
Frame Alt() { return test::ResourceFrame("back2.png", 1, 0); }

// Fader places of the sound parameters 8 to 33 in the main view (54 x 92 each).
Place FaderOf(int parameter) {
  const int row1[13] = {280, 336, 392, 448, 506, 562, 618, 674, 732, 788, 844, 900, 956};
  const int row2[13] = {280, 336, 392, 448, 506, 562, 618, 674, 730, 788, 844, 900, 956};
  return parameter <= 20 ? Place{row1[parameter - 8], 172} : Place{row2[parameter - 21], 340};
}

// Continuous knobs (40 x 40) of both views.
const std::vector<Place> kMainKnobs = {{614, 49}, {670, 49}, {739, 49}, {795, 49}, {952, 49},
                                       {963, 490}};
const std::vector<Place> kAltKnobs = {
    {26, 30},   {90, 30},   {26, 134},  {90, 134},  {90, 242},  {419, 242}, {299, 30},
    {363, 30},  {363, 134}, {443, 30},  {507, 30},  {571, 30},  {635, 30},  {775, 30},
    {839, 30},  {903, 30},  {967, 30},  {443, 134}, {507, 134}, {571, 134}, {635, 134},
    {775, 134}, {839, 134}, {903, 134}, {967, 134}};

TEST(PanelArtwork, BackgroundsAreOpaqueAndKeepTheEditorsTextPlacesClear) {
  for (const char* file : {"back.png", "back2.png"}) {
    const test::PngImage& image = test::LoadResource(file);
    ASSERT_TRUE(image.error.empty()) << file << ": " << image.error;
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) ASSERT_EQ(image.rgba[i], 255) << file;
  }
  // The version texts are drawn by the editor at these rectangles: no print may lie there.
  EXPECT_LT(test::MaxLuminance(Main(), 22, 107, 150, 119), 80);
  EXPECT_LT(test::MaxLuminance(Alt(), 711, 534, 839, 546), 80);
  // The program names are written in green: dark glass behind them.
  EXPECT_LT(test::MeanLuminance(Main(), 279, 71, 593, 91), 25);
  EXPECT_LT(test::MeanLuminance(Alt(), 494, 221, 694, 239), 25);
}

TEST(PanelArtwork, LedDisplaysAndListsSitOnDarkGlass) {
  EXPECT_LT(test::MeanLuminance(Main(), 47, 139, 119, 183), 20);
  EXPECT_LT(test::MeanLuminance(Main(), 165, 139, 237, 183), 20);
  EXPECT_LT(test::MeanLuminance(Main(), 165, 207, 237, 251), 20);
  EXPECT_LT(test::MeanLuminance(Main(), 884, 487, 953, 525), 20);
  EXPECT_LT(test::MeanLuminance(Alt(), 594, 251, 666, 295), 20);
  EXPECT_LT(test::MeanLuminance(Alt(), 327, 243, 396, 281), 20);
  // The browser rows carry white text at half alpha: their screens must be dark.
  for (int r = 0; r < 10; ++r)
    EXPECT_LT(test::MeanLuminance(Alt(), 785, 342 + 17 * r, 984, 358 + 17 * r), 25) << r;
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 13; ++r)
      EXPECT_LT(test::MeanLuminance(Alt(), 28 + 208 * c, 342 + 17 * r, 227 + 208 * c, 358 + 17 * r),
                25)
          << c << ", " << r;
}

// The handle's centre runs from 8 pixels below a fader's top (maximum) to 84 (minimum): the
// printed scale must have its end marks on exactly those rows, beside the groove.
TEST(PanelArtwork, EveryFaderScaleEndsWhereTheHandleTravelEnds) {
  const Frame main = Main();
  for (int parameter = 8; parameter <= 33; ++parameter) {
    const Place p = FaderOf(parameter);
    for (int row : {p.y + 8, p.y + 84}) {
      double lit = 0;
      for (int x = p.x + 34; x < p.x + 44; ++x) lit = std::max(lit, main.Luminance(x, row));
      EXPECT_GT(lit, 100) << "parameter " << parameter << " row " << row;
    }
    // Nothing is printed beyond the travel in the tick column (a scale that overshoots).
    for (int row : {p.y + 4, p.y + 88}) {
      double lit = 0;
      for (int x = p.x + 38; x < p.x + 44; ++x) lit = std::max(lit, main.Luminance(x, row));
      EXPECT_LT(lit, 90) << "parameter " << parameter << " row " << row;
    }
    // The programmer number and the name stand above the place.
    EXPECT_GT(test::MaxLuminance(main, p.x, p.y - 30, p.x + 54, p.y - 2), 180) << parameter;
  }
}

// Printed end ticks at the angles where a knob strip's first and last frames point.
void ExpectRingMatchesStrip(const Frame& panel, const std::vector<Place>& knobs,
                            const char* strip, bool darkPointer, const char* view) {
  const double first =
      test::PointerAngle(test::ResourceFrame(strip, 65, 0), 11.5, darkPointer) * kPi / 180;
  const double last =
      test::PointerAngle(test::ResourceFrame(strip, 65, 64), 11.5, darkPointer) * kPi / 180;
  for (const Place& k : knobs) {
    const double cx = k.x + 20, cy = k.y + 20;
    for (double a : {first, last}) {
      const double x = cx + 23.5 * std::sin(a), y = cy - 23.5 * std::cos(a);
      EXPECT_GT(test::MaxLuminanceNear(panel, x, y, 2.5), 120)
          << view << " knob at " << k.x << ", " << k.y;
    }
  }
}

TEST(PanelArtwork, KnobScalesEndWhereTheKnobsTurnTo) {
  ExpectRingMatchesStrip(Main(), kMainKnobs, "knob.png", false, "main");
  ExpectRingMatchesStrip(Alt(), kAltKnobs, "knob.png", false, "alt");
}

// A printed dot marks every position of a rotary switch, where its strip's frame points.
TEST(PanelArtwork, SwitchLegendsMarkEveryPositionOfTheirStrips) {
  struct Switch {
    bool main;
    Place place;
    int positions;
  };
  const Switch switches[] = {{true, {876, 49}, 4},   {false, {26, 242}, 4},
                             {false, {171, 30}, 3},  {false, {235, 30}, 3},
                             {false, {171, 134}, 3}, {false, {235, 134}, 3},
                             {false, {299, 134}, 5}};
  for (const Switch& s : switches) {
    const std::string strip = "switch" + std::to_string(s.positions) + ".png";
    const Frame panel = s.main ? Main() : Alt();
    for (int k = 0; k < s.positions; ++k) {
      const double a =
          test::PointerAngle(test::ResourceFrame(strip, s.positions, k), 14, false) * kPi / 180;
      const double x = s.place.x + 20 + 21.5 * std::sin(a), y = s.place.y + 20 - 21.5 * std::cos(a);
      EXPECT_GT(test::MaxLuminanceNear(panel, x, y, 2.0), 150)
          << strip << " position " << k + 1 << " at " << s.place.x << ", " << s.place.y;
    }
  }
}

// Every push button has its name printed just above it.
TEST(PanelArtwork, EveryButtonIsNamed) {
  std::vector<Place> main = {{32, 348},  {76, 348},  {171, 348}, {215, 348}, {465, 490},
                             {509, 490}, {652, 490}, {696, 490}, {740, 490}, {784, 490}};
  for (int n = 1; n <= 8; ++n) main.push_back({70 + 44 * (n - 1), 490});
  for (const Place& b : main)
    EXPECT_GT(test::MaxLuminance(Main(), b.x, b.y - 16, b.x + 40, b.y - 4), 150)
        << "main button at " << b.x << ", " << b.y;
  std::vector<Place> alt = {{172, 242}, {208, 242}, {244, 242}, {280, 242},
                            {700, 341}, {744, 341}, {722, 410}};
  for (int n = 1; n <= 8; ++n) alt.push_back({722 + 36 * (n - 1), 242});
  for (const Place& b : alt)
    EXPECT_GT(test::MaxLuminance(Alt(), b.x - 4, b.y - 16, b.x + 28, b.y - 3), 150)
        << "alternative-view button at " << b.x << ", " << b.y;
}

// The alternative view's hot spots without bitmaps are printed: MENU, LEARN, the arrows
// and the scroll bars' arrow keys.
TEST(PanelArtwork, PrintedHotSpotsOfTheAlternativeView) {
  struct Spot {
    int left, top, right, bottom;
  };
  const Spot spots[] = {{494, 253, 548, 269}, {494, 283, 548, 299}, {566, 248, 586, 299},
                        {675, 248, 695, 299}, {993, 342, 1009, 359}, {993, 495, 1009, 512},
                        {652, 342, 668, 359}, {652, 546, 668, 563}};
  for (const Spot& s : spots) {
    EXPECT_GT(test::MaxLuminance(Alt(), s.left, s.top, s.right, s.bottom), 150)
        << s.left << ", " << s.top;
  }
}

}  // namespace
