// The artwork generator's own pieces: blurred shadows keep their coverage and stay inside
// a strip's frame, tracked and centred text lands where asked, texture is repeatable, and
// the printed scales follow the parameter table and the programmer's numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/framework/IGraphicsTypes.h"
#include "resources/ParameterInfo.h"
#include "tools/artwork/Canvas.h"
#include "tools/artwork/Controls.h"
#include "tools/artwork/Scales.h"

namespace artwork {
namespace {

// Sum of alpha (0..1 per pixel) and its centroid over the whole image.
struct Coverage {
  double sum = 0, cx = 0, cy = 0;
};

Coverage CoverageOf(Image& image) {
  cairo_surface_flush(image.Surface());
  const unsigned char* data = cairo_image_surface_get_data(image.Surface());
  const int stride = cairo_image_surface_get_stride(image.Surface());
  Coverage c;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) {
      std::uint32_t p;
      std::memcpy(&p, data + y * stride + 4 * x, 4);
      const double a = (p >> 24) / 255.0;
      c.sum += a;
      c.cx += a * (x + 0.5);
      c.cy += a * (y + 0.5);
    }
  if (c.sum > 0) {
    c.cx /= c.sum;
    c.cy /= c.sum;
  }
  return c;
}

int AlphaAt(Image& image, int x, int y) {
  cairo_surface_flush(image.Surface());
  const unsigned char* data = cairo_image_surface_get_data(image.Surface());
  std::uint32_t p;
  std::memcpy(&p, data + y * cairo_image_surface_get_stride(image.Surface()) + 4 * x, 4);
  return int(p >> 24);
}

void Square(cairo_t* cr) { cairo_rectangle(cr, 40, 40, 20, 20); }

TEST(ArtworkCanvas, BlurredShapeSpreadsItsCoverageWithoutLosingIt) {
  Image image(100, 100);
  BlurredShape(image.Cr(), {40, 40, 20, 20}, Square, 0, 0, 4, Hex(0xffffff));
  const Coverage c = CoverageOf(image);
  EXPECT_NEAR(c.sum, 400, 8);
  EXPECT_NEAR(c.cx, 50, 0.05);
  EXPECT_NEAR(c.cy, 50, 0.05);
  EXPECT_GT(AlphaAt(image, 50, 50), 250);  // the middle stays solid
  EXPECT_GT(AlphaAt(image, 38, 50), 0);    // the edge is soft
  EXPECT_LT(AlphaAt(image, 41, 50), 255);
  EXPECT_EQ(AlphaAt(image, 25, 50), 0);  // and the blur stays near the shape
}

TEST(ArtworkCanvas, BlurredShapeOffsetMovesItAndKeepsTheContextsTransform) {
  Image image(100, 100);
  cairo_translate(image.Cr(), 10, 0);  // the shape is built in the context's coordinates
  BlurredShape(image.Cr(), {40, 40, 20, 20}, Square, 3, 5, 2, Hex(0x000000, 0.5));
  const Coverage c = CoverageOf(image);
  EXPECT_NEAR(c.sum, 200, 4);
  EXPECT_NEAR(c.cx, 63, 0.05);
  EXPECT_NEAR(c.cy, 55, 0.05);
}

TEST(ArtworkCanvas, ClipToKeepsAGlowInsideItsFrame) {
  Image image(20, 40);
  {
    const ClipTo clip(image.Cr(), {0, 0, 20, 20});
    BlurredShape(
        image.Cr(), {4, 14, 12, 6}, [](cairo_t* m) { cairo_rectangle(m, 4, 14, 12, 6); }, 0, 0, 4, Hex(0xff0000));
  }
  EXPECT_GT(AlphaAt(image, 10, 19), 100);
  for (int y = 20; y < 40; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(AlphaAt(image, x, y), 0) << x << ", " << y;
}

TEST(ArtworkCanvas, TrackingWidensTextAndCentredTextIsCentred) {
  Image image(200, 40);
  cairo_t* cr = image.Cr();
  Font font{"Liberation Sans", 12, true, false, 0};
  const double plain = TextWidth(cr, font, "ABC");
  EXPECT_GT(plain, 15);
  EXPECT_GT(TextWidth(cr, font, "ABCD"), plain);
  font.tracking = 2;
  EXPECT_NEAR(TextWidth(cr, font, "ABC"), plain + 4, 0.01);  // two gaps, none after the last
  EXPECT_NEAR(TextWidth(cr, font, "\u2212\u00bd"), TextWidth(cr, font, "\u2212") + TextWidth(cr, font, "\u00bd") + 2,
              0.01);

  DrawText(cr, font, 100, 28, Align::kCentre, "HHHH", Hex(0xffffff));
  const Coverage c = CoverageOf(image);
  EXPECT_GT(c.sum, 20);
  EXPECT_NEAR(c.cx, 100, 1.0);
  EXPECT_NEAR(c.cy, 28 - CapHeight(cr, font) / 2, 1.0);
}

TEST(ArtworkCanvas, GrainIsRepeatableAndSubtle) {
  auto grained = [](std::uint32_t seed) {
    auto image = std::make_unique<Image>(64, 16);
    cairo_set_source_rgb(image->Cr(), 0.5, 0.5, 0.5);
    cairo_paint(image->Cr());
    AddGrain(*image, {0, 0, 64, 16}, 0.02, 4, seed);
    cairo_surface_flush(image->Surface());
    const unsigned char* d = cairo_image_surface_get_data(image->Surface());
    return std::string(reinterpret_cast<const char*>(d),
                       std::size_t(cairo_image_surface_get_stride(image->Surface())) * 16);
  };
  const std::string a = grained(7), b = grained(7), c = grained(8);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  int spread = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (i % 4 == 3) continue;  // alpha
    spread = std::max(spread, std::abs(int(static_cast<unsigned char>(a[i])) - 128));
  }
  EXPECT_GT(spread, 0);
  EXPECT_LE(spread, 6);  // 0.02 of full scale, rounded
}

std::uint32_t PixelAt(Image& image, int x, int y) {
  cairo_surface_flush(image.Surface());
  const unsigned char* data = cairo_image_surface_get_data(image.Surface());
  std::uint32_t p;
  std::memcpy(&p, data + y * cairo_image_surface_get_stride(image.Surface()) + 4 * x, 4);
  return p;
}

int LargestChannelDifference(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 32; shift += 8)
    d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
  return d;
}

