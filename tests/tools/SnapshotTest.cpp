// The snapshot tool: both views come out at the window's size with the panel on them, the
// controls follow the instance's program, parameters and the mouse, and the command line
// reads what people type.
#include <gtest/gtest.h>

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
    for (int x = rect.left; x < rect.right; ++x) count += a.Bits()[y * a.RowSpan() + x] != b.Bits()[y * b.RowSpan() + x];
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
      {"--view", "side"}, {"--program", "99"}, {"--param", "16"}, {"--param", "a=1"}, {"--param", "3=nan"},
      {"--hover", "5"}, {"--out"}, {"--colour", "red"}, {"stray"}, {"--show-parameters", "yes"}};
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
    const std::string command = std::string(TESVAR_SNAPSHOT_PATH) + " --view " + view + " --program 27 --out '" +
                                out + "' > /dev/null";
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
