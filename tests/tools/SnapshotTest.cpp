// The snapshot tool: both views come out at the window's size with the panel on them, the
// controls follow the instance's program, parameters and the mouse, and the command line
// reads what people type.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "editor/PanelLayout.h"
#include "engine/ParameterTable.h"
#include "engine/Tesvar.h"
#include "tests/shell/ShellTestSupport.h"
#include "tools/Snapshot.h"

namespace {

// Pixels that differ between two pictures of the same size, inside rect.
int Differences(const LICE_IBitmap& a, const LICE_IBitmap& b, const LICE_Rect& rect = {0, 0, 1032, 588}) {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x)
      count += a.Bits()[y * a.RowSpan() + x] != b.Bits()[y * b.RowSpan() + x];
  }
  return count;
}

int DistinctColours(const LICE_IBitmap& bitmap) {
  std::vector<LICE_pixel> colours(bitmap.Bits(), bitmap.Bits() + bitmap.Width() * bitmap.Height());
  std::sort(colours.begin(), colours.end());
  return static_cast<int>(std::unique(colours.begin(), colours.end()) - colours.begin());
}

class SnapshotTest : public shell_test::TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    plug_ = std::make_unique<Tesvar>(shell_test::RecordingHost, snapshot::HeadlessEditor);
  }
  void TearDown() override {
    plug_.reset();
    TempHome::TearDown();
  }
  std::unique_ptr<LICE_MemBitmap> Picture(const snapshot::Options& options) {
    auto picture = std::make_unique<LICE_MemBitmap>();
    std::string error;
    EXPECT_TRUE(snapshot::Apply(*plug_, options, &error)) << error;
    EXPECT_TRUE(snapshot::Draw(*plug_, options, picture.get()));
    return picture;
  }
  std::unique_ptr<Tesvar> plug_;
};

TEST_F(SnapshotTest, BothViewsFillTheWindowWithTheirPanels) {
  snapshot::Options options;
  const auto main = Picture(options);
  options.view = snapshot::View::kAlt;
  const auto alt = Picture(options);
  for (const LICE_MemBitmap* picture : {main.get(), alt.get()}) {
    EXPECT_EQ(picture->Width(), 1032);
    EXPECT_EQ(picture->Height(), 588);
    EXPECT_GT(DistinctColours(*picture), 1000);  // a panel, not a fill
  }
  EXPECT_GT(Differences(*main, *alt), 1032 * 588 / 2);
}

// Mean absolute difference of the colour channels of two pictures of one size, 0 ... 255.
double MeanDifference(const LICE_IBitmap& a, const LICE_IBitmap& b) {
  double sum = 0.0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const LICE_pixel p = a.Bits()[y * a.RowSpan() + x];
      const LICE_pixel q = b.Bits()[y * b.RowSpan() + x];
      sum += std::abs(LICE_GETR(p) - LICE_GETR(q)) + std::abs(LICE_GETG(p) - LICE_GETG(q)) +
             std::abs(LICE_GETB(p) - LICE_GETB(q));
    }
  }
  return sum / (3.0 * a.Width() * a.Height());
}

// The 200 % picture reduced to 100 % with a box filter: each pixel the mean of its 2 x 2.
std::unique_ptr<LICE_MemBitmap> BoxHalf(const LICE_IBitmap& big) {
  auto result = std::make_unique<LICE_MemBitmap>(big.Width() / 2, big.Height() / 2);
  LICE_MemBitmap& half = *result;
  for (int y = 0; y < half.Height(); ++y) {
    for (int x = 0; x < half.Width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (int k = 0; k < 4; ++k) {
        const LICE_pixel p = big.Bits()[(2 * y + k / 2) * big.RowSpan() + 2 * x + k % 2];
        r += LICE_GETR(p);
        g += LICE_GETG(p);
        b += LICE_GETB(p);
      }
      half.Bits()[y * half.RowSpan() + x] = LICE_RGBA((r + 2) / 4, (g + 2) / 4, (b + 2) / 4, 255);
    }
  }
  return result;
}

