// The alternative view's background: every sound parameter on a knob or a switch, grouped
// by section, the key-assign and programmer controls, and the program browser below.
#include <string>

#include "tools/artwork/Controls.h"
#include "tools/artwork/PanelKit.h"
#include "tools/artwork/Panels.h"

namespace artwork {
namespace {

namespace la = layout::alt_view;
using palette::kPrint;
using palette::kPrintDim;

constexpr double kRow1Strip = 4, kRow2Strip = 95, kRow3Strip = 208;

void Knob(cairo_t* cr, layout::Point p, int parameter, bool centre = false, bool clearTop = false) {
  kit::KnobRing(cr, p, parameter, centre, clearTop);
  kit::Label(cr, p.x + 20, p.y + 57, PanelName(parameter));
}

void Selector(cairo_t* cr, layout::Point p, int parameter, int positions) {
  kit::SwitchLegend(cr, p, positions, ListMarks(parameter));
  kit::Label(cr, p.x + 20, p.y + 57, PanelName(parameter));
}

void Slide(cairo_t* cr, layout::Point p, int parameter) {
  const auto marks = ListMarks(parameter);
  kit::SlideLegend(cr, p, marks[1].label, marks[0].label);
  kit::Label(cr, p.x + 7, p.y - 10 + 57, PanelName(parameter));
}

void PrintSoundSections(cairo_t* cr) {
  kit::Strip(cr, {30, kRow1Strip, 104, 11}, "MASTER", palette::kPerformance);
  Knob(cr, la::kVolume, 0);
  Knob(cr, la::kTune, 1, true);
  kit::Strip(cr, {24, kRow2Strip, 110, 11}, "CONTROLLERS", palette::kPerformance);
  kit::KnobRing(cr, la::kBend, 2);
  kit::Label(cr, la::kBend.x + 20, la::kBend.y + 57, "BEND RANGE");
  kit::KnobRing(cr, la::kWheelFrequency, 3, false, true);
  kit::Label(cr, la::kWheelFrequency.x + 20, la::kWheelFrequency.y + 57, "MOD FREQ");
  const Rect slot = kit::ToRect(la::kWheelDestination).Inset(-1.5);
  RoundedRect(cr, slot, 2);
  SetColour(cr, Hex(0x000000, 0.35));
  cairo_fill(cr);

  kit::Strip(cr, {167, kRow1Strip, 240, 11}, "DCO 1", palette::kOscillator);
  Selector(cr, la::Knob(8), 8, 3);
  Selector(cr, la::Knob(9), 9, 3);
  Knob(cr, la::Knob(10), 10);
  Knob(cr, la::Knob(11), 11);
  kit::Strip(cr, {167, kRow2Strip, 240, 11}, "DCO 2", palette::kOscillator);
  Selector(cr, la::Knob(12), 12, 3);
  Selector(cr, la::Knob(13), 13, 3);
  Selector(cr, la::Knob(14), 14, 5);
  Knob(cr, la::Knob(15), 15);

  kit::Strip(cr, {439, kRow1Strip, 316, 11}, "VCF", palette::kFilter);
  for (int p : {16, 17, 18}) Knob(cr, la::Knob(p), p);
  Knob(cr, la::Knob(19), 19, true);
  Slide(cr, la::kVcfType, 20);
  kit::Strip(cr, {439, kRow2Strip, 240, 11}, "MG", palette::kModulation);
  for (int p = 30; p <= 33; ++p) Knob(cr, la::Knob(p), p);
  kit::Strip(cr, {687, kRow2Strip, 68, 11}, "VCA", palette::kAmplifier);
  Slide(cr, la::kVcaMode, 25);

  kit::Strip(cr, {771, kRow1Strip, 240, 11}, "EG 1", palette::kEnvelope);
  for (int p = 21; p <= 24; ++p) Knob(cr, la::Knob(p), p);
  kit::Strip(cr, {771, kRow2Strip, 240, 11}, "EG 2", palette::kAmplifier);
  for (int p = 26; p <= 29; ++p) Knob(cr, la::Knob(p), p);
}

Rect SmallButton(layout::Point p) { return {double(p.x), double(p.y), 24, 40}; }

void SmallButtonWell(cairo_t* cr, layout::Point first, layout::Point last) {
  const Rect a = SmallButton(first), b = SmallButton(last);
  kit::Well(cr, {a.x - 4, a.y - 3, b.Right() - a.x + 8, a.h + 5});
}

// A button printed on the panel (its hot spot has no bitmap): a raised flat key.
void PrintedKey(cairo_t* cr, Rect r, const std::string& text, bool menu = false) {
  BlurredShape(
      cr, r, [&](cairo_t* m) { RoundedRect(m, r, 2.5); }, 0, 1, 2, Hex(0x000000, 0.8));
  RoundedRect(cr, r, 2.5);
  cairo_pattern_t* g = VerticalGradient(r, Hex(0x3a3c42), Hex(0x1f2024));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0x64676e));
  cairo_stroke(cr);
  if (text.empty()) return;
  const double shift = menu ? -4 : 0;
  DrawTextCentred(cr, {palette::kSans, 7.5, true, false, 0.8}, r.CentreX() + shift, r.CentreY(), text, kPrint);
  if (!menu) return;
  // The small triangle of a button that opens a menu.
  const double tx = r.Right() - 9, ty = r.CentreY();
  cairo_move_to(cr, tx - 3, ty - 1.5);
  cairo_line_to(cr, tx + 3, ty - 1.5);
  cairo_line_to(cr, tx, ty + 2);
  cairo_close_path(cr);
  SetColour(cr, kPrintDim);
  cairo_fill(cr);
}

