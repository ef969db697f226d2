// The two backgrounds against the editor's layout: the print lines up with the controls
// drawn over it (fader travel, knob and switch travel, button names), and the places where
// the editor draws its own texts, digits and list rows stay dark and clear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "editor/Layout.h"
#include "editor/PanelCommands.h"
#include "engine/ParamIndex.h"
#include "tests/resources/PngFrames.h"

namespace {

using panel::Kind;
using panel::View;
using test::Frame;

struct Place {
  int x, y;
};

// Every place comes from the editor's layout tables.
panel::Box At(View view, int number) {
  panel::Box box;
  EXPECT_TRUE(panel::FindBox(view, number, &box)) << "no control " << number;
  return box;
}
Place Corner(View view, int number) {
  const panel::Box box = At(view, number);
  return {box.left, box.top};
}
// The top-left corners of every control of a view's table that passes `take`.
template <typename Take>
std::vector<Place> Corners(View view, Take take) {
  std::vector<Place> corners;
  for (const panel::Place& place : view == View::kMain ? panel::MainViewPlaces() : panel::AltViewPlaces()) {
    if (!take(place)) continue;
    for (int i = 0; i < place.count; ++i) {
      const panel::Box box = panel::BoxOf(place, i);
      corners.push_back({box.left, box.top});
    }
  }
  return corners;
}
bool ContinuousKnob(const panel::Place& p) { return p.kind == Kind::kKnob && p.gearing > 1.0; }

constexpr double kPi = 3.14159265358979323846;

Frame Main() { return test::ResourceFrame("back.png", 1, 0); }
Frame Alt() { return test::ResourceFrame("back2.png", 1, 0); }

// Fader places of the sound parameters 8 to 33 in the main view (54 x 92 each).
Place FaderOf(int parameter) { return Corner(View::kMain, parameter); }

TEST(PanelArtwork, BackgroundsAreOpaqueAndKeepTheEditorsTextPlacesClear) {
  for (const char* file : {"back.png", "back2.png"}) {
    const test::PngImage& image = test::LoadResource(file);
    ASSERT_TRUE(image.error.empty()) << file << ": " << image.error;
    for (std::size_t i = 3; i < image.rgba.size(); i += 4) ASSERT_EQ(image.rgba[i], 255) << file;
  }
  // The version texts are drawn by the editor at these rectangles: no print may lie there.
  auto maxIn = [](const Frame& f, const panel::Box& b) {
    return test::MaxLuminance(f, b.left, b.top, b.right, b.bottom);
  };
  auto meanIn = [](const Frame& f, const panel::Box& b) {
    return test::MeanLuminance(f, b.left, b.top, b.right, b.bottom);
  };
  EXPECT_LT(maxIn(Main(), At(View::kMain, -panel::kVersionText)), 80);
  EXPECT_LT(maxIn(Alt(), At(View::kAlt, -panel::kVersionText)), 80);
  // The program names are written in green: dark glass behind them.
  EXPECT_LT(meanIn(Main(), At(View::kMain, -panel::kPresetName)), 25);
  EXPECT_LT(meanIn(Alt(), At(View::kAlt, -panel::kPresetName)), 25);
}

TEST(PanelArtwork, LedDisplaysAndListsSitOnDarkGlass) {
  auto meanIn = [](const Frame& f, const panel::Box& b) {
    return test::MeanLuminance(f, b.left, b.top, b.right, b.bottom);
  };
  for (int display : {panel::kProgramDisplay, panel::kParameterDisplay, panel::kValueDisplay}) {
    EXPECT_LT(meanIn(Main(), At(View::kMain, -display)), 20) << display;
  }
  EXPECT_LT(meanIn(Main(), At(View::kMain, kVoices)), 20);
  EXPECT_LT(meanIn(Alt(), At(View::kAlt, -panel::kProgramDisplay)), 20);
  EXPECT_LT(meanIn(Alt(), At(View::kAlt, kVoices)), 20);
  // The browser rows carry white text at half alpha: their screens must be dark.
  for (int r = 0; r < 10; ++r) EXPECT_LT(meanIn(Alt(), At(View::kAlt, -(panel::kFirstFileRow + r))), 25) << r;
  for (int r = 0; r < 39; ++r) EXPECT_LT(meanIn(Alt(), At(View::kAlt, -(panel::kFirstProgramRow + r))), 25) << r;
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
void ExpectRingMatchesStrip(const Frame& panel, const std::vector<Place>& knobs, const char* strip, bool darkPointer,
                            const char* view) {
  const double first = test::PointerAngle(test::ResourceFrame(strip, 65, 0), 11.5, darkPointer) * kPi / 180;
  const double last = test::PointerAngle(test::ResourceFrame(strip, 65, 64), 11.5, darkPointer) * kPi / 180;
  for (const Place& k : knobs) {
    const double cx = k.x + 20, cy = k.y + 20;
    for (double a : {first, last}) {
      const double x = cx + 23.5 * std::sin(a), y = cy - 23.5 * std::cos(a);
      EXPECT_GT(test::MaxLuminanceNear(panel, x, y, 2.5), 120) << view << " knob at " << k.x << ", " << k.y;
    }
  }
}

TEST(PanelArtwork, KnobScalesEndWhereTheKnobsTurnTo) {
  ExpectRingMatchesStrip(Main(), Corners(View::kMain, ContinuousKnob), "knob.png", false, "main");
  ExpectRingMatchesStrip(Alt(), Corners(View::kAlt, ContinuousKnob), "knob.png", false, "alt");
}

// A printed dot marks every position of a rotary switch, where its strip's frame points.
TEST(PanelArtwork, SwitchLegendsMarkEveryPositionOfTheirStrips) {
  struct Switch {
    bool main;
    Place place;
    int positions;
  };
  // The stepped knobs of both tables: their art's frames are the positions.
  std::vector<Switch> switches;
  for (const View view : {View::kMain, View::kAlt}) {
    for (const panel::Place& place : view == View::kMain ? panel::MainViewPlaces() : panel::AltViewPlaces()) {
      if (place.kind != Kind::kKnob || place.gearing > 1.0) continue;
      const int positions = panel::ArtResources()[static_cast<std::size_t>(place.art)].frames;
      for (int i = 0; i < place.count; ++i) {
        const panel::Box box = panel::BoxOf(place, i);
        switches.push_back({view == View::kMain, {box.left, box.top}, positions});
      }
    }
  }
  EXPECT_EQ(switches.size(), 7u);
  for (const Switch& s : switches) {
    const std::string strip = "switch" + std::to_string(s.positions) + ".png";
    const Frame panel = s.main ? Main() : Alt();
    for (int k = 0; k < s.positions; ++k) {
      const double a = test::PointerAngle(test::ResourceFrame(strip, s.positions, k), 14, false) * kPi / 180;
      const double x = s.place.x + 20 + 21.5 * std::sin(a), y = s.place.y + 20 - 21.5 * std::cos(a);
      EXPECT_GT(test::MaxLuminanceNear(panel, x, y, 2.0), 150)
          << strip << " position " << k + 1 << " at " << s.place.x << ", " << s.place.y;
    }
  }
}

// Every push button has its name printed just above it.
TEST(PanelArtwork, EveryButtonIsNamed) {
  const auto button = [](const panel::Place& p) { return p.kind == Kind::kButton || p.kind == Kind::kPresetMenu; };
  const std::vector<Place> main = Corners(View::kMain, button);
  EXPECT_EQ(main.size(), 18u);
  for (const Place& b : main)
    EXPECT_GT(test::MaxLuminance(Main(), b.x, b.y - 16, b.x + 40, b.y - 4), 150)
        << "main button at " << b.x << ", " << b.y;
  const std::vector<Place> alt = Corners(View::kAlt, button);
  EXPECT_EQ(alt.size(), 15u);
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
  std::vector<Spot> spots;
  for (int command : {panel::kUtilityMenu, panel::kLearn, panel::kDown, panel::kUp}) {
    const panel::Box b = At(View::kAlt, -command);
    spots.push_back({b.left, b.top, b.right, b.bottom});
  }
  // The scroll bars' arrow keys: their top and bottom 17 pixels.
  for (int bar : {panel::kFileScroll, panel::kProgramScroll}) {
    const panel::Box b = At(View::kAlt, -bar);
    spots.push_back({b.left, b.top, b.right, b.top + 17});
    spots.push_back({b.left, b.bottom - 17, b.right, b.bottom});
  }
  for (const Spot& s : spots) {
    EXPECT_GT(test::MaxLuminance(Alt(), s.left, s.top, s.right, s.bottom), 150) << s.left << ", " << s.top;
  }
}

}  // namespace