// The 100 % picture stretched to twice its size the way a window system stretches an editor
// that knows no scale: bilinear, pixel centres aligned.
std::unique_ptr<LICE_MemBitmap> Stretched(const LICE_IBitmap& small) {
  auto result = std::make_unique<LICE_MemBitmap>(small.Width() * 2, small.Height() * 2);
  LICE_MemBitmap& big = *result;
  auto at = [&](int x, int y, int shift) {
    x = std::clamp(x, 0, small.Width() - 1);
    y = std::clamp(y, 0, small.Height() - 1);
    return static_cast<double>((small.Bits()[y * small.RowSpan() + x] >> shift) & 255);
  };
  for (int y = 0; y < big.Height(); ++y) {
    for (int x = 0; x < big.Width(); ++x) {
      const double sx = (x + 0.5) / 2 - 0.5, sy = (y + 0.5) / 2 - 0.5;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      const double fx = sx - x0, fy = sy - y0;
      LICE_pixel out = 0xFF000000u;
      for (int shift : {0, 8, 16}) {
        const double v = (at(x0, y0, shift) * (1 - fx) + at(x0 + 1, y0, shift) * fx) * (1 - fy) +
                         (at(x0, y0 + 1, shift) * (1 - fx) + at(x0 + 1, y0 + 1, shift) * fx) * fy;
        out |= static_cast<LICE_pixel>(std::lround(v)) << shift;
      }
      big.Bits()[y * big.RowSpan() + x] = out;
    }
  }
  return result;
}

// Edge steepness: the mean of the largest 1 % of luminance steps between neighbouring pixels
// (across and down). The panel's print and outlines make those steps; a sharp picture takes
// them in one pixel, a stretched one spreads each over two, halving the steps. The paint's
// grain is a few levels and never reaches the top 1 %.
double EdgeSteepness(const LICE_IBitmap& bitmap) {
  auto luma = [&](int x, int y) {
    const LICE_pixel p = bitmap.Bits()[y * bitmap.RowSpan() + x];
    return 0.299 * LICE_GETR(p) + 0.587 * LICE_GETG(p) + 0.114 * LICE_GETB(p);
  };
  std::vector<double> steps;
  steps.reserve(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 2);
  for (int y = 0; y + 1 < bitmap.Height(); ++y) {
    for (int x = 0; x + 1 < bitmap.Width(); ++x) {
      const double c = luma(x, y);
      steps.push_back(std::fabs(luma(x + 1, y) - c));
      steps.push_back(std::fabs(luma(x, y + 1) - c));
    }
  }
  const std::size_t top = steps.size() / 100;
  std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(top), steps.end(), std::greater<>());
  double sum = 0.0;
  for (std::size_t i = 0; i < top; ++i) sum += steps[i];
  return sum / static_cast<double>(top);
}

// Every scale in both views: the picture has the scaled size; the 200 % one, reduced with a
// box filter, is the 100 % panel within a few levels (text and grain are drawn afresh, so
// not to the bit), and its edges are clearly steeper than the 100 % picture's stretched.
TEST_F(SnapshotTest, EveryScaleHasItsSizeAnd200PercentIsThePanelDrawnSharper) {
  for (const snapshot::View view : {snapshot::View::kMain, snapshot::View::kAlt}) {
    snapshot::Options options;
    options.view = view;
    options.program = 22;
    std::unique_ptr<LICE_MemBitmap> at100;
    for (int scale : {100, 125, 150, 175, 200}) {
      SCOPED_TRACE("view " + std::to_string(static_cast<int>(view)) + " at " + std::to_string(scale) + " %");
      options.scale = scale;
      auto picture = Picture(options);
      EXPECT_EQ(picture->Width(), static_cast<int>(std::lround(1032 * scale / 100.0)));
      EXPECT_EQ(picture->Height(), static_cast<int>(std::lround(588 * scale / 100.0)));
      EXPECT_GT(DistinctColours(*picture), 1000);
      if (scale == 100) at100 = std::move(picture);
      if (scale != 200) continue;
      const double difference = MeanDifference(*BoxHalf(*picture), *at100);
      const double sharp = EdgeSteepness(*picture);
      const double stretched = EdgeSteepness(*Stretched(*at100));
      std::printf("  200 %% vs 100 %%: mean difference %.2f of 255; edge steepness %.1f drawn, %.1f stretched\n",
                  difference, sharp, stretched);
      EXPECT_LT(difference, 5.0);
      EXPECT_GT(sharp, 1.5 * stretched);
    }
  }
}

