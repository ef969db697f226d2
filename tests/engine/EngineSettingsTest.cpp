// The parameter-to-engine mapping rows whose arithmetic can go wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/EngineSettings.h"

namespace engine {
namespace {

class EngineSettingsTest : public ::testing::Test {
 protected:
  // Plain value v of a parameter with range min ... max and curve exponent `shape`:
  // e = ((v - min)/(max - min))^(1/shape), as the product computes it.
  SettingsFollowUp Set(int index, double v, double min, double max, double shape = 1.0) {
    const double e = std::pow((v - min) / (max - min), 1.0 / shape);
    return settings.Apply(index, v, e);
  }

  EngineSettings settings;
  const VoicePatch& patch = settings.patch;
};

TEST_F(EngineSettingsTest, OutputLevelAndCurvedRates) {
  EXPECT_TRUE(Set(0, 0.5, 0, 1).updateOutputGain);
  EXPECT_DOUBLE_EQ(settings.outputLevel, 0.25);
  // Square curve: normalised 0.5 is 0.3 + 14.7/4 = 3.975 Hz.
  const double wheelHz = std::pow(0.5, 2.0) * (15.0 - 0.3) + 0.3;
  Set(3, wheelHz, 0.3, 15.0, 2.0);
  EXPECT_NEAR(settings.wheelLfoStep, 2.0 * 3.975 / 1000.0, 1e-15);
  Set(41, 9.2, 0.01, 15.0, 2.0);
  Set(42, 1.9, 0.01, 15.0, 2.0);
  EXPECT_NEAR(settings.ensembleStep1, 0.0184, 1e-15);
  EXPECT_NEAR(settings.ensembleStep2, 0.0038, 1e-15);
  Set(1, -1.0, -1, 1);
  EXPECT_EQ(settings.tuneOffset, -128.0);
  Set(2, 12.0, 0, 12);
  EXPECT_EQ(settings.bendRange, 1536.0);
}

TEST_F(EngineSettingsTest, FollowUpsForModeVoicesAndSpread) {
  EXPECT_FALSE(Set(5, 0, 0, 2).reconfigureVoices);  // unchanged mode
  EXPECT_TRUE(Set(5, 2, 0, 2).reconfigureVoices);
  EXPECT_EQ(settings.mode, 2);
  EXPECT_TRUE(Set(6, 3, 0, 7).reconfigureVoices);  // always
  EXPECT_TRUE(Set(6, 3, 0, 7).reconfigureVoices);
  EXPECT_EQ(settings.voicesSetting, 3);
  const SettingsFollowUp pan = Set(7, 0.4, 0, 1);
  EXPECT_TRUE(pan.updatePanGains);
  EXPECT_FALSE(pan.reconfigureVoices);
  EXPECT_DOUBLE_EQ(settings.spread, 0.4);
}

TEST_F(EngineSettingsTest, BaseCutoffAndEnvelopeDepth) {
  Set(16, 31.5, 0, 63);
  EXPECT_DOUBLE_EQ(settings.baseCutoff, 8640.0);
  EXPECT_EQ(patch.vcf.cutoffTarget, 8640.0);
  // Each unit of EG intensity lowers the resting cutoff by 17280/63.
  Set(19, 2.0, -7, 7);
  EXPECT_NEAR(settings.baseCutoff, (31.5 - 2.0) / 63.0 * 17280.0, 1e-9);
  EXPECT_EQ(patch.vcf.cutoffTarget, std::trunc((31.5 - 2.0) / 63.0 * 17280.0));  // integer part
  EXPECT_NEAR(patch.envelopeDepth, 2.0 * 17280.0 * 0.85 / 7.0, 1e-9);
  // Negative intensity with the cutoff fully open clamps at the top, not beyond.
  Set(16, 63.0, 0, 63);
  Set(19, -7.0, -7, 7);
  EXPECT_EQ(settings.baseCutoff, 17280.0);
  EXPECT_NEAR(patch.envelopeDepth, -17280.0 * 0.85, 1e-9);
  Set(16, 0.0, 0, 63);
  Set(19, 7.0, -7, 7);
  EXPECT_EQ(settings.baseCutoff, 0.0);
}

TEST_F(EngineSettingsTest, DetuneIsSquareLawRounded) {
  struct Case {
    double v;
    int code;
  } cases[] = {{1.0, 0}, {6.0, 60}, {3.5, 15}, {2.5, 5}, {4.0, 22}};
  // 2.5: e = 0.3, 0.09 * 60 = 5.4 -> 5; 4.0: e = 0.6, 21.6 -> 22.
  for (const Case& c : cases) {
    Set(15, c.v, 1, 6);
    EXPECT_EQ(patch.dco2Detune, c.code) << c.v;
  }
}

TEST_F(EngineSettingsTest, WaveCodesFollowWaveformAndOctave) {
  EXPECT_EQ(Dco2WaveCode(0, 1), 5);
  EXPECT_EQ(Dco2WaveCode(2, 0), 1);
  EXPECT_EQ(Dco2WaveCode(1, 0), 2);
  EXPECT_EQ(Dco2WaveCode(1, 1), 3);
  EXPECT_EQ(Dco2WaveCode(1, 2), 4);

  Set(13, 1, 0, 2);  // "PW" text, engine: stacked-square sawtooth
  EXPECT_EQ(patch.dco2.wave, 3);
  Set(12, 2, 0, 2);  // 4': two squares
  EXPECT_EQ(patch.dco2.wave, 4);
  EXPECT_EQ(patch.dco2.octaveIndex, 2);
  Set(12, 0, 0, 2);
  EXPECT_EQ(patch.dco2.wave, 2);
  Set(13, 0, 0, 2);  // "Sawtooth" text silences DCO2
  EXPECT_EQ(patch.dco2.wave, 5);

  Set(9, 2, 0, 2);  // PWM: square code with PWM active
  EXPECT_TRUE(settings.pwmActive);
  EXPECT_EQ(patch.dco1.wave, 1);
  Set(9, 1, 0, 2);
  EXPECT_FALSE(settings.pwmActive);
  EXPECT_EQ(patch.dco1.wave, 1);
  Set(9, 0, 0, 2);
  EXPECT_EQ(patch.dco1.wave, 0);

  Set(14, 4, 0, 4);  // "5": seven semitones
  EXPECT_EQ(patch.dco2.pitchOffset, -1536 + 7 * 128);
  Set(8, 2, 0, 2);
  EXPECT_EQ(patch.dco1.pitchOffset, 1536);
}

TEST_F(EngineSettingsTest, MgDepthsAndSteps) {
  Set(32, 3.5, 0, 7);
  EXPECT_NEAR(settings.mgPitchDepth, 128.0 * 0.125, 1e-12);
  Set(33, 3.5, 0, 7);
  EXPECT_NEAR(settings.mgFilterDepth, 3968.0 * 0.25, 1e-12);
  Set(31, 1.5, 0, 3);
  EXPECT_NEAR(settings.mgDelayStep, 1.0 / 751.0, 1e-15);
  Set(30, 3.75, 0, 15);
  EXPECT_NEAR(settings.mgLfoStep, (2.0 * 0.125 * 14.7 + 0.3) / 1000.0, 1e-15);
  Set(10, 7.0, 0, 7);
  EXPECT_NEAR(settings.pulseDepth, 0.85, 1e-15);
  Set(11, 0.0, 0, 15);
  EXPECT_FALSE(settings.pwmOwnLfo);
}

TEST_F(EngineSettingsTest, EffectsLfoStepOnlyFollowsInChorusOrPhaser) {
  Set(34, 3, 0, 3);  // ensemble
  const double before = settings.effectsLfoStep;
  Set(35, 1.0, 0, 1);
  EXPECT_EQ(settings.effectsLfoStep, before);
  Set(34, 2, 0, 3);  // phaser: recomputed from the stored speed
  EXPECT_NEAR(settings.effectsLfoStep, (2.0 * 14.7 + 0.3) / 1000.0, 1e-15);
  Set(35, 0.5, 0, 1);
  EXPECT_NEAR(settings.effectsLfoStep, (2.0 * 0.25 * 14.7 + 0.3) / 1000.0, 1e-15);
  Set(36, -1.0, -1, 1);
  EXPECT_EQ(settings.phaserFeedback, -1.0);
}

TEST_F(EngineSettingsTest, VoiceLevelRowsAndReservedIndices) {
  Set(17, 3.5, 0, 7);
  Set(18, 0.25, 0, 1);
  Set(25, 1, 0, 1);  // VCA from EG1
  EXPECT_EQ(patch.keyboardTracking, 0.25);
  EXPECT_FALSE(patch.vcaUsesEg2);
  EXPECT_EQ(patch.vcf.resonance, 0.5);
  Set(20, 1, 0, 1);
  EXPECT_TRUE(patch.vcf.mode24);
  // Envelope settings reach the stage coefficients once, for every voice.
  Set(21, 15, 0, 15);
  Set(27, 0, 0, 15);
  Set(28, 7.5, 0, 15);
  EXPECT_EQ(patch.eg1.stageCoefficient[1], patch.eg1.Coefficient(1.0));
  EXPECT_EQ(patch.eg2.stageCoefficient[2], patch.eg2.Coefficient(0.0));
  EXPECT_EQ(patch.eg2.stageTarget[2], 0.5);
  const EngineSettings before = settings;
  for (int index : {44, 50, -1, 51, 1000}) settings.Apply(index, 1.0, 1.0);
  EXPECT_EQ(settings.outputLevel, before.outputLevel);
  EXPECT_EQ(settings.baseCutoff, before.baseCutoff);
}

}  // namespace
}  // namespace engine
