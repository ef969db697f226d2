// Review pictures: the views as the editor would show them, composed from the written PNGs.
// The states are plausible examples (a program selected in parameter mode, one fader
// hovered, a browser showing a factory bank); texts use the editor's fonts and colours.
#include "tools/artwork/Preview.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "editor/framework/IGraphicsTypes.h"
#include "resources/ParameterInfo.h"
#include "tools/artwork/Canvas.h"
#include "tools/artwork/Layout.h"

namespace artwork {
namespace {

namespace lm = layout::main_view;
namespace la = layout::alt_view;

struct Strip {
  cairo_surface_t* surface = nullptr;
  int frames = 1;
  int Width() const { return cairo_image_surface_get_width(surface); }
  int FrameHeight() const { return cairo_image_surface_get_height(surface) / frames; }
};

class Library {
 public:
  explicit Library(std::string dir) : dir_(std::move(dir)) {}
  ~Library() {
    for (auto& [name, s] : strips_) cairo_surface_destroy(s.surface);
  }
  bool ok = true;
  bool nearest = false;  // enlarge without smoothing
  // Frame n counts from 1, as the editor's frames do.
  void Draw(cairo_t* cr, const std::string& name, int frames, int frame, double x, double y) {
    const Strip& s = Get(name, frames);
    if (!s.surface) return;
    const int fh = s.FrameHeight();
    const int top = StripFrameStart(cairo_image_surface_get_height(s.surface), s.frames, frame - 1);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, s.Width(), fh);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s.surface, x, y - top);
    if (nearest) cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
  }

 private:
  const Strip& Get(const std::string& name, int frames) {
    auto it = strips_.find(name);
    if (it != strips_.end()) return it->second;
    Strip s{cairo_image_surface_create_from_png((dir_ + "/" + name).c_str()), frames};
    if (cairo_surface_status(s.surface) != CAIRO_STATUS_SUCCESS) {
      ok = false;
      cairo_surface_destroy(s.surface);
      s.surface = nullptr;
    }
    return strips_.emplace(name, s).first->second;
  }
  std::string dir_;
  std::map<std::string, Strip> strips_;
};

// Text as the editor's ITextControl draws it: "Arial" (fontconfig finds Liberation Sans),
// centred in the rectangle.
void EditorText(cairo_t* cr, layout::Box b, double size, int a, int r, int g, int bl, const std::string& text,
                Align align = Align::kCentre) {
  const Font font{"Arial", size, false, false, 0};
  const double x = align == Align::kCentre ? (b.left + b.right) / 2.0 : align == Align::kLeft ? b.left : b.right;
  const double baseline = (b.top + b.bottom) / 2.0 + CapHeight(cr, font) / 2;
  DrawText(cr, font, x, baseline, align, text, {r / 255.0, g / 255.0, bl / 255.0, a / 255.0});
}

void Digits(Library& lib, cairo_t* cr, const char* strip, layout::Box b, int code) {
  lib.Draw(cr, strip, 12, (code >> 4) + 1, b.left + 7, b.top + 6);
  lib.Draw(cr, strip, 12, (code & 15) + 1, b.left + 40, b.top + 6);
}

void Voices(Library& lib, cairo_t* cr, layout::Box b, const int nibbles[4]) {
  const int dx[4] = {10, 23, 35, 48};
  for (int i = 0; i < 4; ++i) lib.Draw(cr, "digits_small.png", 12, nibbles[i] + 1, b.left + dx[i], b.top + 10);
}

int KnobFrame(double value) { return int(std::lround(64 * value)) + 1; }

double Normalised(int parameter, double plain) {
  const auto& p = resources::kParameterInfo[std::size_t(parameter)];
  return std::pow((plain - p.minValue) / (p.maxValue - p.minValue), 1.0 / p.shape);
}

std::string DisplayText(int parameter, double plain) {
  const auto& p = resources::kParameterInfo[std::size_t(parameter)];
  if (!p.listTexts.empty()) return p.listTexts[std::size_t(std::lround(plain))];
  char buf[32];
  std::snprintf(buf, sizeof buf, p.step >= 1 ? "%.0f" : "%.2f", plain);
  return buf;
}

void Fader(Library& lib, cairo_t* cr, int parameter, double plain) {
  const layout::Point p = lm::Fader(parameter);
  const double value = Normalised(parameter, plain);
  lib.Draw(cr, "lever.png", 1, 1, p.x, p.y);
  const int top = p.y + int(std::lround((lm::kFaderHeight - 16) * (1 - value)));
  lib.Draw(cr, "handle.png", 1, 1, p.x, top);
  EditorText(cr, {p.x, top, p.x + lm::kFaderWidth, top + 16}, 15, 255, 224, 208, 192, DisplayText(parameter, plain));
}

