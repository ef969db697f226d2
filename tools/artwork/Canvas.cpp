// Drawing helpers of the artwork generator.
#include "tools/artwork/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "editor/framework/IGraphicsTypes.h"

namespace artwork {

Colour Mix(Colour from, Colour to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

Colour WithAlpha(Colour c, double a) {
  c.a = a;
  return c;
}

Colour Shade(Colour c, double k) {
  auto f = [k](double v) { return std::clamp(v * k, 0.0, 1.0); };
  return {f(c.r), f(c.g), f(c.b), c.a};
}

void SetColour(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

namespace {
const cairo_user_data_key_t kScaleKey{};
}  // namespace

int ScaleOf(cairo_t* cr) {
  const void* data = cairo_surface_get_user_data(cairo_get_target(cr), &kScaleKey);
  return data != nullptr ? *static_cast<const int*>(data) : 1;
}

Image::Image(int width, int height, int scale)
    : width_(width),
      height_(height),
      scale_(std::max(scale, 1)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale_, height * scale_)),
      cr_(cairo_create(surface_)) {
  cairo_surface_set_user_data(surface_, &kScaleKey, &scale_, nullptr);
  cairo_scale(cr_, scale_, scale_);
  // Small print is hinted lightly; advances stay fractional so that tracked capitals keep
  // even spacing.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
}

Image::~Image() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool Image::WritePng(const std::string& path) const {
  cairo_surface_flush(surface_);
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void RoundedRect(cairo_t* cr, Rect r, double radius) {
  radius = std::min({radius, r.w / 2, r.h / 2});
  const double pi = M_PI;
  cairo_new_sub_path(cr);
  cairo_arc(cr, r.Right() - radius, r.y + radius, radius, -pi / 2, 0);
  cairo_arc(cr, r.Right() - radius, r.Bottom() - radius, radius, 0, pi / 2);
  cairo_arc(cr, r.x + radius, r.Bottom() - radius, radius, pi / 2, pi);
  cairo_arc(cr, r.x + radius, r.y + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

Rect StripFrame(const Image& image, int frames, int index) {
  const int height = frames > 0 ? image.Height() / frames : image.Height();
  return {0, double(StripFrameStart(image.Height(), frames, index)), double(image.Width()), double(height)};
}

cairo_pattern_t* VerticalGradient(Rect r, Colour top, Colour bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, r.y, 0, r.Bottom());
  cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  return p;
}

namespace {

void SelectFont(cairo_t* cr, const Font& font) {
  cairo_select_font_face(cr, font.face, font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, font.size);
}

// Splits UTF-8 into one string per code point, so that tracking can space characters.
std::vector<std::string> CodePoints(std::string_view text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) n = 4;
    else if (lead >= 0xE0) n = 3;
    else if (lead >= 0xC0) n = 2;
    out.emplace_back(text.substr(i, std::min(n, text.size() - i)));
    i += n;
  }
  return out;
}

double Advance(cairo_t* cr, const std::string& s) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  return e.x_advance;
}

}  // namespace

double TextWidth(cairo_t* cr, const Font& font, std::string_view text) {
  SelectFont(cr, font);
  if (font.tracking == 0) return Advance(cr, std::string(text));
  const auto chars = CodePoints(text);
  double w = 0;
  for (const auto& c : chars) w += Advance(cr, c) + font.tracking;
  return chars.empty() ? 0 : w - font.tracking;
}

namespace {

// Shows or traces the text character by character so that tracking applies.
void LayOut(cairo_t* cr, const Font& font, double x, double baseline, Align align, std::string_view text, bool path) {
  const double w = TextWidth(cr, font, text);
  if (align == Align::kCentre) x -= w / 2;
  if (align == Align::kRight) x -= w;
  // Whole device pixels keep small print crisp at every scale.
  const double s = ScaleOf(cr);
  x = std::round(x * s) / s;
  baseline = std::round(baseline * s) / s;
  auto put = [&](const std::string& s) {
    cairo_move_to(cr, x, baseline);
    if (path) cairo_text_path(cr, s.c_str());
    else cairo_show_text(cr, s.c_str());
  };
  if (font.tracking == 0) {
    put(std::string(text));
    return;
  }
  for (const auto& c : CodePoints(text)) {
    put(c);
    x += Advance(cr, c) + font.tracking;
  }
}

}  // namespace

void DrawText(cairo_t* cr, const Font& font, double x, double baseline, Align align, std::string_view text,
              Colour colour) {
  SetColour(cr, colour);
  LayOut(cr, font, x, baseline, align, text, false);
}

void TextPath(cairo_t* cr, const Font& font, double x, double baseline, Align align, std::string_view text) {
  LayOut(cr, font, x, baseline, align, text, true);
}

double CapHeight(cairo_t* cr, const Font& font) {
  SelectFont(cr, font);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "H", &e);
  return -e.y_bearing;
}

