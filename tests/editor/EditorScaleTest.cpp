// The editor's screen scale: how settings and desktop factors are read, where the scale comes
// from (the user's zoom, the host's factor, the desktop), how the holding window is asked and
// what a refusal leaves, the device-pixel round trip of events and drawing, and the drawing
// buffer that exists only while the window is open.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "editor/framework/Controls.h"
#include "editor/framework/EditorScale.h"
#include "tests/editor/FrameworkTestSupport.h"

namespace {

using editortest::Editor;
using editortest::RecordingControl;

TEST(EditorScaleText, ZoomSettingsAndDesktopFactorsBecomeSteps) {
  const std::pair<const char*, int> zooms[] = {
      {"Auto", 0},  {"auto", 0},  {" AUTO ", 0}, {"100", 100}, {"125", 125}, {"150%", 150}, {"175 ", 175},
      {"200", 200}, {"110", 100}, {"120", 125},  {"250", 200}, {"300", 200}, {"301", -1},   {"99", -1},
      {"0", -1},    {"", -1},     {"big", -1},   {"1e2", -1},  {"-150", -1}, {"15O", -1},   {"12345", -1}};
  for (const auto& [text, expected] : zooms) EXPECT_EQ(editor_scale::ParseZoom(text), expected) << '"' << text << '"';
  const std::pair<double, int> factors[] = {{1.0, 100},
                                            {1.1, 100},
                                            {1.125, 125},
                                            {1.25, 125},
                                            {120.0 / 96, 125},
                                            {144.0 / 96, 150},
                                            {1.75, 175},
                                            {2.0, 200},
                                            {2.5, 200},
                                            {3.0, 200},
                                            {3.1, 100},
                                            {0.5, 100},
                                            {0.0, 100},
                                            {-2.0, 100},
                                            {std::numeric_limits<double>::quiet_NaN(), 100},
                                            {std::numeric_limits<double>::infinity(), 100}};
  for (const auto& [factor, expected] : factors) EXPECT_EQ(editor_scale::PercentForFactor(factor), expected) << factor;
  EXPECT_EQ(editor_scale::ZoomText(0), "Auto");
  EXPECT_EQ(editor_scale::ZoomText(175), "175");
}

// Every editor pixel's first device pixel maps back to it, at every step, and neighbouring
// rectangles stay neighbours: what is drawn and what is hit agree.
TEST(EditorScaleText, DevicePixelsMapBackToTheirEditorPixel) {
  for (int percent : editor_scale::kSteps) {
    int last = std::numeric_limits<int>::min();
    for (int v = -40; v <= 1100; ++v) {
      const int device = editor_scale::ToDevice(v, percent);
      EXPECT_EQ(editor_scale::ToEditor(device, percent), v) << percent << " % " << v;
      EXPECT_GT(device, last) << percent << " % " << v;
      last = device;
    }
    EXPECT_EQ(editor_scale::ToDevice(1032, percent), static_cast<int>(std::lround(1032 * percent / 100.0)));
    EXPECT_EQ(editor_scale::ToDevice(588, percent), static_cast<int>(std::lround(588 * percent / 100.0)));
  }
}

// The holder of the window, as an adapter is: records what it is asked and answers.
struct HolderFrame : EditorFrame {
  bool EditorResizeRequested(int width, int height) override {
    asked.emplace_back(width, height);
    return accept;
  }
  std::vector<std::pair<int, int>> asked;
  bool accept = true;
};

// The scale comes from the user's zoom, else the host's factor, else the desktop's; a
// desktop change moves only an "Auto" editor. Sizes are the panel's times the scale.
TEST(EditorScale, TheUsersZoomThenTheHostsFactorThenTheDesktops) {
  struct Case {
    int zoom;
    double host;
    double desktop;
    int expected;
  };
  const Case cases[] = {{0, 0.0, 0.0, 100},   {0, 0.0, 2.0, 200},  {0, 1.5, 2.0, 150}, {125, 1.5, 2.0, 125},
                        {100, 0.0, 2.0, 100}, {0, 0.0, 1.75, 175}, {0, 4.0, 2.0, 100}, {0, 0.0, 0.7, 100},
                        {333, 0.0, 2.0, 100}, {200, 0.0, 1.0, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.zoom) + " / " + std::to_string(c.host) + " / " + std::to_string(c.desktop));
    Editor e(400, 200);
    e.graphics->SetDesktopScale(c.desktop);
    e.graphics->SetUserZoom(c.zoom);
    e.Attach();
    e.graphics->SetHostScale(c.host);
    EXPECT_EQ(e.graphics->ScalePercent(), c.expected);
    EXPECT_EQ(e.graphics->Width(), 400 * c.expected / 100);
    EXPECT_EQ(e.graphics->Height(), 200 * c.expected / 100);
  }
  // Only an "Auto" editor with no host factor follows the desktop when it changes.
  Editor e(400, 200);
  HolderFrame frame;
  e.graphics->SetFrame(&frame);
  e.Open();
  EXPECT_EQ(e.graphics->ScalePercent(), 100);
  e.graphics->SetDesktopScale(1.5);
  EXPECT_EQ(e.graphics->DesktopScaleChanged(), IGraphics::ScaleChange::kApplied);
  EXPECT_EQ(e.graphics->Width(), 600);
  EXPECT_EQ(frame.asked, (std::vector<std::pair<int, int>>{{600, 300}}));
  e.graphics->SetUserZoom(125);
  e.graphics->SetDesktopScale(2.0);
  EXPECT_EQ(e.graphics->DesktopScaleChanged(), IGraphics::ScaleChange::kUnchanged);
  EXPECT_EQ(e.graphics->ScalePercent(), 125);
}

