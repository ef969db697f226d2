// The main view's background: the instrument's front panel with the programmer, the printed
// parameter matrix under the faders, the performance knobs and the key-assign buttons.
#include <cmath>
#include <string>

#include "tools/artwork/Controls.h"
#include "tools/artwork/PanelKit.h"
#include "tools/artwork/Panels.h"

namespace artwork {
namespace {

namespace lm = layout::main_view;
using palette::kPrint;
using palette::kPrintDim;

Rect ButtonRect(layout::Point p) { return {double(p.x), double(p.y), 40, 36}; }

// A row of buttons sitting in one well, each named above its cap.
void ButtonRow(cairo_t* cr, std::initializer_list<std::pair<layout::Point, const char*>> buttons,
               Font font = palette::LabelFont()) {
  const Rect first = ButtonRect(buttons.begin()->first);
  const Rect last = ButtonRect((buttons.end() - 1)->first);
  kit::Well(cr, {first.x - 4, first.y - 4, last.Right() - first.x + 8, first.h + 8});
  for (const auto& [p, name] : buttons) kit::Label(cr, p.x + 20, p.y - 7, name, kPrint, font);
}

void PrintHeader(cairo_t* cr) {
  kit::ViewSwitchMark(cr);
  kit::Wordmark(cr, 30, 70, 30);
  // The section colours as a bar under the name.
  const Colour bars[5] = {palette::kOscillator, palette::kFilter, palette::kEnvelope, palette::kAmplifier,
                          palette::kModulation};
  for (int i = 0; i < 5; ++i) {
    cairo_rectangle(cr, 31 + 44 * i, 80, 42, 3);
    SetColour(cr, bars[i]);
    cairo_fill(cr);
  }
  DrawText(cr, {palette::kNarrow, 8.5, true, false, 1.1}, 31, 97, Align::kLeft, "PROGRAMMABLE POLYPHONIC SYNTHESIZER",
           kPrintDim);

  kit::MakerMark(cr, 292, 40, 20);
  const Font maker{palette::kSans, 13, true, false, 2.2};
  DrawText(cr, maker, 309, 45, Align::kLeft, "QUELLMARK", kPrint);
  const double w = TextWidth(cr, maker, "QUELLMARK");
  DrawText(cr, {palette::kSans, 13, false, false, 2.2}, 309 + w + 7, 45, Align::kLeft, "MUSIC", kPrintDim);

  kit::Window(cr, kit::ToRect(lm::kPresetName), palette::kGlassName, 2);
  DrawText(cr, palette::TinyFont(), lm::kPresetName.left + 1, lm::kPresetName.top - 6, Align::kLeft, "PROGRAM NAME",
           kPrintDim);
}

void PrintPerformance(cairo_t* cr) {
  kit::Strip(cr, {606, 12, 112, 11}, "MASTER", palette::kPerformance);
  kit::Strip(cr, {728, 12, 120, 11}, "CONTROLLERS", palette::kPerformance);
  kit::Strip(cr, {858, 12, 146, 11}, "EFFECTS", palette::kPerformance);
  const double nameY = lm::kVolume.y + 57;
  kit::KnobRing(cr, lm::kVolume, 0);
  kit::Label(cr, lm::kVolume.x + 20, nameY, "VOLUME");
  kit::KnobRing(cr, lm::kTune, 1, true);
  kit::Label(cr, lm::kTune.x + 20, nameY, "TUNE");
  kit::KnobRing(cr, lm::kBend, 2);
  kit::Label(cr, lm::kBend.x + 20, nameY, "BEND RANGE");
  kit::KnobRing(cr, lm::kWheelFrequency, 3, false, true);
  kit::Label(cr, lm::kWheelFrequency.x + 20, nameY, "MOD FREQ");
  // The wheel's destination is a text the editor writes into this slot.
  const Rect slot = kit::ToRect(lm::kWheelDestination).Inset(-1.5);
  RoundedRect(cr, slot, 2);
  SetColour(cr, Hex(0x000000, 0.35));
  cairo_fill(cr);
  kit::SwitchLegend(cr, lm::kEffectsMode, 4, ListMarks(34));
  kit::Label(cr, lm::kEffectsMode.x + 20, nameY, "EFFECT");
  kit::KnobRing(cr, lm::kEffectsSpeed, 35);
  kit::Label(cr, lm::kEffectsSpeed.x + 20, nameY, "SPEED / INT");
}

void PrintProgrammer(cairo_t* cr) {
  // The display board: three LED windows, their names and the MENU button.
  kit::Well(cr, {25, 124, 243, 132}, 4);
  const auto program = kit::ToRect(lm::kProgramDisplay);
  const auto parameter = kit::ToRect(lm::kParameterDisplay);
  const auto value = kit::ToRect(lm::kValueDisplay);
  kit::Label(cr, program.CentreX(), program.y - 6, "PROGRAM");
  kit::Label(cr, parameter.CentreX(), parameter.y - 6, "PARAMETER");
  kit::Label(cr, value.CentreX(), value.y - 6, "VALUE");
  kit::Window(cr, program, palette::kGlassRed);
  kit::Window(cr, parameter, palette::kGlassRed);
  kit::Window(cr, value, palette::kGlassGreen);
  const Font tiny = palette::TinyFont();
  DrawText(cr, tiny, program.x + 20, program.Bottom() + 12, Align::kCentre, "BANK", kPrintDim);
  DrawText(cr, tiny, program.x + 53, program.Bottom() + 12, Align::kCentre, "NUMBER", kPrintDim);

  kit::Strip(cr, {26, 272, 242, 11}, "PROGRAMMER", palette::kProgrammer);
  // The EDIT LED's unlit lens; the lit one is drawn over it.
  const Rect led{double(lm::kEditLed.x), double(lm::kEditLed.y), 18, 8};
  RoundedRect(cr, led.Inset(-1), 2);
  SetColour(cr, Hex(0x000000, 0.8));
  cairo_fill(cr);
  RoundedRect(cr, led.Inset(0.5), 1.5);
  SetColour(cr, Hex(0x3a0d09));
  cairo_fill(cr);
  kit::Label(cr, led.CentreX(), led.y - 6, "EDIT");

  ButtonRow(cr, {{lm::kDown, "\u25bc DOWN"}, {lm::kUp, "UP \u25b2"}});
  ButtonRow(cr, {{lm::kProgram, "PROGRAM"}, {lm::kParameter, "PARAMETER"}}, {palette::kNarrow, 8.5, true, false, 0});

  // A short guide to the keypad, printed beside it.
  const char* lines[3][2] = {{"PROGRAM", "BANK 1\u20138, then NUMBER 1\u20138"},
                             {"PARAMETER", "No. 11\u201364 with the keys 1\u20136"},
                             {"VALUE", "DOWN / UP, or drag the fader"}};
  for (int i = 0; i < 3; ++i) {
    const double y = 408 + 12 * i;
    DrawText(cr, {palette::kNarrow, 8, true, false, 0.6}, 34, y, Align::kLeft, lines[i][0], kPrint);
    DrawText(cr, palette::SmallFont(), 90, y, Align::kLeft, lines[i][1], kPrintDim);
  }
}

void PrintKeys(cairo_t* cr) {
  kit::Strip(cr, {66, 452, 356, 11}, "PROGRAM / PARAMETER SELECT", palette::kProgrammer);
  const Rect first = ButtonRect(lm::Key(1)), last = ButtonRect(lm::Key(8));
  kit::Well(cr, {first.x - 4, first.y - 4, last.Right() - first.x + 8, first.h + 8});
  const Font digit{palette::kSans, 10, true, false, 0};
  for (int n = 1; n <= 8; ++n) {
    const auto p = lm::Key(n);
    DrawText(cr, digit, p.x + 20, p.y - 6, Align::kCentre, std::to_string(n), kPrint);
  }
  // Keys 1 to 6 start the parameter numbers of the six sections.
  const auto& sections = MatrixSections();
  const char* first_digit[6] = {"DCO 1", "DCO 2", "VCF", "EG 1", "VCA \u00b7 EG 2", "MG"};
  for (int n = 1; n <= 6; ++n) {
    const auto p = lm::Key(n);
    const Colour c = sections[std::size_t(n - 1)].colour;
    DrawText(cr, palette::SmallFont(), p.x + 20, p.y + 51, Align::kCentre, first_digit[n - 1], Mix(c, kPrint, 0.25));
  }

  kit::Strip(cr, {461, 452, 92, 11}, "MEMORY \u00b7 MIDI", palette::kProgrammer);
  ButtonRow(cr, {{lm::kBrowse, "BROWSE"}, {lm::kLearn, "LEARN"}});
  kit::Window(cr, {double(lm::kLearnLabel.x), double(lm::kLearnLabel.y), 43, 16}, palette::kGlassRed, 2);

  kit::Strip(cr, {648, 452, 180, 11}, "KEY ASSIGN", palette::kPerformance);
  ButtonRow(cr, {{lm::kHold, "HOLD"}, {lm::kChord, "CHORD"}, {lm::kPoly, "POLY"}, {lm::kUnison, "UNISON"}});

  kit::Strip(cr, {878, 452, 130, 11}, "POLYPHONY", palette::kPerformance);
  const Rect voices = kit::ToRect(lm::kVoices);
  kit::Window(cr, voices, palette::kGlassRed);
  kit::Label(cr, voices.CentreX(), voices.y - 6, "VOICES");
  DrawText(cr, palette::TinyFont(), voices.x + 22, voices.Bottom() + 12, Align::kCentre, "PER NOTE", kPrintDim);
  DrawText(cr, palette::TinyFont(), voices.x + 52, voices.Bottom() + 12, Align::kCentre, "POLY", kPrintDim);
  kit::KnobRing(cr, lm::kSpread, 7);
  kit::Label(cr, lm::kSpread.x + 20, lm::kSpread.y + 57, "SPREAD");
}

}  // namespace

void DrawMainPanel(Image& image) {
  kit::PaintBase(image, 101);
  cairo_t* cr = image.Cr();
  // Three sections of the panel: name and performance controls, programmer and matrix,
  // keypad.
  kit::Band(cr, 0, 120, 0.03);
  kit::Band(cr, 444, 579, 0.015);
  kit::Seam(cr, 120, image.Width());
  kit::Seam(cr, 444, image.Width());
  PrintHeader(cr);
  PrintPerformance(cr);
  PrintProgrammer(cr);
  PrintMatrix(cr);
  PrintKeys(cr);
}

}  // namespace artwork
