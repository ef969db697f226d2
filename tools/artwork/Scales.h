// What the panels print for each parameter: its two-digit programmer number, its short
// panel name and the marks of its value scale, derived from the parameter table's ranges.
#pragma once

#include <string>
#include <vector>

#include "tools/artwork/Canvas.h"

namespace artwork {

enum class Icon { kNone, kSaw, kPulse, kPwm, kSquare };

// One mark of a scale: where it lies (0 = minimum, 1 = maximum, in the control's normalised
// travel), its text (empty for a plain tick), whether it is a major tick, and an optional
// waveform icon.
struct Mark {
  double position = 0;
  std::string label;
  bool major = false;
  Icon icon = Icon::kNone;
  std::string note;  // a second, smaller text (the number a list position shows on the LEDs)
};

// The programmer's two-digit number of a sound parameter (8..33 give 11..64), 0 otherwise.
int ProgrammerNumber(int parameter);
// The name printed on the panel, upper case.
const char* PanelName(int parameter);
// The full scale of a parameter as the matrix prints it beside its fader.
std::vector<Mark> FaderScale(int parameter);
// The two end texts printed at a knob's scale (minimum, maximum).
std::pair<std::string, std::string> KnobEnds(int parameter);
// The labels of a list parameter's positions, lowest first (switches and matrix alike).
std::vector<Mark> ListMarks(int parameter);

// Matrix sections: a title, its colour and the parameters it covers.
struct Section {
  const char* title;
  Colour colour;
  int first, last;
};
const std::vector<Section>& MatrixSections();
const Section* SectionOf(int parameter);

// Small waveform pictures for the waveform scales, drawn in a w x h box.
void DrawIcon(cairo_t* cr, Icon icon, double x, double y, double w, double h, Colour colour);

}  // namespace artwork