void Arrow(cairo_t* cr, layout::Box b, bool left) {
  const Rect r = kit::ToRect(b).Inset(0.5);
  PrintedKey(cr, r, "");
  const double cx = r.CentreX(), cy = r.CentreY(), d = left ? -1 : 1;
  cairo_move_to(cr, cx + 4 * d, cy);
  cairo_line_to(cr, cx - 3 * d, cy - 6);
  cairo_line_to(cr, cx - 3 * d, cy + 6);
  cairo_close_path(cr);
  SetColour(cr, kPrint);
  cairo_fill(cr);
}

void PrintPerformanceRow(cairo_t* cr) {
  kit::Strip(cr, {24, kRow3Strip, 110, 11}, "EFFECTS", palette::kPerformance);
  Selector(cr, la::kEffectsMode, 34, 4);
  kit::Label(cr, la::kEffectsMode.x + 20, la::kEffectsMode.y + 57, "EFFECT");
  Knob(cr, la::kEffectsSpeed, 35);

  kit::Strip(cr, {166, kRow3Strip, 144, 11}, "KEY ASSIGN", palette::kPerformance);
  SmallButtonWell(cr, la::kHold, la::kUnison);
  const std::pair<layout::Point, const char*> assign[4] = {
      {la::kHold, "HOLD"}, {la::kChord, "CHORD"}, {la::kPoly, "POLY"}, {la::kUnison, "UNISON"}};
  for (const auto& [p, name] : assign) kit::Label(cr, p.x + 12, p.y - 7, name);

  kit::Strip(cr, {322, kRow3Strip, 144, 11}, "POLYPHONY", palette::kPerformance);
  const Rect voices = kit::ToRect(la::kVoices);
  kit::Window(cr, voices, palette::kGlassRed);
  kit::Label(cr, voices.CentreX(), voices.y - 7, "VOICES");
  DrawText(cr, palette::TinyFont(), voices.x + 22, voices.Bottom() + 11, Align::kCentre, "PER NOTE", kPrintDim);
  DrawText(cr, palette::TinyFont(), voices.x + 52, voices.Bottom() + 11, Align::kCentre, "POLY", kPrintDim);
  Knob(cr, la::kSpread, 7);
}

void PrintProgrammer(cairo_t* cr) {
  kit::Strip(cr, {490, kRow3Strip, 521, 11}, "PROGRAMMER", palette::kProgrammer);
  kit::Window(cr, kit::ToRect(la::kPresetName), palette::kGlassName, 2);
  PrintedKey(cr, kit::ToRect(la::kMenu), "MENU", true);
  PrintedKey(cr, kit::ToRect(la::kLearn), "LEARN");
  Arrow(cr, la::kLeftArrow, true);
  kit::Window(cr, kit::ToRect(la::kProgramDisplay), palette::kGlassRed);
  Arrow(cr, la::kRightArrow, false);

  SmallButtonWell(cr, la::Key(1), la::Key(8));
  const Font digit{palette::kSans, 9, true, false, 0};
  for (int n = 1; n <= 8; ++n) {
    const auto p = la::Key(n);
    DrawText(cr, digit, p.x + 12, p.y - 7, Align::kCentre, std::to_string(n), kPrint);
  }
}

}  // namespace

void DrawAltPanel(Image& image) {
  kit::PaintBase(image, 102);
  cairo_t* cr = image.Cr();
  // Three sections: the sound parameters, the performance and programmer row, the browser.
  kit::Band(cr, 0, 201, 0.03);
  kit::Band(cr, 201, 307, 0.015);
  kit::Seam(cr, 201, image.Width());
  kit::Seam(cr, 307, image.Width());
  kit::ViewSwitchMark(cr);
  PrintSoundSections(cr);
  PrintPerformanceRow(cr);
  PrintProgrammer(cr);
  PrintBrowser(cr);
}

}  // namespace artwork
