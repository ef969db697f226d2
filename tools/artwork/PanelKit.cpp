// Pieces printed on both panels.
#include "tools/artwork/PanelKit.h"

#include <algorithm>
#include <cmath>

#include "tools/artwork/Controls.h"

namespace artwork::kit {
namespace {

constexpr double kPi = M_PI;

// Walnut: grain lines run the length of the cheek and wander slowly; the rounded profile
// is lighter in the middle of its width.
void PaintWood(Image& image, int x0, int x1, std::uint32_t seed) {
  cairo_surface_t* s = image.Surface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  Noise noise(seed);
  const double phase = (seed % 97) * 0.37;
  const Colour dark = Hex(0x2e1a0e), light = Hex(0x7c4b29);
  // The texture is a function of the image's units, sampled at every device pixel.
  const int scale = image.Scale();
  for (int py = 0; py < image.Height() * scale; ++py) {
    for (int px = x0 * scale; px < x1 * scale; ++px) {
      const double x = (px + 0.5) / scale - 0.5, y = (py + 0.5) / scale - 0.5;
      const double u = (x - x0 + 0.5) / (x1 - x0);
      const double wander = 3.2 * std::sin(y * 0.0091 + phase) + 1.1 * std::sin(y * 0.041 + x * 0.7);
      const double grain =
          std::sin((x * 1.35 + wander) * 2.3) * 0.5 + std::sin((x * 3.1 + wander * 1.7 + phase) * 1.1) * 0.25;
      const double t = std::clamp(0.45 + 0.32 * grain + 0.06 * noise.Signed(), 0.0, 1.0);
      const double profile = 0.62 + 0.45 * std::pow(std::sin(kPi * u), 0.7);
      const Colour c = Shade(Mix(dark, light, t), profile);
      auto* p = reinterpret_cast<std::uint32_t*>(data + py * stride) + px;
      *p = 0xFF000000u | (std::uint32_t(std::lround(c.r * 255)) << 16) | (std::uint32_t(std::lround(c.g * 255)) << 8) |
           std::uint32_t(std::lround(c.b * 255));
    }
  }
  cairo_surface_mark_dirty(s);
}

}  // namespace

Rect ToRect(layout::Box b) { return {double(b.left), double(b.top), double(b.Width()), double(b.Height())}; }

void PaintBase(Image& image, std::uint32_t seed) {
  cairo_t* cr = image.Cr();
  const double w = image.Width(), h = image.Height();
  const Rect panel{kCheekWidth, 0, w - 2 * kCheekWidth, h};
  cairo_rectangle(cr, panel.x, panel.y, panel.w, panel.h);
  cairo_pattern_t* g = VerticalGradient(panel, Hex(0x2b2d33), Hex(0x1f2125));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  AddGrain(image, panel, 0.011, 4, seed);

  // The panel's folded top edge and its front lip at the bottom.
  cairo_rectangle(cr, panel.x, 0, panel.w, 1);
  SetColour(cr, Hex(0x000000, 0.6));
  cairo_fill(cr);
  cairo_rectangle(cr, panel.x, 1, panel.w, 1);
  SetColour(cr, Hex(0xffffff, 0.10));
  cairo_fill(cr);
  const Rect lip{panel.x, h - 9, panel.w, 9};
  g = VerticalGradient(lip, Hex(0x3a3d43), Hex(0x121315));
  cairo_rectangle(cr, lip.x, lip.y, lip.w, lip.h);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_rectangle(cr, lip.x, lip.y, lip.w, 1);
  SetColour(cr, Hex(0xffffff, 0.16));
  cairo_fill(cr);

  PaintWood(image, 0, int(kCheekWidth), seed + 11);
  PaintWood(image, int(w - kCheekWidth), int(w), seed + 23);
  // The cheeks stand proud of the panel: a shadow falls inwards, their inner edges catch light.
  for (int side = 0; side < 2; ++side) {
    const double edge = side == 0 ? kCheekWidth : w - kCheekWidth;
    const double dir = side == 0 ? 1 : -1;
    cairo_pattern_t* s = cairo_pattern_create_linear(edge, 0, edge + dir * 7, 0);
    cairo_pattern_add_color_stop_rgba(s, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(s, 1, 0, 0, 0, 0);
    cairo_rectangle(cr, side == 0 ? edge : edge - 7, 0, 7, h);
    cairo_set_source(cr, s);
    cairo_fill(cr);
    cairo_pattern_destroy(s);
    cairo_rectangle(cr, edge - (side == 0 ? 1 : 0), 0, 1, h);
    SetColour(cr, Hex(0xe0b080, 0.18));
    cairo_fill(cr);
  }
}

void Band(cairo_t* cr, double y0, double y1, double tint) {
  cairo_rectangle(cr, kCheekWidth, y0, 1032 - 2 * kCheekWidth, y1 - y0);
  SetColour(cr, tint > 0 ? Hex(0xffffff, tint) : Hex(0x000000, -tint));
  cairo_fill(cr);
}

void Seam(cairo_t* cr, double y, double width) {
  const double x0 = kCheekWidth, x1 = width - kCheekWidth;
  cairo_rectangle(cr, x0, y, x1 - x0, 1);
  SetColour(cr, Hex(0x000000, 0.75));
  cairo_fill(cr);
  cairo_rectangle(cr, x0, y + 1, x1 - x0, 1);
  SetColour(cr, Hex(0xffffff, 0.07));
  cairo_fill(cr);
  cairo_pattern_t* s = VerticalGradient({x0, y - 4, 1, 4}, Hex(0x000000, 0), Hex(0x000000, 0.25));
  cairo_rectangle(cr, x0, y - 4, x1 - x0, 4);
  cairo_set_source(cr, s);
  cairo_fill(cr);
  cairo_pattern_destroy(s);
}

void Strip(cairo_t* cr, Rect r, const std::string& title, Colour colour) {
  RoundedRect(cr, r, 1.5);
  SetColour(cr, colour);
  cairo_fill(cr);
  cairo_rectangle(cr, r.x + 1, r.y, r.w - 2, 1);
  SetColour(cr, Hex(0xffffff, 0.22));
  cairo_fill(cr);
  if (title.empty()) return;
  const Font font = palette::HeadingFont();
  DrawTextCentred(cr, font, r.CentreX(), r.CentreY(), title, Hex(0x15161a));
}

void Label(cairo_t* cr, double cx, double baseline, const std::string& text, Colour colour, Font font) {
  DrawText(cr, font, cx, baseline, Align::kCentre, text, colour);
}

void Window(cairo_t* cr, Rect r, Colour glass, double radius) {
  // The bezel: shadowed at the top, catching light at the bottom, so the glass sits lower.
  const Rect bezel = r.Inset(-2.5);
  RoundedRect(cr, bezel, radius + 2);
  cairo_pattern_t* g = VerticalGradient(bezel, Hex(0x060607), Hex(0x4a4d54));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  RoundedRect(cr, r, radius);
  SetColour(cr, glass);
  cairo_fill(cr);
  {
    cairo_save(cr);
    RoundedRect(cr, r, radius);
    cairo_clip(cr);
    const Rect top{r.x, r.y, r.w, 7};
    cairo_pattern_t* s = VerticalGradient(top, Hex(0x000000, 0.7), Hex(0x000000, 0));
    cairo_rectangle(cr, top.x, top.y, top.w, top.h);
    cairo_set_source(cr, s);
    cairo_fill(cr);
    cairo_pattern_destroy(s);
    // A faint reflection across the upper left of the glass.
    cairo_move_to(cr, r.x, r.y);
    cairo_line_to(cr, r.x + r.w * 0.55, r.y);
    cairo_line_to(cr, r.x + r.w * 0.35, r.Bottom());
    cairo_line_to(cr, r.x, r.Bottom());
    cairo_close_path(cr);
    SetColour(cr, Hex(0xffffff, 0.025));
    cairo_fill(cr);
    cairo_restore(cr);
  }
}

void Well(cairo_t* cr, Rect r, double radius) {
  RoundedRect(cr, r, radius);
  SetColour(cr, Hex(0x0d0e10, 0.55));
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, r.x + radius, r.Bottom() - 0.5);
  cairo_line_to(cr, r.Right() - radius, r.Bottom() - 0.5);
  SetColour(cr, Hex(0xffffff, 0.07));
  cairo_stroke(cr);
}

void KnobRing(cairo_t* cr, layout::Point knob, int parameter, bool centreMark, bool clearTop) {
  const double cx = knob.x + 20, cy = knob.y + 20;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int i = 0; i <= 10; ++i) {
    if (clearTop && i >= 4 && i <= 6) continue;
    const bool major = i == 0 || i == 10 || (centreMark && i == 5);
    const double a = KnobAngle(i / 10.0) * kPi / 180.0;
    const double r0 = major ? 21.0 : 22.3, r1 = 25.0;
    cairo_move_to(cr, cx + r0 * std::sin(a), cy - r0 * std::cos(a));
    cairo_line_to(cr, cx + r1 * std::sin(a), cy - r1 * std::cos(a));
    cairo_set_line_width(cr, major ? 1.4 : 1.0);
    SetColour(cr, major ? palette::kPrint : palette::kPrintDim);
    cairo_stroke(cr);
  }
  const auto [lo, hi] = KnobEnds(parameter);
  const Font font = palette::TinyFont();
  DrawText(cr, font, cx - 13, cy + 28, Align::kRight, lo, palette::kPrintDim);
  DrawText(cr, font, cx + 14, cy + 28, Align::kLeft, hi, palette::kPrintDim);
}