void ComposeMain(Library& lib, cairo_t* cr, bool allFaders) {
  lib.Draw(cr, "back.png", 1, 1, 0, 0);
  EditorText(cr, lm::kVersion, 12, 128, 255, 255, 255, "v.1.0.1.0");
  EditorText(cr, lm::kPresetName, 16, 192, 84, 192, 84, "Warm Strings 1");
  Digits(lib, cr, "digits.png", lm::kProgramDisplay, 0x35);
  Digits(lib, cr, "digits.png", lm::kParameterDisplay, 0x31);
  Digits(lib, cr, "digits_green.png", lm::kValueDisplay, 0x42);
  lib.Draw(cr, "menu.png", 2, allFaders ? 2 : 1, lm::kMenu.x, lm::kMenu.y);
  lib.Draw(cr, "led_flat.png", 1, 1, lm::kEditLed.x, lm::kEditLed.y);
  lib.Draw(cr, "button.png", 2, 1, lm::kDown.x, lm::kDown.y);
  lib.Draw(cr, "button.png", 2, allFaders ? 2 : 1, lm::kUp.x, lm::kUp.y);
  lib.Draw(cr, "button_led_off.png", 2, 1, lm::kProgram.x, lm::kProgram.y);
  lib.Draw(cr, "button_led_on.png", 2, 1, lm::kParameter.x, lm::kParameter.y);
  for (int n = 1; n <= 8; ++n) lib.Draw(cr, "button.png", 2, n == 3 ? 2 : 1, lm::Key(n).x, lm::Key(n).y);
  lib.Draw(cr, "button.png", 2, 1, lm::kBrowse.x, lm::kBrowse.y);
  lib.Draw(cr, "button_led_on.png", 2, 1, lm::kLearn.x, lm::kLearn.y);
  lib.Draw(cr, "learn.png", 2, allFaders ? 2 : 1, lm::kLearnLabel.x, lm::kLearnLabel.y);
  lib.Draw(cr, "button_led_off.png", 2, 1, lm::kHold.x, lm::kHold.y);
  lib.Draw(cr, "button_led_off.png", 2, 1, lm::kChord.x, lm::kChord.y);
  lib.Draw(cr, "button_led_on.png", 2, 1, lm::kPoly.x, lm::kPoly.y);
  lib.Draw(cr, "button_led_off.png", 2, 2, lm::kUnison.x, lm::kUnison.y);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.5), lm::kVolume.x, lm::kVolume.y);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.5), lm::kTune.x, lm::kTune.y);
  lib.Draw(cr, "knob.png", 65, KnobFrame(2 / 12.0), lm::kBend.x, lm::kBend.y);
  EditorText(cr, lm::kWheelDestination, 10, 192, 192, 96, 96, "TO DCO");
  EditorText(cr,
             {lm::kWheelDestination.left + 1, lm::kWheelDestination.top, lm::kWheelDestination.right + 1,
              lm::kWheelDestination.bottom},
             10, 192, 192, 96, 96, "TO DCO");
  lib.Draw(cr, "knob.png", 65, KnobFrame(Normalised(3, 5.6)), lm::kWheelFrequency.x, lm::kWheelFrequency.y);
  lib.Draw(cr, "switch4.png", 4, 2, lm::kEffectsMode.x, lm::kEffectsMode.y);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.15), lm::kEffectsSpeed.x, lm::kEffectsSpeed.y);
  const int voices[4] = {4, 0xA, 1, 6};
  Voices(lib, cr, lm::kVoices, voices);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.3), lm::kSpread.x, lm::kSpread.y);
  if (allFaders) {
    for (int p = 8; p <= 33; ++p) Fader(lib, cr, p, resources::kParameterInfo[std::size_t(p)].defaultValue);
  } else {
    Fader(lib, cr, 16, 42.0);
  }
}

