// Knob and switch strips. The light comes from the upper left and stays there while a cap
// turns: gradients are set in the image's own coordinates, only pointers and knurls rotate.
#include <algorithm>
#include <cmath>

#include "tools/artwork/Controls.h"
#include "tools/artwork/Palette.h"

namespace artwork {
namespace {

constexpr double kPi = M_PI;
constexpr double kLightDeg = -45;  // the light's direction, as a pointer angle

double Rad(double deg) { return deg * kPi / 180.0; }

// Point at `radius` from (cx, cy) in the direction of a pointer angle.
void Polar(double cx, double cy, double angleDeg, double radius, double& x, double& y) {
  x = cx + radius * std::sin(Rad(angleDeg));
  y = cy - radius * std::cos(Rad(angleDeg));
}

void RadialLine(cairo_t* cr, double cx, double cy, double angleDeg, double r0, double r1) {
  double x0, y0, x1, y1;
  Polar(cx, cy, angleDeg, r0, x0, y0);
  Polar(cx, cy, angleDeg, r1, x1, y1);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
}

// A fixed light across a disc: bright at the upper left, dark at the lower right.
cairo_pattern_t* LitDisc(double cx, double cy, double r, Colour light, Colour dark) {
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - r * 0.7, cy - r * 0.7, cx + r * 0.7, cy + r * 0.7);
  cairo_pattern_add_color_stop_rgba(p, 0, light.r, light.g, light.b, light.a);
  cairo_pattern_add_color_stop_rgba(p, 1, dark.r, dark.g, dark.b, dark.a);
  return p;
}

void Disc(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
}

struct KnobColours {
  Colour skirt, ridgeLight, ridgeDark, capLight, capDark, rim, pointer;
};

KnobColours ColoursOf(KnobStyle style) {
  if (style == KnobStyle::kGrey)
    return {Hex(0x6d7075), Hex(0xc4c7cb), Hex(0x3c3e42), Hex(0xdcdee1), Hex(0x8b8e93), Hex(0x505257), Hex(0x141414)};
  return {Hex(0x222326), Hex(0x6a6d73), Hex(0x0b0b0c), Hex(0x55585e), Hex(0x17181b), Hex(0x0a0a0b), Hex(0xf1ece0)};
}

void DrawKnob(cairo_t* cr, double cx, double cy, double angleDeg, KnobStyle style) {
  const KnobColours c = ColoursOf(style);
  const double skirt = 16.2, cap = 12.2;

  BlurredShape(
      cr, {cx - skirt, cy - skirt, 2 * skirt, 2 * skirt}, [&](cairo_t* m) { Disc(m, cx, cy, skirt); }, 0.8, 1.8, 3,
      Hex(0x000000, 0.75));

  // Skirt with knurls that turn with the cap; each knurl catches the fixed light.
  Disc(cr, cx, cy, skirt);
  SetColour(cr, c.skirt);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.1);
  constexpr int kKnurls = 36;
  for (int i = 0; i < kKnurls; ++i) {
    const double a = angleDeg + 360.0 * (i + 0.5) / kKnurls;
    const double lit = 0.5 + 0.5 * std::cos(Rad(a - kLightDeg));
    RadialLine(cr, cx, cy, a, cap + 1.2, skirt - 0.4);
    SetColour(cr, WithAlpha(Mix(c.ridgeDark, c.ridgeLight, lit), 0.85));
    cairo_stroke(cr);
  }
  cairo_pattern_t* sheen = LitDisc(cx, cy, skirt, Hex(0xffffff, 0.16), Hex(0x000000, 0.35));
  Disc(cr, cx, cy, skirt);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
  Disc(cr, cx, cy, skirt - 0.3);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, WithAlpha(c.rim, 0.9));
  cairo_stroke(cr);

  // Indicator notch on the skirt.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 1.8);
  RadialLine(cr, cx, cy, angleDeg, cap + 1.6, skirt - 1.0);
  SetColour(cr, c.pointer);
  cairo_stroke(cr);

  // The cap: a shadowed step, a fixed gradient and a soft highlight.
  Disc(cr, cx, cy, cap + 0.9);
  SetColour(cr, Hex(0x000000, 0.45));
  cairo_fill(cr);
  cairo_pattern_t* face = LitDisc(cx, cy, cap, c.capLight, c.capDark);
  Disc(cr, cx, cy, cap);
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  cairo_pattern_t* spot = cairo_pattern_create_radial(cx - 4, cy - 5, 0, cx - 4, cy - 5, cap);
  cairo_pattern_add_color_stop_rgba(spot, 0, 1, 1, 1, style == KnobStyle::kGrey ? 0.35 : 0.18);
  cairo_pattern_add_color_stop_rgba(spot, 1, 1, 1, 1, 0);
  Disc(cr, cx, cy, cap);
  cairo_set_source(cr, spot);
  cairo_fill(cr);
  cairo_pattern_destroy(spot);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, cap - 0.5, Rad(180), Rad(300));
  cairo_set_line_width(cr, 0.9);
  SetColour(cr, Hex(0xffffff, 0.22));
  cairo_stroke(cr);

  // Pointer line on the cap.
  cairo_set_line_width(cr, 2.2);
  RadialLine(cr, cx, cy, angleDeg, 3.2, cap - 1.6);
  SetColour(cr, c.pointer);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

}  // namespace

double KnobAngle(double value) { return -150.0 + 300.0 * value; }

double SwitchAngle(int positions, int index) {
  const double step = positions == 3 ? 45.0 : 30.0;
  return (index - (positions - 1) / 2.0) * step;
}