void SwitchLegend(cairo_t* cr, layout::Point knob, int positions, const std::vector<Mark>& marks) {
  const double cx = knob.x + 20, cy = knob.y + 20;
  const Font font = palette::TinyFont();
  const double cap = CapHeight(cr, font);
  bool shortTexts = true;
  for (const Mark& m : marks)
    if (m.icon == Icon::kNone && TextWidth(cr, font, m.label) > 16) shortTexts = false;
  for (int i = 0; i < positions && i < int(marks.size()); ++i) {
    const double deg = SwitchAngle(positions, i);
    const double a = deg * kPi / 180.0;
    cairo_new_path(cr);
    cairo_arc(cr, cx + 21.5 * std::sin(a), cy - 21.5 * std::cos(a), 1.3, 0, 2 * kPi);
    SetColour(cr, palette::kPrint);
    cairo_fill(cr);
    const Align align = std::fabs(deg) < 1 ? Align::kCentre : deg < 0 ? Align::kRight : Align::kLeft;
    double px, baseline;
    if (shortTexts) {
      // Short texts and icons stand just outside their dots.
      px = cx + 25.5 * std::sin(a);
      const double py = cy - 25.5 * std::cos(a);
      baseline = std::fabs(deg) < 10 ? py : py + cap / 2;
    } else {
      // Long names stand in two rows above the switch: the inner positions high up, the
      // outer ones lower and further out, so that neighbours never touch.
      const bool inner = std::fabs(deg) <= 20;
      const double side = deg < -1 ? -1 : deg > 1 ? 1 : 0;
      px = cx + side * (inner ? 2 : 17);
      baseline = cy - (inner ? 31 : 21);
    }
    const Mark& m = marks[std::size_t(i)];
    if (m.icon != Icon::kNone) {
      const double iw = 11, ih = 6;
      const double ix = align == Align::kCentre ? px - iw / 2 : align == Align::kRight ? px - iw : px;
      DrawIcon(cr, m.icon, std::round(ix) + 0.5, std::round(baseline - ih) + 0.5, iw, ih, palette::kPrint);
    } else {
      DrawText(cr, font, px, baseline, align, m.label, palette::kPrint);
    }
  }
}

