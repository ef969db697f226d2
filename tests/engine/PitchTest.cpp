// Pitch code conversion and the engine's rounding.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/dsp/Pitch.h"

namespace engine {
namespace {

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfAway(0.5), 1);
  EXPECT_EQ(RoundHalfAway(-0.5), -1);
  EXPECT_EQ(RoundHalfAway(2.4999999999999996), 2);
  // The largest double below 0.5: adding 0.5 and truncating would wrongly give 1.
  EXPECT_EQ(RoundHalfAway(0.49999999999999994), 0);
  EXPECT_EQ(RoundHalfAway(-1.2), -1);
  EXPECT_EQ(RoundHalfAway(17280.0), 17280);
}

TEST(PitchToFrequency, NotesAreEqualTemperedToThreeDecimals) {
  EXPECT_DOUBLE_EQ(PitchToFrequency(69 * 128), 440.0);
  EXPECT_DOUBLE_EQ(PitchToFrequency(0), 8.176);
  EXPECT_DOUBLE_EQ(PitchToFrequency(17280), 19912.127);
  EXPECT_DOUBLE_EQ(PitchToFrequency(20000), 19912.127);
  for (int n = 0; n <= 135; ++n) {
    const double exact = 440.0 * std::pow(2.0, (n - 69) / 12.0);
    EXPECT_NEAR(PitchToFrequency(n * 128), exact, 0.0005 + 1e-9) << "note " << n;
  }
}

TEST(PitchToFrequency, InterpolatesLinearlyBetweenNotes) {
  // Note 1 is 8.66196 Hz, stored as 8.662: halfway is the mean of the two stored values.
  EXPECT_NEAR(PitchToFrequency(64), (8.176 + 8.662) / 2.0, 1e-12);
  EXPECT_NEAR(PitchToFrequency(69 * 128 + 32), 440.0 + (466.164 - 440.0) * 0.25, 1e-9);
}

TEST(PitchToFrequency, NegativeCodesFallBelowNoteZero) {
  EXPECT_NEAR(PitchToFrequency(-128), 8.176 * std::pow(2.0, -1.0 / 12.0), 1e-12);
  EXPECT_NEAR(PitchToFrequency(-1536), 4.088, 1e-12);
  EXPECT_DOUBLE_EQ(PitchToFrequency(-17280), 0.0033570162);
  EXPECT_DOUBLE_EQ(PitchToFrequency(-100000), 0.0033570162);
}

TEST(PitchToFrequency, RisesStrictlyOverTheWholeRange) {
  double previous = 0.0;
  for (int c = -17279; c <= 17280; ++c) {
    const double f = PitchToFrequency(c);
    ASSERT_GT(f, previous) << "code " << c;
    previous = f;
  }
}

}  // namespace
}  // namespace engine