void ComposeAlt(Library& lib, cairo_t* cr) {
  lib.Draw(cr, "back2.png", 1, 1, 0, 0);
  EditorText(cr, la::kVersion, 12, 128, 255, 255, 255, "v.1.0.1.0");
  EditorText(cr, la::kPresetName, 16, 192, 84, 192, 84, "Warm Strings 1");
  Digits(lib, cr, "digits.png", la::kProgramDisplay, 0x35);
  lib.Draw(cr, "learn2.png", 2, 2, la::kLearnLabel.x, la::kLearnLabel.y);
  lib.Draw(cr, "button2_w_on.png", 2, 1, la::kHold.x, la::kHold.y);
  lib.Draw(cr, "button2_off.png", 2, 1, la::kChord.x, la::kChord.y);
  lib.Draw(cr, "button2_on.png", 2, 1, la::kPoly.x, la::kPoly.y);
  lib.Draw(cr, "button2_off.png", 2, 2, la::kUnison.x, la::kUnison.y);
  const int voices[4] = {0xB, 0xB, 1, 6};
  Voices(lib, cr, la::kVoices, voices);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.3), la::kSpread.x, la::kSpread.y);
  for (int n = 1; n <= 8; ++n) lib.Draw(cr, "button2_w_off.png", 2, n == 3 ? 2 : 1, la::Key(n).x, la::Key(n).y);
  lib.Draw(cr, "knob_gray.png", 65, KnobFrame(0.5), la::kVolume.x, la::kVolume.y);
  lib.Draw(cr, "knob_gray.png", 65, KnobFrame(0.5), la::kTune.x, la::kTune.y);
  lib.Draw(cr, "knob_gray.png", 65, KnobFrame(2 / 12.0), la::kBend.x, la::kBend.y);
  EditorText(cr, la::kWheelDestination, 10, 192, 192, 96, 96, "TO VCF");
  lib.Draw(cr, "knob_gray.png", 65, KnobFrame(0.6), la::kWheelFrequency.x, la::kWheelFrequency.y);
  lib.Draw(cr, "switch4.png", 4, 4, la::kEffectsMode.x, la::kEffectsMode.y);
  lib.Draw(cr, "knob.png", 65, KnobFrame(0.15), la::kEffectsSpeed.x, la::kEffectsSpeed.y);
  // A sound: the switches at various positions and the knobs spread over their travel.
  const double plain[34] = {0, 0,   0,   0, 0, 0, 0, 0, 1, 2, 3.5, 2,  0, 1, 3,   1.4, 40,
                            3, 0.5, 3.2, 0, 1, 6, 9, 5, 0, 0, 8,   12, 6, 5, 0.5, 1,   0};
  for (int p = 8; p <= 33; ++p) {
    const auto& info = resources::kParameterInfo[std::size_t(p)];
    const double v = Normalised(p, plain[p]);
    if (p == 20) lib.Draw(cr, "switch2.png", 2, 1, la::kVcfType.x, la::kVcfType.y);
    else if (p == 25) lib.Draw(cr, "switch2.png", 2, 2, la::kVcaMode.x, la::kVcaMode.y);
    else if (!info.listTexts.empty()) {
      const int n = int(info.listTexts.size());
      const std::string strip = "switch" + std::to_string(n) + ".png";
      lib.Draw(cr, strip, n, int(std::lround(plain[p])) + 1, la::Knob(p).x, la::Knob(p).y);
    } else {
      lib.Draw(cr, "knob.png", 65, KnobFrame(v), la::Knob(p).x, la::Knob(p).y);
    }
  }

  lib.Draw(cr, "button2_on.png", 2, 1, la::kFactory.x, la::kFactory.y);
  lib.Draw(cr, "button2_off.png", 2, 1, la::kFile.x, la::kFile.y);
  lib.Draw(cr, "button2_off.png", 2, 1, la::kCurrentBank.x, la::kCurrentBank.y);
  lib.Draw(cr, "switch2.png", 2, 2, la::kClickMode.x, la::kClickMode.y);

  auto row = [&](layout::Box b, const std::string& number, const std::string& name, bool sel) {
    const layout::Box nameBox{b.left + 22, b.top + 1, b.right - 1, b.bottom};
    cairo_rectangle(cr, nameBox.left, nameBox.top, nameBox.Width(), nameBox.Height());
    cairo_set_source_rgba(cr, 1, 1, 1, (sel ? 32 : 16) / 255.0);
    cairo_fill(cr);
    const int a = sel ? 192 : 128;
    EditorText(cr, {b.left, b.top + 1, b.left + 20, b.bottom}, 14, a, 255, 255, 255, number);
    EditorText(cr, {nameBox.left + 3, nameBox.top, nameBox.right, nameBox.bottom}, 14, a, 255, 255, 255, name,
               Align::kLeft);
  };
  const char* banks[3] = {"Factory Sounds", "Quellmark's Factory Sounds", "Veltrum's Factory Sounds"};
  for (int r = 0; r < 3; ++r) row(la::FileRow(r), std::to_string(r), banks[r], r == 1);
  const char* names[8] = {"Warm Strings", "Brass Section", "Glass Bells", "Sync Lead",
                          "Slow Pad",     "Funk Clav",     "Space Choir", "Bass Pluck"};
  for (int i = 0; i < 39; ++i) {
    char number[4];
    std::snprintf(number, sizeof number, "%d%d", i / 8 + 1, i % 8 + 1);
    row(la::ProgramRow(i / 13, i % 13), number, std::string(names[i % 8]) + " " + std::to_string(i / 8 + 1), i == 20);
  }
  auto thumb = [&](layout::Box b, double start, double page, double length) {
    const double track = b.Height() - 34, top = b.top + 17 + start / length * track;
    const double h = std::min(page / length * track, b.bottom - 17 - top);
    cairo_rectangle(cr, b.left, top, b.Width(), h);
    cairo_set_source_rgba(cr, 1, 1, 1, 32 / 255.0);
    cairo_fill(cr);
  };
  thumb(la::kProgramScroll, 0, 39, 64);
  thumb(la::kFileScroll, 0, 10, 3);
}

