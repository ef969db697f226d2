// Shared by the panel's editor tests: an instance whose editor is the panel in a headless
// window, with the ways a user reaches it (clicks, drags, hovering) and the registry.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor/PanelCommands.h"
#include "editor/PanelLayout.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "tests/editor/PanelTestSupport.h"

namespace panel_test {

// The registry number of a control of the alternative view.
constexpr int Alt(int number) { return number + panel::kAltViewKeyOffset; }

// The product's editor factory with a headless window instead of the platform's.
inline EditorView* HeadlessPanel(Tesvar& plug) {
  return panel::AttachPanel(new IGraphicsHeadless(&plug, 1032, 588), plug, nullptr);
}

class PanelEditorTest : public PanelTest {
 protected:
  void TearDown() override {
    owned_.clear();
    PanelTest::TearDown();
  }
  // A new instance with the panel in a headless editor, its window open and drawn.
  Tesvar& MakeEditor() {
    Tesvar& plug = MakeWithFactory(HeadlessPanel);
    Open(plug);
    return plug;
  }
  static IGraphicsHeadless& Graphics(Tesvar& plug) { return *dynamic_cast<IGraphicsHeadless*>(plug.Editor()); }
  static panel::PanelLayout& Layout(Tesvar& plug) { return *dynamic_cast<panel::PanelLayout*>(plug.GetPanel().View()); }
  static void Open(Tesvar& plug) {
    static int parent = 0;
    Graphics(plug).Open(&parent);
    Graphics(plug).Tick();
  }
  // A left click (press and release) at a point, then one timer tick.
  static void Click(Tesvar& plug, int x, int y, bool left = true) {
    IGraphicsHeadless& g = Graphics(plug);
    IMouseMod mod;
    mod.left = left;
    mod.right = !left;
    g.OnButtonPress(x, y, mod, false);
    g.OnButtonRelease(x, y, mod);
    g.Tick();
  }
  // A click at the centre of the control under a registry key.
  static void ClickKey(Tesvar& plug, int key, bool left = true) {
    const IRect r = Layout(plug).Find(key)->Rect();
    Click(plug, r.L + r.W() / 2, r.T + r.H() / 2, left);
  }
  static void HoverAt(Tesvar& plug, int x, int y) {
    Graphics(plug).OnPointerMove(x, y, IMouseMod{});
    Graphics(plug).Tick();
  }
  // The back buffer's pixels inside r, row by row.
  static std::vector<LICE_pixel> Pixels(Tesvar& plug, const IRect& r) {
    LICE_IBitmap* b = Graphics(plug).BackBuffer();
    std::vector<LICE_pixel> pixels;
    for (int y = r.T; y < r.B; ++y) {
      for (int x = r.L; x < r.R; ++x) pixels.push_back(b->Bits()[y * b->RowSpan() + x]);
    }
    return pixels;
  }
  // Repaints r now (as an expose would) and answers its pixels.
  static std::vector<LICE_pixel> Painted(Tesvar& plug, const IRect& r) {
    Graphics(plug).Paint(r);
    return Pixels(plug, r);
  }

  Tesvar& MakeWithFactory(EditorFactory factory) {
    owned_.push_back(std::make_unique<Tesvar>(shell_test::RecordingHost, factory));
    return *owned_.back();
  }

 private:
  std::vector<std::unique_ptr<Tesvar>> owned_;
};

}  // namespace panel_test