TEST_F(SnapshotTest, KnobsFollowTheParameterAndTheMouse) {
  snapshot::Options options;
  options.view = snapshot::View::kAlt;
  options.params = {{kVcfCutoff, 0.0}};
  const auto closed = Picture(options);
  options.params = {{kVcfCutoff, plug_->GetParam(kVcfCutoff)->Max()}};
  const auto open = Picture(options);
  const LICE_Rect cutoffKnob{443, 30, 483, 70};
  EXPECT_GT(Differences(*closed, *open, cutoffKnob), 20);
  EXPECT_EQ(Differences(*closed, *open), Differences(*closed, *open, cutoffKnob));
  // Hovering shows the readout on that knob only.
  options.hover = true;
  options.hoverX = 460;
  options.hoverY = 50;
  const auto hovered = Picture(options);
  EXPECT_GT(Differences(*open, *hovered, cutoffKnob), 200);
  EXPECT_EQ(Differences(*open, *hovered), Differences(*open, *hovered, cutoffKnob));
}

TEST_F(SnapshotTest, TheProgramDisplayShowsTheProgramNumber) {
  snapshot::Options options;
  options.program = 0;
  const auto first = Picture(options);
  options.program = 9;  // 22: both digits change
  const auto tenth = Picture(options);
  EXPECT_EQ(plug_->CurrentProgram(), 9);
  EXPECT_GT(Differences(*first, *tenth, {54, 145, 80, 179}), 30);
  EXPECT_GT(Differences(*first, *tenth, {87, 145, 113, 179}), 30);
}

TEST_F(SnapshotTest, FadersShowWhenTheSettingIsOnOrTheMouseIsOverOne) {
  snapshot::Options options;
  options.showParameters = 0;
  const auto hidden = Picture(options);
  options.showParameters = 1;
  const auto shown = Picture(options);
  const LICE_Rect cutoffFader{732, 172, 786, 264};
  EXPECT_GT(Differences(*hidden, *shown, cutoffFader), 500);
  options.showParameters = 0;
  options.hover = true;
  options.hoverX = 750;
  options.hoverY = 200;
  const auto hovered = Picture(options);
  EXPECT_EQ(Differences(*hovered, *shown, cutoffFader), 0);
  EXPECT_EQ(Differences(*hovered, *hidden), Differences(*hovered, *hidden, cutoffFader));
}

// The editor's own faders: with "Show Parameters" on all 26 show track, handle and value;
// with it off each leaves the background's printed scale exactly as the artwork has it.
TEST_F(SnapshotTest, AllFadersShowWithTheSettingAndThePrintedScalesWithout) {
  const LICE_IBitmap* back = LICE_CachedPngResource(101);
  ASSERT_NE(back, nullptr);
  auto& layout = *dynamic_cast<panel::PanelLayout*>(plug_->GetPanel().View());
  snapshot::Options options;
  options.showParameters = 0;
  const auto hidden = Picture(options);
  options.showParameters = 1;
  const auto shown = Picture(options);
  for (int p = panel::kFirstSoundParam; p <= panel::kLastSoundParam; ++p) {
    const IRect r = layout.Find(p)->Rect();
    const LICE_Rect rect{r.L, r.T, r.R, r.B};
    EXPECT_EQ(Differences(*hidden, *back, rect), 0) << "fader " << p;
    EXPECT_GT(Differences(*shown, *back, rect), 1000) << "fader " << p;
  }
}

