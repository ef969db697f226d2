// The program browser of the alternative view: two dark list screens with their scroll
// bars, and between them the source buttons and the click-mode switch. The editor writes
// the rows (white text, faint white fills) and the scroll thumbs into these screens.
#include "tools/artwork/PanelKit.h"
#include "tools/artwork/Panels.h"

namespace artwork {
namespace {

namespace la = layout::alt_view;
using palette::kPrint;
using palette::kPrintDim;

constexpr Colour kScreen = Hex(0x0c0d10);

// The scroll bar's printed parts: arrow keys in the top and bottom 17 pixels, a groove
// between them for the thumb.
void ScrollBar(cairo_t* cr, layout::Box box) {
  const Rect r = kit::ToRect(box);
  const double arrow = 17;
  cairo_rectangle(cr, r.x, r.y + arrow, r.w, r.h - 2 * arrow);
  SetColour(cr, Hex(0x000000, 0.6));
  cairo_fill(cr);
  for (int end = 0; end < 2; ++end) {
    const Rect key{r.x + 0.5, end == 0 ? r.y + 0.5 : r.Bottom() - arrow + 0.5, r.w - 1, arrow - 1};
    RoundedRect(cr, key, 2);
    cairo_pattern_t* g = VerticalGradient(key, Hex(0x34363c), Hex(0x1c1d21));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1);
    SetColour(cr, Hex(0x55585f));
    cairo_stroke(cr);
    const double cx = key.CentreX(), cy = key.CentreY(), d = end == 0 ? -1 : 1;
    cairo_move_to(cr, cx, cy + 3 * d);
    cairo_line_to(cr, cx - 4, cy - 2 * d);
    cairo_line_to(cr, cx + 4, cy - 2 * d);
    cairo_close_path(cr);
    SetColour(cr, kPrintDim);
    cairo_fill(cr);
  }
}

// Faint guide lines between the rows of a list.
void RowGuides(cairo_t* cr, double x0, double x1, double top, int rows) {
  cairo_set_line_width(cr, 1);
  for (int r = 1; r < rows; ++r) {
    const double y = top + la::kRowHeight * r - 0.5;
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x1, y);
  }
  SetColour(cr, Hex(0xffffff, 0.035));
  cairo_stroke(cr);
}

}  // namespace

void PrintBrowser(cairo_t* cr) {
  const double stripY = 314;
  kit::Strip(cr, {24, stripY, 648, 11}, "PROGRAMS", palette::kProgrammer);
  kit::Strip(cr, {680, stripY, 96, 11}, "SOURCE", palette::kProgrammer);
  kit::Strip(cr, {782, stripY, 229, 11}, "BANKS \u00b7 FILES", palette::kProgrammer);

  // The program list: three columns of thirteen rows and the scroll bar at the right.
  const layout::Box p0 = la::ProgramRow(0, 0), p2 = la::ProgramRow(2, 12);
  const Rect programs{double(p0.left - 4), double(p0.top - 3), double(la::kProgramScroll.right + 3 - (p0.left - 4)),
                      double(p2.bottom + 3 - (p0.top - 3)) + 1};
  kit::Window(cr, programs, kScreen, 3);
  for (int c = 0; c < 3; ++c) {
    const layout::Box b = la::ProgramRow(c, 0);
    RowGuides(cr, b.left, b.right, b.top, 13);
    if (c > 0) {
      const double x = b.left - 4.5;
      cairo_move_to(cr, x, programs.y + 3);
      cairo_line_to(cr, x, programs.Bottom() - 3);
      SetColour(cr, Hex(0xffffff, 0.07));
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  }
  ScrollBar(cr, la::kProgramScroll);

  // The file list: ten rows of banks or program files.
  const layout::Box f0 = la::FileRow(0), f9 = la::FileRow(9);
  const Rect files{double(f0.left - 4), double(f0.top - 3), double(la::kFileScroll.right + 3 - (f0.left - 4)),
                   double(f9.bottom + 3 - (f0.top - 3)) + 1};
  kit::Window(cr, files, kScreen, 3);
  RowGuides(cr, f0.left, f0.right, f0.top, 10);
  ScrollBar(cr, la::kFileScroll);

  // Source buttons and the click-mode switch, named above as everywhere on the panel.
  const auto label = [&](layout::Point p, const char* text) {
    kit::Label(cr, p.x + 12, p.y - 6, text, kPrint, palette::SmallFont());
  };
  for (const layout::Point& p : {la::kFactory, la::kFile, la::kCurrentBank})
    kit::Well(cr, {p.x - 4.0, p.y - 3.0, 32, 45});
  label(la::kFactory, "FACTORY");
  label(la::kFile, "FILE");
  label(la::kCurrentBank, "CURRENT BANK");
  kit::SlideLegend(cr, la::kClickMode, "SELECT", "COPY+PASTE");

  // The maker's name under the file list.
  kit::MakerMark(cr, 872, 552, 14);
  const Font maker{palette::kSans, 9.5, true, false, 1.6};
  DrawText(cr, maker, 885, 556, Align::kLeft, "QUELLMARK", kPrint);
  const double w = TextWidth(cr, maker, "QUELLMARK");
  DrawText(cr, {palette::kSans, 9.5, false, false, 1.6}, 885 + w + 5, 556, Align::kLeft, "MUSIC", kPrintDim);
  kit::Wordmark(cr, 886, 538, 11);
}

}  // namespace artwork
