// Parameter conversions, snapping, clamping and display texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/ParamRecord.h"

namespace {

std::string Display(const ParamRecord& p, double value, bool normalised = false, bool texts = true) {
  char text[kParamTextSize];
  p.GetDisplayText(value, normalised, text, texts);
  return text;
}

const char* const kFour[] = {"zero", "one", "two", "three"};

TEST(ParamRecordTest, InitialisationWidensNarrowRangesAndDerivesPrecision) {
  ParamRecord p;
  p.InitContinuous("x", 0, 0, 0, 1, 1);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Kind(), ParamKind::kContinuous);

  const double steps[] = {1.0, 0.1, 0.01, 0.005, 0.001, 0.5, 1e-7};
  const int precisions[] = {0, 1, 2, 3, 3, 1, 6};
  for (int i = 0; i < 7; ++i) {
    ParamRecord q;
    q.InitContinuous("q", 0, 0, 10, steps[i], 1);
    EXPECT_EQ(q.DisplayPrecision(), precisions[i]) << "step " << steps[i];
  }
  ParamRecord shapeless;
  shapeless.InitContinuous("s", 0, 0, 1, 0.1, 0);
  EXPECT_EQ(shapeless.Shape(), 1.0);
}

TEST(ParamRecordTest, ContinuousRoundTripAndShape) {
  ParamRecord p;
  p.InitContinuous("p", 0, -1, 1, 0.01, 1);
  EXPECT_DOUBLE_EQ(p.ToNormalised(0.0), 0.5);
  EXPECT_EQ(Display(p, 0.256), "0.26");
  for (double x = 0; x <= 1.0; x += 0.0625) EXPECT_NEAR(p.ToNormalised(p.FromNormalised(x)), x, 1e-12);

  ParamRecord curved;
  curved.InitContinuous("c", 0, 2, 10, 0.1, 2);
  EXPECT_DOUBLE_EQ(curved.FromNormalised(0.5), 2 + 0.25 * 8);
  EXPECT_NEAR(curved.ToNormalised(curved.FromNormalised(0.5)), 0.5, 1e-12);
  curved.SetNormalised(0.5);
  EXPECT_DOUBLE_EQ(curved.Value(), 4.0);  // continuous values are not rounded to the step
}

TEST(ParamRecordTest, IntegerAndListSnapToNearestStepHalvesUp) {
  ParamRecord p;
  p.InitInteger("i", 0, 0, 12);
  p.SetNormalised(0.5);
  EXPECT_EQ(p.Value(), 6);
  p.SetNormalised(0.54);
  EXPECT_EQ(p.Value(), 6);
  p.SetNormalised(0.542);
  EXPECT_EQ(p.Value(), 7);

  ParamRecord list;
  list.InitList("l", 0, 4, kFour);
  EXPECT_EQ(list.Kind(), ParamKind::kList);
  // Value k covers [(k - 0.5)/3, (k + 0.5)/3).
  list.SetNormalised(0.5 / 3 - 1e-9);
  EXPECT_EQ(list.Value(), 0);
  list.SetNormalised(0.5 / 3 + 1e-9);
  EXPECT_EQ(list.Value(), 1);
  list.SetNormalised(1.0);
  EXPECT_EQ(list.Value(), 3);
}

TEST(ParamRecordTest, HostilValuesNeverLeaveTheRange) {
  ParamRecord p;
  p.InitInteger("i", 3, 0, 7);
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  for (double x : bad) {
    p.SetNormalised(x);
    EXPECT_EQ(p.Value(), 3) << x;
    p.SetPlain(x);
    EXPECT_EQ(p.Value(), 3) << x;
  }
  p.SetNormalised(-5.0);
  EXPECT_EQ(p.Value(), 0);
  p.SetNormalised(7.5);
  EXPECT_EQ(p.Value(), 7);
  p.SetPlain(-40);
  EXPECT_EQ(p.Value(), 0);
  p.SetPlain(40);
  EXPECT_EQ(p.Value(), 7);
  p.SetPlain(2.6);  // plain stores do not snap
  EXPECT_EQ(p.Value(), 2.6);
}

TEST(ParamRecordTest, DisplayTextsLabelsAndNegation) {
  ParamRecord list;
  list.InitList("l", 2, 4, kFour);
  EXPECT_EQ(Display(list, 2), "two");
  EXPECT_EQ(Display(list, 2, false, false), "2");
  EXPECT_EQ(Display(list, 1.0, true), "three");
  char label[kParamTextSize];
  list.GetHostLabel(label);
  EXPECT_STREQ(label, "");
  EXPECT_EQ(list.FindDisplayText("three")->value, 3);
  EXPECT_EQ(list.FindDisplayText("Three"), nullptr);

  ParamRecord negated;
  negated.InitInteger("n", 3, 0, 10);
  negated.SetNegateDisplay(true);
  EXPECT_EQ(Display(negated, 3), "-3");

  ParamRecord formatted;
  formatted.InitContinuous("f", 0, 0, 1, 0.01, 1);
  formatted.SetDisplayFormatter([](double v, char* text) {
    // Formatters that write too much are cut to the record's text size.
    std::string longText(100, 'x');
    longText[kParamTextSize - 1] = '\0';
    std::snprintf(text, kParamTextSize, "%s", longText.c_str());
    (void)v;
  });
  EXPECT_EQ(Display(formatted, 0.3).size(), kParamTextSize - 1);
}

TEST(ParamRecordTest, CopyTextIsBoundedAndTerminated) {
  char out[5];
  CopyText(out, "abcdefgh", sizeof(out));
  EXPECT_STREQ(out, "abcd");
  CopyText(out, nullptr, sizeof(out));
  EXPECT_STREQ(out, "");
  const char unterminated[3] = {'a', 'b', 'c'};
  EXPECT_EQ(BoundedLength(unterminated, 3), 3u);
}

}  // namespace
