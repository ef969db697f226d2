// The printed parameter matrix of the main view. With the faders hidden this print is all
// the player sees: each place carries its programmer number, its name and a value scale
// whose marks line up with the travel of the fader that appears over it.
#include <cmath>
#include <string>

#include "tools/artwork/PanelKit.h"
#include "tools/artwork/Panels.h"

namespace artwork {
namespace {

namespace lm = layout::main_view;
using palette::kPrint;
using palette::kPrintDim;

// The handle's centre runs from 8 pixels below the fader's top (maximum) to 84 (minimum).
constexpr double kTravelTop = 8, kTravelBottom = 84;

double MarkY(double top, double position) { return top + kTravelBottom - (kTravelBottom - kTravelTop) * position; }

void PrintCell(cairo_t* cr, int parameter) {
  const layout::Point p = lm::Fader(parameter);
  const Rect cell{double(p.x), double(p.y), double(lm::kFaderWidth), double(lm::kFaderHeight)};
  const Section* section = SectionOf(parameter);

  // Number and name above the cell.
  const Font number{palette::kSans, 14, true, false, 0.5};
  DrawText(cr, number, cell.CentreX(), cell.y - 16, Align::kCentre, std::to_string(ProgrammerNumber(parameter)),
           kPrint);
  DrawText(cr, {palette::kNarrow, 8, true, false, 0.5}, cell.CentreX(), cell.y - 5, Align::kCentre,
           PanelName(parameter), section ? Mix(section->colour, kPrint, 0.45) : kPrint);

  const Rect plate{cell.x + 1.5, cell.y + 0.5, cell.w - 3, cell.h - 1};
  RoundedRect(cr, plate, 3);
  SetColour(cr, Hex(0x0f1012, 0.45));
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, plate.x + 3, plate.Bottom() - 0.5);
  cairo_line_to(cr, plate.Right() - 3, plate.Bottom() - 0.5);
  SetColour(cr, Hex(0xffffff, 0.08));
  cairo_stroke(cr);

  const double gx = cell.x + 33;
  const Rect slot{gx - 1.5, cell.y + kTravelTop - 3, 3, kTravelBottom - kTravelTop + 6};
  RoundedRect(cr, slot, 1.5);
  SetColour(cr, Hex(0x000000, 0.9));
  cairo_fill(cr);

  const Font font = palette::SmallFont();
  const double cap = CapHeight(cr, font);
  for (const Mark& m : FaderScale(parameter)) {
    const double y = std::floor(MarkY(cell.y, m.position)) + 0.5;
    const double len = m.major ? 7 : 4;
    cairo_move_to(cr, gx - 3 - len, y);
    cairo_line_to(cr, gx - 3, y);
    cairo_move_to(cr, gx + 3, y);
    cairo_line_to(cr, gx + 3 + len, y);
    cairo_set_line_width(cr, 1);
    SetColour(cr, m.major ? kPrint : WithAlpha(kPrintDim, 0.8));
    cairo_stroke(cr);
    if (m.icon != Icon::kNone) DrawIcon(cr, m.icon, gx - 24.5, std::floor(y - 3) + 0.5, 12, 6, kPrint);
    if (!m.label.empty()) DrawText(cr, font, gx - 12, y + cap / 2, Align::kRight, m.label, kPrint);
    if (!m.note.empty()) DrawText(cr, palette::TinyFont(), gx + 13, y + cap / 2, Align::kLeft, m.note, kPrintDim);
  }
}

}  // namespace

void PrintMatrix(cairo_t* cr) {
  // One plate for the whole chart.
  RoundedRect(cr, {272.5, 123.5, 744, 315}, 5);
  SetColour(cr, Hex(0x000000, 0.12));
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0xffffff, 0.06));
  cairo_stroke(cr);

  for (const Section& s : MatrixSections()) {
    const layout::Point a = lm::Fader(s.first), b = lm::Fader(s.last);
    kit::Strip(cr, {a.x + 1.0, a.y - 44.0, b.x + lm::kFaderWidth - a.x - 2.0, 11}, s.title, s.colour);
  }
  for (int parameter = 8; parameter <= 33; ++parameter) PrintCell(cr, parameter);
}

}  // namespace artwork
