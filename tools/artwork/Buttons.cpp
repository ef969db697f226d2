// Push buttons, small LED buttons, the MENU button, the learn legends and the flat LED.
#include <cmath>

#include "tools/artwork/Controls.h"
#include "tools/artwork/Palette.h"

namespace artwork {
namespace {

struct CapLook {
  Colour top, bottom, front, edge;
};

CapLook LookOf(CapColour cap) {
  switch (cap) {
    case CapColour::kDark: return {Hex(0x4a4d53), Hex(0x26282c), Hex(0x141517), Hex(0x050506)};
    case CapColour::kWhite: return {Hex(0xf3f1eb), Hex(0xc9c6bd), Hex(0x8e8b84), Hex(0x3a3936)};
    case CapColour::kGrey: break;
  }
  return {Hex(0xd0cdc4), Hex(0xa19e96), Hex(0x6c6a65), Hex(0x1f1f1e)};
}

// A key cap seen from above and a little in front: a top face over a darker front edge,
// with a shadow that shrinks when the key is pressed.
void DrawCap(cairo_t* cr, Rect face, bool pressed, const CapLook& look) {
  const double front = pressed ? 1.2 : 2.6;
  const Rect body{face.x, face.y, face.w, face.h + front};
  BlurredShape(
      cr, body, [&](cairo_t* m) { RoundedRect(m, body, 2.5); }, 0, pressed ? 0.8 : 2.0, pressed ? 1 : 3,
      Hex(0x000000, pressed ? 0.7 : 0.8));
  RoundedRect(cr, body, 2.5);
  SetColour(cr, look.front);
  cairo_fill(cr);

  RoundedRect(cr, face, 2.2);
  const Colour top = pressed ? Shade(look.top, 0.9) : look.top;
  const Colour bottom = pressed ? Shade(look.bottom, 0.9) : look.bottom;
  cairo_pattern_t* g = VerticalGradient(face, top, bottom);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // A soft sheen across the upper half and a crisp highlight on the top edge.
  const Rect sheen{face.x + 1, face.y + 1, face.w - 2, face.h * 0.45};
  RoundedRect(cr, sheen, 1.8);
  cairo_pattern_t* s = VerticalGradient(sheen, Hex(0xffffff, 0.16), Hex(0xffffff, 0));
  cairo_set_source(cr, s);
  cairo_fill(cr);
  cairo_pattern_destroy(s);
  cairo_move_to(cr, face.x + 2, face.y + 0.75);
  cairo_line_to(cr, face.Right() - 2, face.y + 0.75);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, Hex(0xffffff, 0.35));
  cairo_stroke(cr);
  RoundedRect(cr, {body.x + 0.4, body.y + 0.4, body.w - 0.8, body.h - 0.8}, 2.4);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, WithAlpha(look.edge, 0.9));
  cairo_stroke(cr);
}

// A rectangular LED lens, dark or lit with a glow that spills onto its surroundings.
void DrawLed(cairo_t* cr, Rect lens, bool lit) {
  if (lit) {
    BlurredShape(
        cr, lens, [&](cairo_t* m) { RoundedRect(m, lens.Inset(-0.5), 1.2); }, 0, 0, 3,
        WithAlpha(palette::kLedRed, 0.75));
  }
  RoundedRect(cr, lens, 1.2);
  SetColour(cr, Hex(0x000000, 0.85));
  cairo_set_line_width(cr, 1.4);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* g =
      lit ? VerticalGradient(lens, Hex(0xffb39a), Hex(0xf02a14)) : VerticalGradient(lens, Hex(0x6a1a12), Hex(0x2a0a07));
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_move_to(cr, lens.x + 1, lens.y + 0.8);
  cairo_line_to(cr, lens.Right() - 1, lens.y + 0.8);
  cairo_set_line_width(cr, 0.7);
  SetColour(cr, Hex(0xffffff, lit ? 0.6 : 0.18));
  cairo_stroke(cr);
}

}  // namespace

void DrawPushButtonStrip(Image& image, bool led, bool lit) {
  cairo_t* cr = image.Cr();
  const double fh = image.Height() / 2;
  for (int k = 0; k < 2; ++k) {
    const bool pressed = k == 1;
    const ClipTo clip(cr, {0, fh * k, double(image.Width()), fh});
    const double top = fh * k + 2 + (pressed ? 1.4 : 0);
    const Rect face{3, top, image.Width() - 6.0, 26};
    DrawCap(cr, face, pressed, LookOf(CapColour::kGrey));
    if (led) DrawLed(cr, {face.CentreX() - 6, face.y + 4, 12, 4}, lit);
  }
}

