// Key-assign layouts, unison detune and stereo spread.
#include "engine/VoiceLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace engine {
namespace {

TEST(VoiceLayoutTest, LayoutTablesOfTheThreeModes) {
  const int polyP[8] = {1, 2, 6, 8, 16, 24, 32, 64};
  const int chordP[8] = {1, 1, 1, 2, 6, 12, 16, 32};
  const int unisonV[8] = {8, 8, 6, 6, 4, 4, 2, 2};
  const int unisonP[8] = {1, 8, 1, 10, 1, 16, 1, 32};
  for (int s = 0; s < 8; ++s) {
    SCOPED_TRACE("setting " + std::to_string(s));
    const VoiceLayout poly = ComputeVoiceLayout(KeyMode::kPoly, s, 0);
    EXPECT_EQ(poly.polyphony, polyP[s]);
    EXPECT_EQ(poly.voicesPerNote, 1);
    EXPECT_EQ(poly.total, polyP[s]);
    EXPECT_EQ(poly.unisonGain, 1.0);

    // An empty chord memory gives one voice per note.
    const VoiceLayout chord = ComputeVoiceLayout(KeyMode::kChord, s, 0);
    EXPECT_EQ(chord.polyphony, chordP[s]);
    EXPECT_EQ(chord.voicesPerNote, 1);
    EXPECT_EQ(chord.voicesSetting, s);

    const VoiceLayout unison = ComputeVoiceLayout(KeyMode::kUnison, s, 0);
    EXPECT_EQ(unison.voicesPerNote, unisonV[s]);
    EXPECT_EQ(unison.polyphony, unisonP[s]);
    EXPECT_EQ(unison.total, unisonV[s] * unisonP[s]);
    EXPECT_LE(unison.total, kVoiceCount);
    EXPECT_DOUBLE_EQ(unison.unisonGain, 1.0 / std::sqrt(unisonV[s]));
  }
  // Settings beyond the range are clamped, unknown modes play Poly.
  EXPECT_EQ(ComputeVoiceLayout(KeyMode::kPoly, 9, 0).polyphony, 64);
  EXPECT_EQ(ComputeVoiceLayout(KeyMode::kPoly, -3, 0).polyphony, 1);
  EXPECT_EQ(KeyModeFromIndex(7), KeyMode::kPoly);
  EXPECT_EQ(KeyModeFromIndex(2), KeyMode::kUnison);
}

TEST(VoiceLayoutTest, ChordModeLowersTheSettingUntilTheGridFits) {
  // Seven offsets (V = 8) at setting 7: 32*8 and 16*8 and 12*8 are too many, 6*8 = 48 fits.
  const VoiceLayout seven = ComputeVoiceLayout(KeyMode::kChord, 7, 7);
  EXPECT_EQ(seven.voicesSetting, 4);
  EXPECT_EQ(seven.polyphony, 6);
  EXPECT_EQ(seven.voicesPerNote, 8);
  EXPECT_EQ(seven.total, 48);
  // Two offsets at setting 7 (V = 3): 32*3 = 96 and 16*3 = 48 fits.
  EXPECT_EQ(ComputeVoiceLayout(KeyMode::kChord, 7, 2).voicesSetting, 6);
  // The largest chord goes down to one slot; settings 0 ... 2 already have one.
  const VoiceLayout widest = ComputeVoiceLayout(KeyMode::kChord, 7, 63);
  EXPECT_EQ(widest.polyphony, 1);
  EXPECT_EQ(widest.total, 64);
  EXPECT_EQ(widest.voicesSetting, 2);
  // An over-long memory counts as 63 offsets.
  EXPECT_EQ(ComputeVoiceLayout(KeyMode::kChord, 0, 500).total, 64);
  for (int s = 0; s < 8; ++s) {
    for (int n = 0; n <= 63; ++n) EXPECT_LE(ComputeVoiceLayout(KeyMode::kChord, s, n).total, 64);
  }
}

TEST(VoiceLayoutTest, UnisonDetuneRowsAreSymmetric) {
  EXPECT_EQ(UnisonDetune(2, 0), -8);
  EXPECT_EQ(UnisonDetune(2, 1), 8);
  const int four[4] = {-8, -4, 4, 8};
  const int six[6] = {-10, -6, -3, 3, 6, 10};
  const int eight[8] = {-12, -8, -4, -2, 2, 4, 8, 12};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(UnisonDetune(4, i), four[i]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(UnisonDetune(6, i), six[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(UnisonDetune(8, i), eight[i]);
  EXPECT_EQ(UnisonDetune(3, 1), 0);
  EXPECT_EQ(UnisonDetune(8, 8), 0);
  EXPECT_EQ(UnisonDetune(9, 0), 0);
}

TEST(VoiceLayoutTest, PanPositionGains) {
  double l = 0, r = 0;
  PanPositionToGains(0.0, l, r);
  EXPECT_EQ(l, 1.0);
  EXPECT_EQ(r, 1.0);
  PanPositionToGains(-1.0, l, r);
  EXPECT_EQ(l, 1.0);
  EXPECT_EQ(r, 0.0);
  PanPositionToGains(0.5, l, r);
  EXPECT_DOUBLE_EQ(l, std::sqrt(0.5));
  EXPECT_EQ(r, 1.0);
  PanPositionToGains(3.0, l, r);  // beyond the end counts as the end
  EXPECT_EQ(l, 0.0);
  EXPECT_EQ(r, 1.0);
}

TEST(VoiceLayoutTest, SpreadZeroCentresSpreadOneDealsFromBothEnds) {
  PanGains gains;
  UpdatePanGains(ComputeVoiceLayout(KeyMode::kPoly, 7, 0), 0.0, gains);
  for (int v = 0; v < kVoiceCount; ++v) {
    EXPECT_EQ(gains.left[v], 1.0);
    EXPECT_EQ(gains.right[v], 1.0);
  }
  // T = 2: voice 0 hard left, voice 1 hard right.
  UpdatePanGains(ComputeVoiceLayout(KeyMode::kPoly, 1, 0), 1.0, gains);
  EXPECT_EQ(gains.left[0], 1.0);
  EXPECT_EQ(gains.right[0], 0.0);
  EXPECT_EQ(gains.left[1], 0.0);
  EXPECT_EQ(gains.right[1], 1.0);
  // T = 6, spread 1: positions -1, -0.6, ..., 1 go to voices 0, 5, 1, 4, 2, 3.
  UpdatePanGains(ComputeVoiceLayout(KeyMode::kPoly, 2, 0), 1.0, gains);
  const int order[6] = {0, 5, 1, 4, 2, 3};
  for (int k = 0; k < 6; ++k) {
    double l = 0, r = 0;
    PanPositionToGains(-1.0 + k * 0.4, l, r);
    EXPECT_DOUBLE_EQ(gains.left[order[k]], l) << "position " << k;
    EXPECT_DOUBLE_EQ(gains.right[order[k]], r) << "position " << k;
  }
  // T = 1 centres all 64 voices, whatever the spread.
  UpdatePanGains(ComputeVoiceLayout(KeyMode::kPoly, 0, 0), 1.0, gains);
  for (int v = 0; v < kVoiceCount; ++v) EXPECT_EQ(gains.left[v] + gains.right[v], 2.0);
}

TEST(VoiceLayoutTest, OddVoiceCountGivesTheMiddleVoiceTheLastPosition) {
  // Chord with P = 1 and two offsets: T = 3, positions -1, 0, +1. The pair takes -1 and 0
  // (voices 0 and 2); the middle voice 1 gets +1, so each position is used once.
  PanGains gains;
  gains.left[1] = gains.right[1] = 0.25;  // stale values must not survive
  UpdatePanGains(ComputeVoiceLayout(KeyMode::kChord, 0, 2), 1.0, gains);
  EXPECT_EQ(gains.left[0], 1.0);
  EXPECT_EQ(gains.right[0], 0.0);
  EXPECT_EQ(gains.left[2], 1.0);
  EXPECT_EQ(gains.right[2], 1.0);
  EXPECT_EQ(gains.left[1], 0.0);
  EXPECT_EQ(gains.right[1], 1.0);
}

TEST(VoiceLayoutTest, UnisonSpreadsLayersAcrossEverySlot) {
  // Setting 1: V = 8, P = 8. Layer i sits at -spread + i*2*spread/7 in all eight slots.
  PanGains gains;
  const VoiceLayout layout = ComputeVoiceLayout(KeyMode::kUnison, 1, 0);
  UpdatePanGains(layout, 0.7, gains);
  for (int layer = 0; layer < 8; ++layer) {
    double l = 0, r = 0;
    PanPositionToGains(-0.7 + layer * 1.4 / 7, l, r);
    for (int slot = 0; slot < 8; ++slot) {
      EXPECT_DOUBLE_EQ(gains.left[layout.VoiceIndex(slot, layer)], l);
      EXPECT_DOUBLE_EQ(gains.right[layout.VoiceIndex(slot, layer)], r);
    }
  }
  // The outer layers mirror each other.
  EXPECT_DOUBLE_EQ(gains.left[0], gains.right[layout.VoiceIndex(0, 7)]);
}

TEST(VoiceLayoutTest, VoicesTextFollowsTheMode) {
  char text[64];
  FormatVoicesText(KeyMode::kPoly, 7, text, sizeof text);
  EXPECT_STREQ(text, "Polyphony: 64");
  FormatVoicesText(KeyMode::kChord, 5, text, sizeof text);
  EXPECT_STREQ(text, "Polyphony: 12");
  FormatVoicesText(KeyMode::kUnison, 3, text, sizeof text);
  EXPECT_STREQ(text, "Voices: 6 / Poly: 10");
  FormatVoicesText(KeyMode::kUnison, 3, text, 6);  // truncated, still terminated
  EXPECT_STREQ(text, "Voice");
}

}  // namespace
}  // namespace engine
