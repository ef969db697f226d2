// The fader that appears over a parameter's printed scale: its track plate and its handle.
// The editor writes the value in light text across the handle, so the handle's middle stays
// dark and plain.
#include <cmath>

#include "tools/artwork/Controls.h"

namespace artwork {

void DrawFaderTrack(Image& image) {
  cairo_t* cr = image.Cr();
  const double w = image.Width(), h = image.Height();
  const Rect plate{0.5, 0.5, w - 1, h - 1};
  RoundedRect(cr, plate, 3);
  cairo_pattern_t* g = VerticalGradient(plate, Hex(0x1a1b1f, 0.96), Hex(0x0e0f11, 0.96));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0.33, 0.34, 0.37, 1);
  cairo_stroke(cr);

  // The handle's centre travels from 8 pixels below the top to 84 (a 16-pixel handle on a
  // 92-pixel fader); ticks mark tenths of that travel.
  const double top = 8, bottom = 84, cx = w / 2;
  cairo_set_line_width(cr, 1);
  for (int i = 0; i <= 10; ++i) {
    const double y = std::floor(top + (bottom - top) * i / 10.0) + 0.5;
    const double len = (i % 5 == 0) ? 9 : 5;
    cairo_move_to(cr, cx - 6 - len, y);
    cairo_line_to(cr, cx - 6, y);
    cairo_move_to(cr, cx + 6, y);
    cairo_line_to(cr, cx + 6 + len, y);
  }
  cairo_set_source_rgba(cr, 0.75, 0.74, 0.70, 0.75);
  cairo_stroke(cr);

  const Rect slot{cx - 2, top - 3, 4, bottom - top + 6};
  RoundedRect(cr, slot, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_fill(cr);
  cairo_move_to(cr, slot.Right() + 0.5, slot.y + 2);
  cairo_line_to(cr, slot.Right() + 0.5, slot.Bottom() - 2);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
  cairo_stroke(cr);
}

void DrawFaderHandle(Image& image) {
  cairo_t* cr = image.Cr();
  const double w = image.Width(), h = image.Height();
  const Rect body{0.5, 0.5, w - 1, h - 1};
  RoundedRect(cr, body, 2.5);
  cairo_pattern_t* g = VerticalGradient(body, Hex(0x55585e), Hex(0x222327));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_stroke(cr);
  const Rect middle{5, 2.5, w - 10, h - 5};
  cairo_rectangle(cr, middle.x, middle.y, middle.w, middle.h);
  cairo_set_source_rgba(cr, 0.08, 0.085, 0.095, 0.55);
  cairo_fill(cr);
  cairo_move_to(cr, 2.5, 1.5);
  cairo_line_to(cr, w - 2.5, 1.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);

  // Short white index marks at both ends show the value line; the value text fills the
  // middle and may run nearly to the edges.
  cairo_set_line_width(cr, 2);
  for (double x : {1.0, w - 4.0}) {
    cairo_move_to(cr, x, h / 2);
    cairo_line_to(cr, x + 3.0, h / 2);
  }
  cairo_set_source_rgba(cr, 0.95, 0.93, 0.88, 1);
  cairo_stroke(cr);
}

}  // namespace artwork
