// The two 1032 x 588 backgrounds.
#pragma once

#include "tools/artwork/Canvas.h"

namespace artwork {

// The main view: the instrument's front panel.
void DrawMainPanel(Image& image);
// The alternative view: every sound parameter on a knob or switch, and the program browser.
void DrawAltPanel(Image& image);

// The main view's parameter matrix: section strips, the numbers 11 to 64 with their names,
// and each parameter's value scale under its fader.
void PrintMatrix(cairo_t* cr);
// The alternative view's program browser: source buttons, click-mode switch, the two lists
// and their scroll bars.
void PrintBrowser(cairo_t* cr);

}  // namespace artwork