// An open editor asks its holder before it changes size; the holder sees the new size in
// Width and Height during the question. Refused, the editor keeps its size, buffer and
// window until it opens again.
TEST(EditorScale, TheHolderIsAskedAndARefusalWaitsForTheNextOpening) {
  Editor e(400, 200);
  HolderFrame frame;
  std::vector<std::pair<int, int>> seen;
  struct Watching : HolderFrame {
    IGraphics* graphics = nullptr;
    std::vector<std::pair<int, int>>* seen = nullptr;
    bool EditorResizeRequested(int width, int height) override {
      seen->emplace_back(graphics->Width(), graphics->Height());
      return HolderFrame::EditorResizeRequested(width, height);
    }
  } watching;
  watching.graphics = e.graphics;
  watching.seen = &seen;
  e.graphics->SetFrame(&watching);
  e.Open();
  ASSERT_NE(e.graphics->BackBuffer(), nullptr);
  EXPECT_EQ(e.graphics->SetUserZoom(200), IGraphics::ScaleChange::kApplied);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{800, 400}}));
  EXPECT_EQ(e.graphics->BackBuffer()->Width(), 800);
  EXPECT_EQ(e.graphics->WindowSizes().back(), std::make_pair(800, 400));

  watching.accept = false;
  EXPECT_EQ(e.graphics->SetUserZoom(150), IGraphics::ScaleChange::kDeferred);
  EXPECT_EQ(watching.asked.back(), std::make_pair(600, 300));
  EXPECT_EQ(e.graphics->ScalePercent(), 200);
  EXPECT_EQ(e.graphics->Width(), 800);
  EXPECT_EQ(e.graphics->BackBuffer()->Width(), 800);
  e.graphics->Close();
  EXPECT_EQ(e.graphics->BackBuffer(), nullptr);  // no buffer while closed
  EXPECT_EQ(e.graphics->Width(), 600);           // the size of the next opening
  e.graphics->Open(nullptr);
  EXPECT_EQ(e.graphics->ScalePercent(), 150);
  EXPECT_EQ(e.graphics->BackBuffer()->Width(), 600);
  EXPECT_EQ(e.graphics->BackBuffer()->Height(), 300);
}

// At 200 % a click lands on the control under it, a drag of twice the device pixels moves a
// control by the same editor pixels, and a control fills its rectangle's device pixels.
TEST(EditorScale, EventsAndDrawingMeetAtTheScale) {
  for (int percent : editor_scale::kSteps) {
    SCOPED_TRACE(percent);
    Editor e(200, 100);
    RecordingControl* control = e.Add<RecordingControl>(IRect(50, 20, 90, 60), -1, IColor(255, 200, 0, 0));
    e.graphics->SetUserZoom(percent);
    e.Open();
    const auto device = [&](int v) { return editor_scale::ToDevice(v, percent); };
    e.graphics->OnButtonPress(device(50), device(20), IMouseMod{true}, false);
    e.graphics->OnPointerMove(device(50), device(10), IMouseMod{true});
    e.graphics->OnButtonRelease(device(50), device(10), IMouseMod{true});
    EXPECT_EQ(control->log, (std::vector<std::string>{"down", "drag 0,-10", "up"}));
    e.graphics->OnButtonPress(device(49) + (device(50) - device(49)) / 2, device(30), IMouseMod{true}, false);
    EXPECT_EQ(control->log.size(), 3u);  // left of the control: nothing
    e.graphics->Paint(IRect(0, 0, e.graphics->Width(), e.graphics->Height()));
    EXPECT_EQ(editortest::PixelAt(*e.graphics, device(50), device(20)), IColor(255, 200, 0, 0));
    EXPECT_EQ(editortest::PixelAt(*e.graphics, device(90) - 1, device(60) - 1), IColor(255, 200, 0, 0));
    EXPECT_NE(editortest::PixelAt(*e.graphics, device(90), device(60)), IColor(255, 200, 0, 0));
    EXPECT_NE(editortest::PixelAt(*e.graphics, device(50) - 1, device(20)), IColor(255, 200, 0, 0));
  }
}

}  // namespace
