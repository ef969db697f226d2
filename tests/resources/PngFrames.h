// Test helpers for the editor's bitmaps: a PNG read through libpng into RGBA bytes, and
// measures of one frame of a vertical strip (brightness, redness, pointer direction).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/framework/IGraphicsTypes.h"

namespace test {

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // straight (not premultiplied) alpha
  std::string error;               // empty when the file was read
};

PngImage ReadPng(const std::string& path);
// A file of resources/img, read once per test process (an empty image with an error when it
// cannot be read).
const PngImage& LoadResource(const std::string& file);

// Frame n (0-based) of a strip of `frames` frames, each height / frames pixels high, cut
// where the editor cuts it (a strip of fractional pitch, like the small digits, included).
class Frame {
 public:
  Frame(const PngImage& image, int frames, int index)
      : image_(&image), height_(image.height / frames), top_(StripFrameStart(image.height, frames, index)) {}
  int Width() const { return image_->width; }
  int Height() const { return height_; }
  // Colour channels 0..255 weighted by alpha (what the frame adds over black).
  double R(int x, int y) const { return Channel(x, y, 0); }
  double G(int x, int y) const { return Channel(x, y, 1); }
  double B(int x, int y) const { return Channel(x, y, 2); }
  int Alpha(int x, int y) const { return Pixel(x, y)[3]; }
  double Luminance(int x, int y) const { return 0.299 * R(x, y) + 0.587 * G(x, y) + 0.114 * B(x, y); }

 private:
  const std::uint8_t* Pixel(int x, int y) const {
    return &image_->rgba[(std::size_t(top_ + y) * image_->width + x) * 4];
  }
  double Channel(int x, int y, int c) const { return Pixel(x, y)[c] * Pixel(x, y)[3] / 255.0; }
  const PngImage* image_;
  int height_;
  int top_;
};

// Frame `index` (0-based) of a resource strip of `frames` frames.
inline Frame ResourceFrame(const std::string& file, int frames, int index) {
  return Frame(LoadResource(file), frames, index);
}

// Mean absolute difference of the alpha-weighted channels and alpha, 0..255.
double Difference(const Frame& a, const Frame& b);
// The largest luminance and the largest "red excess" (red above the mean of green and blue)
// inside a rectangle of the frame (whole frame by default).
double MaxLuminance(const Frame& f, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1);
double MeanLuminance(const Frame& f, int x0, int y0, int x1, int y1);
double MaxRedExcess(const Frame& f);
// Pixels brighter than `threshold`.
int CountBrighter(const Frame& f, double threshold);
// The direction of a knob's or switch's pointer in degrees (0 up, clockwise positive):
// the centroid of the pointer's pixels within `radius` of the frame's centre, the pointer
// being the pixels brighter than 200 (or, with `dark`, the opaque ones darker than 35).
double PointerAngle(const Frame& f, double radius, bool dark);
// The vertical centre of the pixels brighter than `threshold`.
double BrightCentreY(const Frame& f, double threshold);
// The largest luminance within `r` pixels of (x, y).
double MaxLuminanceNear(const Frame& f, double x, double y, double r);

}  // namespace test