void DrawTextCentred(cairo_t* cr, const Font& font, double cx, double cy, std::string_view text, Colour colour) {
  DrawText(cr, font, cx, cy + CapHeight(cr, font) / 2, Align::kCentre, text, colour);
}

namespace {

// Three box passes along rows and then along columns approximate a Gaussian.
void BoxBlur(std::vector<float>& px, int w, int h, int radius) {
  if (radius <= 0) return;
  std::vector<float> line(std::max(w, h));
  const int k = std::max(1, radius / 2);
  const float norm = 1.0f / float(2 * k + 1);
  auto pass = [&](int count, int length, auto at) {
    for (int c = 0; c < count; ++c) {
      for (int i = 0; i < length; ++i) line[i] = at(c, i);
      float sum = 0;
      for (int i = -k; i <= k; ++i) sum += line[std::clamp(i, 0, length - 1)];
      for (int i = 0; i < length; ++i) {
        at(c, i) = sum * norm;
        sum += line[std::min(i + k + 1, length - 1)] - line[std::max(i - k, 0)];
      }
    }
  };
  for (int n = 0; n < 3; ++n) {
    pass(h, w, [&](int y, int x) -> float& { return px[y * w + x]; });
    pass(w, h, [&](int x, int y) -> float& { return px[y * w + x]; });
  }
}

}  // namespace

void BlurredShape(cairo_t* cr, Rect bounds, const std::function<void(cairo_t*)>& shape, double dx, double dy,
                  int radius, Colour colour) {
  // The mask is made in device pixels: the bounds' corners go through the context's
  // transform first.
  double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
  for (const auto& [cx, cy] : {std::pair{bounds.x, bounds.y}, std::pair{bounds.Right(), bounds.y},
                               std::pair{bounds.x, bounds.Bottom()}, std::pair{bounds.Right(), bounds.Bottom()}}) {
    double x = cx, y = cy;
    cairo_user_to_device(cr, &x, &y);
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x);
    bottom = std::max(bottom, y);
  }
  const int s = ScaleOf(cr);
  radius *= s;
  dx *= s;
  dy *= s;
  const int margin = 2 * radius + 2;
  const int x0 = int(std::floor(left)) - margin;
  const int y0 = int(std::floor(top)) - margin;
  const int w = int(std::ceil(right - left)) + 2 * margin + 1;
  const int h = int(std::ceil(bottom - top)) + 2 * margin + 1;

  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* mc = cairo_create(mask);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  cairo_translate(mc, -x0, -y0);
  cairo_transform(mc, &m);
  shape(mc);
  cairo_set_source_rgba(mc, 0, 0, 0, 1);
  cairo_fill(mc);
  cairo_destroy(mc);
  cairo_surface_flush(mask);

  unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  std::vector<float> px(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = data[y * stride + x];
  BoxBlur(px, w, h, radius);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      data[y * stride + x] = static_cast<unsigned char>(std::clamp(px[y * w + x] + 0.5f, 0.f, 255.f));
  cairo_surface_mark_dirty(mask);

  cairo_save(cr);
  cairo_identity_matrix(cr);
  SetColour(cr, colour);
  cairo_mask_surface(cr, mask, x0 + dx, y0 + dy);
  cairo_restore(cr);
  cairo_surface_destroy(mask);
}

std::uint32_t Noise::Next() {
  // xorshift32: fixed and portable, unlike the standard library's distributions.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Noise::Signed() { return (Next() & 0xFFFFFF) / double(0x7FFFFF) - 1.0; }

void AddGrain(Image& image, Rect r, double amount, int streak, std::uint32_t seed) {
  cairo_surface_t* s = image.Surface();
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  Noise noise(seed);
  const int scale = image.Scale();
  streak *= scale;
  const int x0 = std::max(0, int(r.x * scale)), x1 = std::min(image.Width() * scale, int(r.Right() * scale));
  const int y0 = std::max(0, int(r.y * scale)), y1 = std::min(image.Height() * scale, int(r.Bottom() * scale));
  for (int y = y0; y < y1; ++y) {
    double run = 0;
    for (int x = x0; x < x1; ++x) {
      // A slowly wandering value along the row gives streaks; a little fresh noise on top.
      if (streak <= 1 || (x - x0) % streak == 0) run = noise.Signed();
      const double v = (0.7 * run + 0.3 * noise.Signed()) * amount * 255.0;
      auto* p = reinterpret_cast<std::uint32_t*>(data + y * stride) + x;
      const std::uint32_t a = *p >> 24;
      if (a == 0) continue;
      auto ch = [&](int shift) {
        const int c = int((*p >> shift) & 255) + int(std::lround(v * a / 255.0));
        return std::uint32_t(std::clamp(c, 0, int(a))) << shift;
      };
      *p = (a << 24) | ch(16) | ch(8) | ch(0);
    }
  }
  cairo_surface_mark_dirty(s);
}

}  // namespace artwork
