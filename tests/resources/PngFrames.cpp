// Test helpers for the editor's bitmaps.
#include "tests/resources/PngFrames.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace test {

PngImage ReadPng(const std::string& path) {
  PngImage out;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    out.error = image.message;
    return out;
  }
  image.format = PNG_FORMAT_RGBA;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    out.error = image.message;
    out.rgba.clear();
    return out;
  }
  out.width = int(image.width);
  out.height = int(image.height);
  return out;
}

const PngImage& LoadResource(const std::string& file) {
  static std::map<std::string, PngImage> cache;
  auto it = cache.find(file);
  if (it == cache.end()) it = cache.emplace(file, ReadPng(std::string(TESVAR_IMAGE_DIR) + "/" + file)).first;
  return it->second;
}

double Difference(const Frame& a, const Frame& b) {
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      sum += std::fabs(a.R(x, y) - b.R(x, y)) + std::fabs(a.G(x, y) - b.G(x, y)) + std::fabs(a.B(x, y) - b.B(x, y)) +
             std::abs(a.Alpha(x, y) - b.Alpha(x, y));
  return sum / (4.0 * a.Width() * a.Height());
}

double MaxLuminance(const Frame& f, int x0, int y0, int x1, int y1) {
  if (x1 < 0) x1 = f.Width();
  if (y1 < 0) y1 = f.Height();
  double m = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) m = std::max(m, f.Luminance(x, y));
  return m;
}

double MeanLuminance(const Frame& f, int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) sum += f.Luminance(x, y);
  return sum / ((x1 - x0) * (y1 - y0));
}

double MaxRedExcess(const Frame& f) {
  double m = 0;
  for (int y = 0; y < f.Height(); ++y)
    for (int x = 0; x < f.Width(); ++x) m = std::max(m, f.R(x, y) - (f.G(x, y) + f.B(x, y)) / 2);
  return m;
}

int CountBrighter(const Frame& f, double threshold) {
  int n = 0;
  for (int y = 0; y < f.Height(); ++y)
    for (int x = 0; x < f.Width(); ++x) n += f.Luminance(x, y) > threshold;
  return n;
}

double PointerAngle(const Frame& f, double radius, bool dark) {
  const double cx = f.Width() / 2.0, cy = f.Height() / 2.0;
  double sx = 0, sy = 0;
  for (int y = 0; y < f.Height(); ++y) {
    for (int x = 0; x < f.Width(); ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy > radius * radius) continue;
      const double l = f.Luminance(x, y);
      const bool pointer = dark ? (f.Alpha(x, y) > 250 && l < 35) : l > 200;
      if (!pointer) continue;
      sx += dx;
      sy += dy;
    }
  }
  return std::atan2(sx, -sy) * 180.0 / M_PI;
}

double BrightCentreY(const Frame& f, double threshold) {
  double sum = 0;
  int n = 0;
  for (int y = 0; y < f.Height(); ++y)
    for (int x = 0; x < f.Width(); ++x)
      if (f.Luminance(x, y) > threshold) {
        sum += y;
        ++n;
      }
  return n ? sum / n : -1;
}

double MaxLuminanceNear(const Frame& f, double x, double y, double r) {
  double m = 0;
  for (int py = int(std::floor(y - r)); py <= int(std::ceil(y + r)); ++py)
    for (int px = int(std::floor(x - r)); px <= int(std::ceil(x + r)); ++px) {
      if (px < 0 || py < 0 || px >= f.Width() || py >= f.Height()) continue;
      const double dx = px + 0.5 - x, dy = py + 0.5 - y;
      if (dx * dx + dy * dy <= r * r) m = std::max(m, f.Luminance(px, py));
    }
  return m;
}

}  // namespace test