TEST_F(SnapshotTest, BadIndexesAreRefused) {
  snapshot::Options options;
  std::string error;
  options.params = {{51, 0.0}};
  EXPECT_FALSE(snapshot::Apply(*plug_, options, &error));
  EXPECT_NE(error.find("51"), std::string::npos);
}

TEST(SnapshotOptionsTest, ProgramsAreIndexesOrPanelNumbers) {
  EXPECT_EQ(snapshot::ParseProgram("0"), 0);
  EXPECT_EQ(snapshot::ParseProgram("9"), 9);
  EXPECT_EQ(snapshot::ParseProgram("20"), 20);
  EXPECT_EQ(snapshot::ParseProgram("11"), 0);   // panel bank 1, number 1
  EXPECT_EQ(snapshot::ParseProgram("23"), 10);  // bank 2, number 3
  EXPECT_EQ(snapshot::ParseProgram("88"), 63);
  EXPECT_EQ(snapshot::ParseProgram("59"), 59);
  EXPECT_EQ(snapshot::ParseProgram("64"), 43);  // panel number 64, not index 64
  for (const char* bad : {"90", "-1", "", "1x", "x", "100", "89"}) EXPECT_EQ(snapshot::ParseProgram(bad), -1) << bad;
}

TEST(SnapshotOptionsTest, TheCommandLineIsReadOrRefusedWithAReason) {
  snapshot::Options o;
  std::string error;
  ASSERT_TRUE(snapshot::ParseOptions({"--view", "alt", "--program", "34", "--param", "16=40.5", "--param", "5=2",
                                      "--hover", "12,-3", "--show-parameters", "on", "--out", "x.png"},
                                     &o, &error))
      << error;
  EXPECT_EQ(o.view, snapshot::View::kAlt);
  EXPECT_EQ(o.program, 19);
  ASSERT_EQ(o.params.size(), 2u);
  EXPECT_EQ(o.params[0], (std::pair<int, double>{16, 40.5}));
  EXPECT_TRUE(o.hover);
  EXPECT_EQ(o.hoverX, 12);
  EXPECT_EQ(o.hoverY, -3);
  EXPECT_EQ(o.showParameters, 1);
  EXPECT_EQ(o.out, "x.png");
  const std::vector<std::vector<std::string>> bad = {
      {"--view", "side"}, {"--program", "99"}, {"--param", "16"},   {"--param", "a=1"}, {"--param", "3=nan"},
      {"--hover", "5"},   {"--out"},           {"--colour", "red"}, {"stray"},          {"--show-parameters", "yes"}};
  for (const auto& args : bad) {
    snapshot::Options ignored;
    error.clear();
    EXPECT_FALSE(snapshot::ParseOptions(args, &ignored, &error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

// The built tool, as people and scripts run it.
class SnapshotToolTest : public shell_test::TempHome {};

TEST_F(SnapshotToolTest, WritesEachViewAsA1032By588Png) {
  for (const char* view : {"main", "alt"}) {
    const std::string out = Path(std::string(view) + ".png");
    const std::string command =
        std::string(TESVAR_SNAPSHOT_PATH) + " --view " + view + " --program 27 --out '" + out + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::unique_ptr<LICE_MemBitmap> picture(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
    ASSERT_NE(picture, nullptr) << view;
    EXPECT_EQ(picture->Width(), 1032);
    EXPECT_EQ(picture->Height(), 588);
    EXPECT_GT(DistinctColours(*picture), 1000) << view;
  }
  EXPECT_NE(std::system((std::string(TESVAR_SNAPSHOT_PATH) + " --view nowhere 2> /dev/null").c_str()), 0);
}

}  // namespace
