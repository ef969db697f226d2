// Resampling of bitmap strips to another size with a Lanczos filter (three lobes), frame by
// frame so that no frame bleeds into its neighbour. Colours are filtered premultiplied by
// their alpha, so transparent pixels lend no colour to the edges of a control.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/LICE.h"

namespace resample {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLobes = 3.0;

double Lanczos(double x) {
  x = std::fabs(x);
  if (x < 1e-9) return 1.0;
  if (x >= kLobes) return 0.0;
  const double px = kPi * x;
  return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

// The taps of every output pixel of a line: source index and weight (the weights of one
// output pixel add up to 1). A reduction widens the kernel by the ratio, which makes the
// filter an area filter as well as an interpolator; taps beyond the ends repeat the edge.
struct Taps {
  std::vector<int> first;  // per output pixel: index into index/weight
  std::vector<int> count;
  std::vector<int> index;
  std::vector<float> weight;
};

Taps MakeTaps(int srcLength, int dstLength) {
  Taps taps;
  const double ratio = static_cast<double>(srcLength) / dstLength;
  const double widen = std::max(ratio, 1.0);
  const double support = kLobes * widen;
  for (int d = 0; d < dstLength; ++d) {
    const double centre = (d + 0.5) * ratio - 0.5;
    const int low = static_cast<int>(std::floor(centre - support)) + 1;
    const int high = static_cast<int>(std::ceil(centre + support)) - 1;
    taps.first.push_back(static_cast<int>(taps.index.size()));
    double sum = 0.0;
    const std::size_t start = taps.index.size();
    for (int s = low; s <= high; ++s) {
      const double w = Lanczos((s - centre) / widen);
      if (w == 0.0) continue;
      taps.index.push_back(std::clamp(s, 0, srcLength - 1));
      taps.weight.push_back(static_cast<float>(w));
      sum += w;
    }
    if (sum != 0.0) {
      for (std::size_t i = start; i < taps.weight.size(); ++i)
        taps.weight[i] = static_cast<float>(taps.weight[i] / sum);
    }
    taps.count.push_back(static_cast<int>(taps.index.size() - start));
  }
  return taps;
}

struct Premultiplied {
  float a, r, g, b;
};

Premultiplied Load(LICE_pixel p) {
  const float a = LICE_GETA(p) / 255.0f;
  return {a, LICE_GETR(p) * a, LICE_GETG(p) * a, LICE_GETB(p) * a};
}

LICE_pixel Store(const Premultiplied& p) {
  const float a = std::clamp(p.a, 0.0f, 1.0f);
  if (a <= 0.5f / 255.0f) return 0;
  auto channel = [a](float c) { return static_cast<int>(std::lround(std::clamp(c / a, 0.0f, 255.0f))); };
  return LICE_RGBA(channel(p.r), channel(p.g), channel(p.b), static_cast<int>(std::lround(a * 255.0f)));
}

}  // namespace resample

using namespace resample;

LICE_MemBitmap* LICE_ResampleStrip(const LICE_IBitmap* src, int frames, int dstWidth, int dstFramePitch) {
  if (src == nullptr || src->Bits() == nullptr || frames < 1 || dstWidth < 1 || dstFramePitch < 1) return nullptr;
  const int srcWidth = src->Width();
  const int srcHeight = src->Height();
  if (srcWidth < 1 || srcHeight < frames) return nullptr;
  auto* out = new LICE_MemBitmap(dstWidth, dstFramePitch * frames);
  if (out->Bits() == nullptr) {
    delete out;
    return nullptr;
  }
  // Rows first: the whole strip becomes dstWidth wide.
  const Taps across = MakeTaps(srcWidth, dstWidth);
  std::vector<Premultiplied> wide(static_cast<std::size_t>(dstWidth) * srcHeight);
  std::vector<Premultiplied> line(static_cast<std::size_t>(srcWidth));
  for (int y = 0; y < srcHeight; ++y) {
    const LICE_pixel* row = src->Bits() + static_cast<std::ptrdiff_t>(y) * src->RowSpan();
    for (int x = 0; x < srcWidth; ++x) line[x] = Load(row[x]);
    for (int x = 0; x < dstWidth; ++x) {
      Premultiplied sum{0, 0, 0, 0};
      for (int t = across.first[x]; t < across.first[x] + across.count[x]; ++t) {
        const Premultiplied& p = line[across.index[t]];
        const float w = across.weight[t];
        sum.a += p.a * w;
        sum.r += p.r * w;
        sum.g += p.g * w;
        sum.b += p.b * w;
      }
      wide[static_cast<std::size_t>(y) * dstWidth + x] = sum;
    }
  }
  // Then columns, one frame at a time, each frame's taps kept inside the frame.
  for (int f = 0; f < frames; ++f) {
    const int srcTop = static_cast<int>((2LL * srcHeight * f + frames) / (2LL * frames));
    const int srcBottom = static_cast<int>((2LL * srcHeight * (f + 1) + frames) / (2LL * frames));
    const int srcRows = std::max(srcBottom - srcTop, 1);
    const Taps down = MakeTaps(srcRows, dstFramePitch);
    for (int y = 0; y < dstFramePitch; ++y) {
      LICE_pixel* row = out->Bits() + static_cast<std::ptrdiff_t>(f * dstFramePitch + y) * out->RowSpan();
      for (int x = 0; x < dstWidth; ++x) {
        Premultiplied sum{0, 0, 0, 0};
        for (int t = down.first[y]; t < down.first[y] + down.count[y]; ++t) {
          const int sy = std::min(srcTop + down.index[t], srcHeight - 1);
          const Premultiplied& p = wide[static_cast<std::size_t>(sy) * dstWidth + x];
          const float w = down.weight[t];
          sum.a += p.a * w;
          sum.r += p.r * w;
          sum.g += p.g * w;
          sum.b += p.b * w;
        }
        row[x] = Store(sum);
      }
    }
  }
  return out;
}
