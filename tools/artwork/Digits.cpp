// Seven-segment LED digits: frames 0 to 9, a minus and a blank. The background stays
// transparent so the display window printed on the panel shows through; unlit segments are
// faintly there, as on a real display behind its filter.
#include <vector>

#include "tools/artwork/Controls.h"

namespace artwork {
namespace {

// Segment bits: a top, b upper right, c lower right, d bottom, e lower left, f upper left,
// g middle.
enum : unsigned { kA = 1, kB = 2, kC = 4, kD = 8, kE = 16, kF = 32, kG = 64 };
constexpr unsigned kAll = kA | kB | kC | kD | kE | kF | kG;
constexpr unsigned kFrameSegments[12] = {
    kA | kB | kC | kD | kE | kF,  // 0
    kB | kC,                      // 1
    kA | kB | kG | kE | kD,       // 2
    kA | kB | kG | kC | kD,       // 3
    kF | kG | kB | kC,            // 4
    kA | kF | kG | kC | kD,       // 5
    kA | kF | kG | kE | kD | kC,  // 6
    kA | kB | kC,                 // 7
    kAll,                         // 8
    kA | kB | kC | kD | kF | kG,  // 9
    kG,                           // minus
    0,                            // blank
};

struct DigitBox {
  double left, top, width, height, thickness, gap, slant;
};

// The hexagonal bar of one segment, leaning by the box's slant.
void SegmentPath(cairo_t* cr, const DigitBox& b, unsigned segment) {
  const double t = b.thickness, h2 = t / 2, g = b.gap;
  const double midY = b.top + b.height / 2;
  std::vector<std::pair<double, double>> pts;
  auto horizontal = [&](double yc) {
    const double x1 = b.left + h2 + g, x2 = b.left + b.width - h2 - g;
    pts = {{x1, yc}, {x1 + h2, yc - h2}, {x2 - h2, yc - h2}, {x2, yc}, {x2 - h2, yc + h2}, {x1 + h2, yc + h2}};
  };
  auto vertical = [&](double xc, double y1, double y2) {
    pts = {{xc, y1}, {xc + h2, y1 + h2}, {xc + h2, y2 - h2}, {xc, y2}, {xc - h2, y2 - h2}, {xc - h2, y1 + h2}};
  };
  const double l = b.left + h2, r = b.left + b.width - h2;
  const double top = b.top + h2, bottom = b.top + b.height - h2;
  switch (segment) {
    case kA: horizontal(top); break;
    case kG: horizontal(midY); break;
    case kD: horizontal(bottom); break;
    case kF: vertical(l, top + g, midY - g); break;
    case kB: vertical(r, top + g, midY - g); break;
    case kE: vertical(l, midY + g, bottom - g); break;
    case kC: vertical(r, midY + g, bottom - g); break;
  }
  cairo_new_sub_path(cr);
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const double x = pts[i].first + b.slant * (midY - pts[i].second);
    if (i == 0) cairo_move_to(cr, x, pts[i].second);
    else cairo_line_to(cr, x, pts[i].second);
  }
  cairo_close_path(cr);
}

void SegmentsPath(cairo_t* cr, const DigitBox& b, unsigned mask) {
  cairo_new_path(cr);
  for (unsigned s = kA; s <= kG; s <<= 1)
    if (mask & s) SegmentPath(cr, b, s);
}

}  // namespace

void DrawDigitFrame(cairo_t* cr, Rect frame, int index, Colour lit, bool small) {
  const double w = frame.w, fh = frame.h, top = frame.y;
  const DigitBox box = small ? DigitBox{frame.x + 1.6, top + 1.5, w - 3.4, fh - 3.0, 1.7, 0.35, 0.08}
                             : DigitBox{frame.x + 4.5, top + 3, w - 9.5, fh - 6.0, 3.6, 0.7, 0.09};
  const unsigned mask = index >= 0 && index < 12 ? kFrameSegments[index] : 0;
  const ClipTo clip(cr, frame);

  SegmentsPath(cr, box, kAll & ~mask);
  SetColour(cr, WithAlpha(Shade(lit, 0.55), 0.2));
  cairo_fill(cr);
  if (mask == 0) return;

  BlurredShape(
      cr, frame, [&](cairo_t* m) { SegmentsPath(m, box, mask); }, 0, 0, small ? 1 : 3,
      WithAlpha(lit, small ? 0.45 : 0.55));
  SegmentsPath(cr, box, mask);
  cairo_pattern_t* g = VerticalGradient(frame, Mix(lit, Hex(0xffffff), 0.35), lit);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void DrawDigitStrip(Image& image, int frames, Colour lit, bool small) {
  for (int k = 0; k < frames && k < 12; ++k) DrawDigitFrame(image.Cr(), StripFrame(image, frames, k), k, lit, small);
}

}  // namespace artwork