void DrawSmallButtonStrip(Image& image, CapColour cap, bool lit) {
  cairo_t* cr = image.Cr();
  const double fh = image.Height() / 2;
  const double w = image.Width();
  for (int k = 0; k < 2; ++k) {
    const bool pressed = k == 1;
    const double top = fh * k;
    const ClipTo clip(cr, {0, top, w, fh});
    // The LED sits in the panel above the cap and does not move with it.
    const Rect bezel{w / 2 - 6, top + 1.5, 12, 7};
    RoundedRect(cr, bezel, 2);
    SetColour(cr, Hex(0x050505, 0.9));
    cairo_fill(cr);
    DrawLed(cr, {w / 2 - 4, top + 3, 8, 4}, lit);
    const Rect face{3, top + 12 + (pressed ? 1.2 : 0), w - 6, 22};
    DrawCap(cr, face, pressed, LookOf(cap));
  }
}

void DrawMenuButtonStrip(Image& image) {
  cairo_t* cr = image.Cr();
  const double fh = image.Height() / 2, w = image.Width();
  for (int k = 0; k < 2; ++k) {
    const bool hover = k == 1;
    const ClipTo clip(cr, {0, fh * k, w, fh});
    const Rect r{1.5, fh * k + 2.5, w - 3, fh - 5};
    BlurredShape(
        cr, r, [&](cairo_t* m) { RoundedRect(m, r, 3); }, 0, 1.2, 2, Hex(0x000000, 0.8));
    RoundedRect(cr, r, 3);
    cairo_pattern_t* g =
        hover ? VerticalGradient(r, Hex(0x4b4e55), Hex(0x2c2e33)) : VerticalGradient(r, Hex(0x35373c), Hex(0x1d1e22));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1);
    SetColour(cr, hover ? Hex(0xd8d3c6) : Hex(0x64676e));
    cairo_stroke(cr);
    const Colour ink = hover ? Hex(0xffffff) : palette::kPrint;
    const Font font{palette::kSans, 10, true, false, 2.5};
    DrawTextCentred(cr, font, r.CentreX() - 5, r.CentreY(), "MENU", ink);
    // A small downward triangle: the button opens a menu.
    const double tx = r.Right() - 16, ty = r.CentreY();
    cairo_move_to(cr, tx - 4, ty - 2);
    cairo_line_to(cr, tx + 4, ty - 2);
    cairo_line_to(cr, tx, ty + 2.5);
    cairo_close_path(cr);
    SetColour(cr, hover ? palette::kLedRed : palette::kPrintDim);
    cairo_fill(cr);
  }
}

void DrawLearnLabelStrip(Image& image, const char* learn, const char* forget) {
  cairo_t* cr = image.Cr();
  const double fh = image.Height() / 2, w = image.Width();
  const Font font{palette::kSans, fh >= 14 ? 9.5 : 7.5, true, false, fh >= 14 ? 1.0 : 0.3};
  for (int k = 0; k < 2; ++k) {
    const Rect r{0, fh * k, w, fh};
    const ClipTo clip(cr, r);
    RoundedRect(cr, r, 2);
    cairo_pattern_t* g = VerticalGradient(r, Hex(0x5a0d08), Hex(0x300604));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    const char* text = k == 0 ? learn : forget;
    // The legend glows: a blurred copy under the crisp text.
    const double baseline = r.CentreY() + CapHeight(cr, font) / 2;
    BlurredShape(
        cr, r, [&](cairo_t* m) { TextPath(m, font, r.CentreX(), baseline, Align::kCentre, text); }, 0, 0, 2,
        Hex(0xff3a22, 0.9));
    DrawTextCentred(cr, font, r.CentreX(), r.CentreY(), text, Hex(0xffd8c8));
  }
}

void DrawFlatLed(Image& image) {
  cairo_t* cr = image.Cr();
  const Rect r{0.5, 0.5, image.Width() - 1.0, image.Height() - 1.0};
  RoundedRect(cr, r, 1.5);
  cairo_pattern_t* g = VerticalGradient(r, Hex(0xffa080), Hex(0xe8200c));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0x7a0e06));
  cairo_stroke(cr);
  cairo_move_to(cr, 2, 2);
  cairo_line_to(cr, image.Width() - 2, 2);
  cairo_set_line_width(cr, 1);
  SetColour(cr, Hex(0xffffff, 0.55));
  cairo_stroke(cr);
}

}  // namespace artwork