void SlideLegend(cairo_t* cr, layout::Point sw, const std::string& up, const std::string& down) {
  const Font font = palette::TinyFont();
  DrawText(cr, font, sw.x + 7, sw.y - 3, Align::kCentre, up, palette::kPrint);
  DrawText(cr, font, sw.x + 7, sw.y + 28, Align::kCentre, down, palette::kPrint);
}

void ViewSwitchMark(cairo_t* cr) {
  // A small recess on the panel just inside the wooden cheek, within the hot spot.
  const layout::Box b = layout::kViewSwitch;
  const Rect r{kCheekWidth + 2.5, b.top + 3.5, b.right - kCheekWidth - 3.0, b.Height() - 7.0};
  RoundedRect(cr, r, 2);
  cairo_pattern_t* g = VerticalGradient(r, Hex(0x08090a), Hex(0x2e3035));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_move_to(cr, r.x + 2, r.Bottom() + 0.5);
  cairo_line_to(cr, r.Right() - 2, r.Bottom() + 0.5);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0xffffff, 0.1));
  cairo_stroke(cr);
  // Two small arrows, one over the other, pointing opposite ways: the panel turns over.
  const double cx = r.CentreX(), cy = r.CentreY();
  SetColour(cr, palette::kPrintDim);
  for (int k = 0; k < 2; ++k) {
    const double y = cy + (k == 0 ? -4 : 4), d = k == 0 ? 1 : -1;
    cairo_move_to(cr, cx - 2.5 * d, y + 0.5);
    cairo_line_to(cr, cx + 0.5 * d, y + 0.5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + 3 * d, y + 0.5);
    cairo_line_to(cr, cx + 0.5 * d, y - 2.5);
    cairo_line_to(cr, cx + 0.5 * d, y + 3.5);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

void Wordmark(cairo_t* cr, double x, double baseline, double height) {
  Font font{palette::kSans, 10, true, false, 0};
  font.size = 10 * height / CapHeight(cr, font);
  font.tracking = height * 0.22;
  BlurredShape(
      cr, {x - 4, baseline - height - 4, height * 6, height + 8},
      [&](cairo_t* m) { TextPath(m, font, x, baseline, Align::kLeft, "TESVAR"); }, 1, 2, 2, Hex(0x000000, 0.8));
  cairo_new_path(cr);
  TextPath(cr, font, x, baseline, Align::kLeft, "TESVAR");
  cairo_pattern_t* g = VerticalGradient({x, baseline - height, 1, height}, Hex(0xf6f2e8), Hex(0xbdb7a8));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void MakerMark(cairo_t* cr, double x, double cy, double size) {
  const double r = size / 2, cx = x;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_line_width(cr, size * 0.11);
  SetColour(cr, palette::kPrint);
  cairo_stroke(cr);
  // A wave across the ring, running out through it at the lower right.
  cairo_new_path(cr);
  for (int i = 0; i <= 40; ++i) {
    const double t = i / 40.0;
    const double px = cx - r * 0.7 + t * r * 1.75;
    const double py = cy - std::sin(t * 2 * kPi) * r * 0.38 + t * r * 0.55;
    if (i == 0) cairo_move_to(cr, px, py);
    else cairo_line_to(cr, px, py);
  }
  cairo_set_line_width(cr, size * 0.09);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

}  // namespace artwork::kit