void DrawKnobStrip(Image& image, int frames, KnobStyle style) {
  const double fh = double(image.Height() / frames);
  for (int k = 0; k < frames; ++k) {
    const double value = frames > 1 ? double(k) / (frames - 1) : 0.0;
    const ClipTo clip(image.Cr(), {0, fh * k, double(image.Width()), fh});
    DrawKnob(image.Cr(), image.Width() / 2.0, fh * k + fh / 2.0, KnobAngle(value), style);
  }
}

namespace {

// The bar of a rotary selector, pointing up, centred on the origin.
void BarPath(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, -6.2, 11.5);
  cairo_line_to(cr, -3.6, -14.0);
  cairo_arc(cr, 0, -14.0, 3.6, kPi, 2 * kPi);
  cairo_line_to(cr, 6.2, 11.5);
  cairo_arc(cr, 0, 11.5, 6.2, 0, kPi);
  cairo_close_path(cr);
}

void DrawSelector(cairo_t* cr, double cx, double cy, double angleDeg) {
  const double base = 13.5;
  BlurredShape(
      cr, {cx - base, cy - base, 2 * base, 2 * base}, [&](cairo_t* m) { Disc(m, cx, cy, base); }, 0.6, 1.5, 3,
      Hex(0x000000, 0.7));
  cairo_pattern_t* p = LitDisc(cx, cy, base, Hex(0x3b3d42), Hex(0x101113));
  Disc(cr, cx, cy, base);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Disc(cr, cx, cy, base - 0.4);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, Hex(0x000000, 0.8));
  cairo_stroke(cr);

  auto bar = [&](cairo_t* m) {
    cairo_save(m);
    cairo_translate(m, cx, cy);
    cairo_rotate(m, Rad(angleDeg));
    BarPath(m);
    cairo_restore(m);
  };
  BlurredShape(cr, {cx - 18, cy - 18, 36, 36}, bar, 0.8, 1.6, 2, Hex(0x000000, 0.8));
  bar(cr);
  cairo_pattern_t* face = LitDisc(cx, cy, 14, Hex(0x5e6168), Hex(0x1b1c1f));
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, Hex(0x000000, 0.9));
  cairo_stroke(cr);

  // Index line along the bar, towards the tip.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, Rad(angleDeg));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.0);
  cairo_move_to(cr, 0, -2.5);
  cairo_line_to(cr, 0, -14.5);
  SetColour(cr, Hex(0xf1ece0));
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

void DrawRotarySwitchStrip(Image& image, int positions) {
  const double fh = double(image.Height() / positions);
  for (int k = 0; k < positions; ++k) {
    const ClipTo clip(image.Cr(), {0, fh * k, double(image.Width()), fh});
    DrawSelector(image.Cr(), image.Width() / 2.0, fh * k + fh / 2.0, SwitchAngle(positions, k));
  }
}

void DrawToggleSwitchStrip(Image& image) {
  cairo_t* cr = image.Cr();
  const double fw = image.Width(), fh = image.Height() / 2;
  for (int k = 0; k < 2; ++k) {
    const double top = fh * k;
    const ClipTo clip(cr, {0, top, fw, fh});
    const double cx = fw / 2, cy = top + fh / 2;

    // The mounting nut: a ring around a dark bushing.
    Disc(cr, cx, cy + 0.6, 5.0);
    SetColour(cr, Hex(0x000000, 0.6));
    cairo_fill(cr);
    cairo_pattern_t* ring = LitDisc(cx, cy, 4.6, Hex(0xb9bbbf), Hex(0x3d3f44));
    Disc(cr, cx, cy, 4.6);
    cairo_set_source(cr, ring);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    Disc(cr, cx, cy, 2.6);
    SetColour(cr, Hex(0x0c0d0f));
    cairo_fill(cr);

    // The bat leans towards its position: up for value 1 (frame 2), down for value 0; its
    // ball end catches the light.
    const double dir = k == 1 ? -1 : 1;
    const double tipY = cy + dir * 6.4;
    auto stem = [&](cairo_t* m) {
      cairo_new_path(m);
      cairo_move_to(m, cx - 1.2, cy);
      cairo_line_to(m, cx - 1.7, tipY);
      cairo_line_to(m, cx + 1.7, tipY);
      cairo_line_to(m, cx + 1.2, cy);
      cairo_close_path(m);
      cairo_new_sub_path(m);
      cairo_arc(m, cx, tipY, 2.5, 0, 2 * kPi);
    };
    BlurredShape(cr, {cx - 4, std::min(cy, tipY) - 4, 8, 16}, stem, 0.6, 1.6, 1, Hex(0x000000, 0.85));
    stem(cr);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(cx - 2.5, 0, cx + 2.5, 0);
    cairo_pattern_add_color_stop_rgb(chrome, 0, 0.40, 0.41, 0.43);
    cairo_pattern_add_color_stop_rgb(chrome, 0.35, 0.95, 0.95, 0.96);
    cairo_pattern_add_color_stop_rgb(chrome, 1, 0.30, 0.31, 0.33);
    cairo_set_source(cr, chrome);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_pattern_destroy(chrome);
    cairo_pattern_t* ball = cairo_pattern_create_radial(cx - 0.8, tipY - 0.8, 0, cx, tipY, 2.6);
    cairo_pattern_add_color_stop_rgb(ball, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(ball, 0.5, 0.78, 0.79, 0.81);
    cairo_pattern_add_color_stop_rgb(ball, 1, 0.35, 0.36, 0.38);
    Disc(cr, cx, tipY, 2.5);
    cairo_set_source(cr, ball);
    cairo_fill(cr);
    cairo_pattern_destroy(ball);
  }
}

}  // namespace artwork
