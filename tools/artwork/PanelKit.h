// Pieces printed on both panels: the enamel and the wooden end cheeks, section strips,
// labels, recessed display windows, knob and switch legends, button wells and the marks.
#pragma once

#include <string>
#include <vector>

#include "tools/artwork/Canvas.h"
#include "tools/artwork/Layout.h"
#include "tools/artwork/Palette.h"
#include "tools/artwork/Scales.h"

namespace artwork::kit {

inline constexpr double kCheekWidth = 14;

// The whole background: enamel with fine grain, wooden cheeks left and right, the top
// and bottom edges of the metal panel.
void PaintBase(Image& image, std::uint32_t seed);

// Panel sections: a band of the panel between y0 and y1 tinted lighter (tint > 0) or darker,
// and the seam where two sheet-metal sections meet at y.
void Band(cairo_t* cr, double y0, double y1, double tint);
void Seam(cairo_t* cr, double y, double width);

// A coloured strip with the section's title in dark print.
void Strip(cairo_t* cr, Rect r, const std::string& title, Colour colour);
void Label(cairo_t* cr, double cx, double baseline, const std::string& text, Colour colour = palette::kPrint,
           Font font = palette::LabelFont());

// A window recessed into the panel with dark glass: LED displays, the name display, lists.
void Window(cairo_t* cr, Rect r, Colour glass, double radius = 3);
// A shallow dark well around a button or a group of buttons.
void Well(cairo_t* cr, Rect r, double radius = 3);

// The tick ring of a knob at `knob` (its frame's top-left) with the end texts of the
// parameter's scale; `centreMark` adds a longer tick at the middle, `clearTop` leaves out the
// ticks near the top where a legend sits close above the knob.
void KnobRing(cairo_t* cr, layout::Point knob, int parameter, bool centreMark = false, bool clearTop = false);
// Position dots and texts (or icons) around a rotary switch.
void SwitchLegend(cairo_t* cr, layout::Point knob, int positions, const std::vector<Mark>& marks);
// Texts above (value 1) and below (value 0) a 14 x 20 slide switch.
void SlideLegend(cairo_t* cr, layout::Point sw, const std::string& up, const std::string& down);

// The mark of the view-switch spot in the upper left corner.
void ViewSwitchMark(cairo_t* cr);
// The product's name, drawn from its left edge on a baseline, `height` pixels tall capitals.
void Wordmark(cairo_t* cr, double x, double baseline, double height);
// The maker's emblem and name; the emblem's centre at (x, cy).
void MakerMark(cairo_t* cr, double x, double cy, double size);

Rect ToRect(layout::Box b);

}  // namespace artwork::kit
