// A small plug-in and recording controls for the editor framework's tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IPlugBase.h"
#include "editor/framework/Controls.h"
#include "editor/framework/IGraphicsHeadless.h"

namespace editortest {

// A plain left click.
inline const IMouseMod kLeft{true, false, false, false};

// Three parameters: 0 continuous 0..100, 1 integer 0..7, 2 a list of three texts, 3 a
// continuous one shown negated. Records what the editor asked of it.
class TestPlug : public IPlugBase {
 public:
  TestPlug() : IPlugBase(4, "1-0 0-2", 4, "Test", "", "Us", 0x00010000, 0x74657374, true, true) {
    GetParam(0)->InitContinuous("Cutoff", 50, 0, 100, 0.01, 1);
    GetParam(1)->InitInteger("Octave", 2, 0, 7);
    static const char* const kShapes[] = {"Saw", "Pulse", "Noise"};
    GetParam(2)->InitList("Shape", 0, 3, kShapes);
    GetParam(3)->InitContinuous("Depth", 0, -10, 10, 0.01, 1);
    GetParam(3)->SetNegateDisplay(true);
  }
  void BeginParamGesture(int index) override { events.push_back("begin " + std::to_string(index)); }
  void ReportParamValue(int index, double normalised) override { events.push_back("set " + std::to_string(index)); }
  void EndParamGesture(int index) override { events.push_back("end " + std::to_string(index)); }
  void IdleTick() override { ++idleTicks; }
  std::vector<std::string> events;
  int idleTicks = 0;
};

// Records every event it receives; draws a filled rectangle in its colour.
class RecordingControl : public IControl {
 public:
  RecordingControl(IPlugBase* plug, const IRect& rect, int param = -1, LICE_pixel color = kColorWhite)
      : IControl(plug, rect, param), color_(color) {}
  void MouseDown(int x, int y, const IMouseMod& mod) override { log.push_back("down"); }
  void MouseUp(int x, int y, const IMouseMod& mod) override { log.push_back("up"); }
  void MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override {
    log.push_back("drag " + std::to_string(dx) + "," + std::to_string(dy));
  }
  void MouseDoubleClick(int x, int y, const IMouseMod& mod) override { log.push_back("double"); }
  void MouseWheel(int x, int y, const IMouseMod& mod, int steps) override {
    log.push_back("wheel " + std::to_string(steps));
  }
  bool KeyDown(int x, int y, int key) override {
    log.push_back("key " + std::to_string(key));
    return handlesKeys;
  }
  void MouseOver(int x, int y, const IMouseMod& mod) override { log.push_back("over"); }
  void MouseOut() override { log.push_back("out"); }
  void TextFromEntry(const char* text) override { log.push_back(std::string("text ") + text); }
  bool Draw(IGraphics& graphics) override {
    ++draws;
    return graphics.FillRect(color_, Rect());
  }
  std::vector<std::string> log;
  int draws = 0;
  bool handlesKeys = true;

 private:
  LICE_pixel color_;
};

// A headless editor on a TestPlug. Add the controls, then Open (which attaches the editor to
// the plug-in, as the product's constructor does, and opens its window).
struct Editor {
  explicit Editor(int width = 200, int height = 100) : graphics(new IGraphicsHeadless(&plug, width, height)) {}
  ~Editor() {
    if (!attached) delete graphics;
  }
  void Attach() {
    plug.AttachEditor(graphics);
    attached = true;
  }
  void Open() {
    if (!attached) Attach();
    graphics->Open(nullptr);
  }
  template <typename T, typename... Args>
  T* Add(Args&&... args) {
    T* control = new T(&plug, std::forward<Args>(args)...);
    graphics->AddControl(control);
    return control;
  }
  TestPlug plug;
  IGraphicsHeadless* graphics;
  bool attached = false;
};

// A bitmap strip of `frames` frames of w x h, frame n filled with grey level n * 10.
struct Strip {
  Strip(int w, int h, int frames) : image(w, h * frames) {
    for (int f = 0; f < frames; ++f) {
      const LICE_Rect r{0, f * h, w, (f + 1) * h};
      LICE_Clear(&image, LICE_RGBA((f + 1) * 10, (f + 1) * 10, (f + 1) * 10, 255), &r);
    }
    bitmap.image = &image;
    bitmap.W = w;
    bitmap.H = h * frames;
    bitmap.N = frames;
  }
  LICE_MemBitmap image;
  IBitmap bitmap;
};

inline LICE_pixel PixelAt(IGraphics& graphics, int x, int y) {
  LICE_IBitmap* b = graphics.BackBuffer();
  return b->Bits()[y * b->RowSpan() + x];
}

}  // namespace editortest