// Each digit of a strip lies whole inside the rectangle the editor cuts for its frame (the
// editor's own rule, including the small strip's 16.5-pixel pitch): the cut shows exactly the
// digit drawn alone, and rows that no cut shows stay empty.
TEST(ArtworkStrips, EveryDigitLiesInsideTheRectangleTheEditorCutsForIt) {
  struct Case {
    int width, height;
    bool small;
  };
  for (const Case c : {Case{10, 198, true}, Case{26, 408, false}}) {
    const Colour lit = Hex(0xff3020);
    Image strip(c.width, c.height);
    DrawDigitStrip(strip, 12, lit, c.small);
    const int frameH = c.height / 12;
    std::vector<bool> shown(std::size_t(c.height), false);
    double previousCoverage = -1;
    for (int k = 0; k < 12; ++k) {
      const int top = StripFrameStart(c.height, 12, k);
      ASSERT_LE(top + frameH, c.height) << k;
      Image alone(c.width, frameH);
      DrawDigitFrame(alone.Cr(), {0, 0, double(c.width), double(frameH)}, k, lit, c.small);
      int worst = 0;
      for (int y = 0; y < frameH; ++y) {
        shown[std::size_t(top + y)] = true;
        for (int x = 0; x < c.width; ++x)
          worst = std::max(worst, LargestChannelDifference(PixelAt(strip, x, top + y), PixelAt(alone, x, y)));
      }
      EXPECT_LE(worst, 1) << "frame " << k << " of the " << c.width << "-pixel strip";
      const double coverage = CoverageOf(alone).sum;
      EXPECT_NE(coverage, previousCoverage) << k;  // neighbouring digits differ
      previousCoverage = coverage;
    }
    for (int y = 0; y < c.height; ++y) {
      if (shown[std::size_t(y)]) continue;
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(PixelAt(strip, x, y) >> 24, 0u) << "row " << y << " is drawn but never shown";
    }
  }
  // The small strip's frames start half a pixel later each frame, rounded up.
  const int starts[12] = {0, 17, 33, 50, 66, 83, 99, 116, 132, 149, 165, 182};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(StripFrameStart(198, 12, k), starts[k]) << k;
}

// The programmer's numbers of the sound parameters 8 to 33, written out independently.
constexpr int kProgrammerNumbers[26] = {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34, 35,
                                        41, 42, 43, 44, 51, 52, 53, 54, 55, 61, 62, 63, 64};

TEST(ArtworkScales, EverySoundParameterHasItsNumberSectionAndAFullScale) {
  for (int p = 8; p <= 33; ++p) {
    const int number = kProgrammerNumbers[p - 8];
    EXPECT_EQ(ProgrammerNumber(p), number) << p;
    const Section* section = SectionOf(p);
    ASSERT_NE(section, nullptr) << p;
    // The first digit of the number selects the section, in the order of the chart.
    EXPECT_EQ(section, &MatrixSections()[std::size_t(number / 10 - 1)]) << p;
    EXPECT_STRNE(PanelName(p), "") << p;

    const auto marks = FaderScale(p);
    bool bottom = false, top = false;
    for (const Mark& m : marks) {
      EXPECT_GE(m.position, 0) << p;
      EXPECT_LE(m.position, 1) << p;
      const bool named = !m.label.empty() || m.icon != Icon::kNone;
      bottom |= named && m.position == 0;
      top |= named && m.position == 1;
    }
    EXPECT_TRUE(bottom && top) << "parameter " << p << " lacks a named end";

    const auto& info = resources::kParameterInfo[std::size_t(p)];
    if (info.kind == resources::ParamKind::List) {
      ASSERT_EQ(marks.size(), info.listTexts.size()) << p;
      for (std::size_t i = 0; i < marks.size(); ++i)
        EXPECT_DOUBLE_EQ(marks[i].position, double(i) / (marks.size() - 1)) << p;
    }
  }
  EXPECT_EQ(ProgrammerNumber(7), 0);
  EXPECT_EQ(ProgrammerNumber(34), 0);
}

double ParsePrinted(std::string s) {
  const std::string minus = "\u2212";
  if (s.rfind(minus, 0) == 0) s = "-" + s.substr(minus.size());
  return std::stod(s);
}

TEST(ArtworkScales, KnobScaleEndsAreTheParameterRanges) {
  for (int p : {2, 3, 10, 11, 15, 16, 17, 18, 19, 21, 22, 23, 24, 26, 27, 28, 29, 30, 31, 32, 33}) {
    const auto& info = resources::kParameterInfo[std::size_t(p)];
    const auto [lo, hi] = KnobEnds(p);
    EXPECT_DOUBLE_EQ(ParsePrinted(lo), info.minValue) << p;
    EXPECT_DOUBLE_EQ(ParsePrinted(hi), info.maxValue) << p;
  }
  // Tune prints its display range in cents.
  EXPECT_EQ(KnobEnds(1).first, "\u221250");
  EXPECT_EQ(KnobEnds(1).second, "+50");
}

}  // namespace
}  // namespace artwork