// Every strip side by side, three times enlarged, frames in columns, on the panel colour.
bool WriteSheet(const std::string& imageDir, const std::string& path) {
  struct Entry {
    const char* file;
    int frames;
    int shown;
  };
  const Entry entries[] = {{"button.png", 2, 2},         {"button_led_off.png", 2, 2},
                           {"button_led_on.png", 2, 2},  {"button2_off.png", 2, 2},
                           {"button2_on.png", 2, 2},     {"button2_w_off.png", 2, 2},
                           {"button2_w_on.png", 2, 2},   {"digits.png", 12, 12},
                           {"digits_green.png", 12, 12}, {"digits_small.png", 12, 12},
                           {"knob.png", 65, 9},          {"knob_gray.png", 65, 9},
                           {"switch2.png", 2, 2},        {"switch3.png", 3, 3},
                           {"switch4.png", 4, 4},        {"switch5.png", 5, 5},
                           {"learn.png", 2, 2},          {"learn2.png", 2, 2},
                           {"led_flat.png", 1, 1},       {"lever.png", 1, 1},
                           {"handle.png", 1, 1},         {"menu.png", 2, 2}};
  Image sheet(1400, 1150);
  cairo_t* cr = sheet.Cr();
  cairo_set_source_rgb(cr, 0.15, 0.16, 0.18);
  cairo_paint(cr);
  Library lib(imageDir);
  lib.nearest = true;
  double x = 10, y = 10, rowHeight = 0;
  for (const Entry& e : entries) {
    cairo_surface_t* s = cairo_image_surface_create_from_png((imageDir + "/" + e.file).c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
    const int w = cairo_image_surface_get_width(s), fh = cairo_image_surface_get_height(s) / e.frames;
    cairo_surface_destroy(s);
    const double cellW = 3 * w + 6, h = 3 * fh + 6;
    const int perRow = std::max(1, int(1380 / cellW));
    if (x + cellW * std::min(e.shown, perRow) > 1390) {
      x = 10;
      y += rowHeight + 8;
      rowHeight = 0;
    }
    for (int i = 0; i < e.shown; ++i) {
      if (x + cellW > 1390) {
        x = 10;
        y += rowHeight + 8;
        rowHeight = 0;
      }
      const int frame = e.shown == e.frames ? i + 1 : 1 + i * (e.frames - 1) / (e.shown - 1);
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_scale(cr, 3, 3);
      lib.Draw(cr, e.file, e.frames, frame, 0, 0);
      cairo_restore(cr);
      x += cellW;
      rowHeight = std::max(rowHeight, h);
    }
    x += 12;
  }
  return lib.ok && sheet.WritePng(path);
}

}  // namespace

bool WritePreviews(const std::string& imageDir, const std::string& outDir) {
  Library lib(imageDir);
  Image main(layout::kWidth, layout::kHeight), faders(layout::kWidth, layout::kHeight),
      alt(layout::kWidth, layout::kHeight);
  ComposeMain(lib, main.Cr(), false);
  ComposeMain(lib, faders.Cr(), true);
  ComposeAlt(lib, alt.Cr());
  return lib.ok && main.WritePng(outDir + "/main.png") && faders.WritePng(outDir + "/main-faders.png") &&
         alt.WritePng(outDir + "/alt.png") && WriteSheet(imageDir, outDir + "/sheet.png");
}

}  // namespace artwork
