// Key-assign layout tables, unison detune and stereo spread.
#include "engine/VoiceLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace engine {
namespace {

constexpr int kPolyP[kVoicesSettingCount] = {1, 2, 6, 8, 16, 24, 32, 64};
constexpr int kChordP[kVoicesSettingCount] = {1, 1, 1, 2, 6, 12, 16, 32};
constexpr int kUnisonV[kVoicesSettingCount] = {8, 8, 6, 6, 4, 4, 2, 2};
constexpr int kUnisonP[kVoicesSettingCount] = {1, 8, 1, 10, 1, 16, 1, 32};

// Detune triangle, row V-1 holds the V layers of a stack. Odd rows are never used by
// Unison (V is always even there) but complete the table.
constexpr int kDetune[8][8] = {
    {0},
    {-8, 8},
    {-8, 0, 8},
    {-8, -4, 4, 8},
    {-8, -4, 0, 4, 8},
    {-10, -6, -3, 3, 6, 10},
    {-10, -6, -3, 0, 3, 6, 10},
    {-12, -8, -4, -2, 2, 4, 8, 12},
};

int ClampSetting(int setting) { return std::clamp(setting, 0, kVoicesSettingCount - 1); }

}  // namespace

KeyMode KeyModeFromIndex(int index) {
  if (index == 1) return KeyMode::kChord;
  if (index == 2) return KeyMode::kUnison;
  return KeyMode::kPoly;
}

int PolyPolyphony(int setting) { return kPolyP[ClampSetting(setting)]; }
int ChordPolyphony(int setting) { return kChordP[ClampSetting(setting)]; }
int UnisonPolyphony(int setting) { return kUnisonP[ClampSetting(setting)]; }
int UnisonVoicesPerNote(int setting) { return kUnisonV[ClampSetting(setting)]; }

VoiceLayout ComputeVoiceLayout(KeyMode mode, int voicesSetting, int chordOffsets) {
  VoiceLayout layout;
  layout.mode = mode;
  int setting = ClampSetting(voicesSetting);
  switch (mode) {
    case KeyMode::kUnison:
      layout.voicesPerNote = kUnisonV[setting];
      layout.polyphony = kUnisonP[setting];
      layout.unisonGain = 1.0 / std::sqrt(static_cast<double>(layout.voicesPerNote));
      break;
    case KeyMode::kChord:
      // Every note of the chord needs a voice of its own: with a large chord the grid must
      // give up note slots, so the setting drops until the grid fits the pool. Settings
      // 0 ... 2 have one slot, and 63 offsets fit one slot.
      layout.voicesPerNote = std::clamp(chordOffsets, 0, kMaxChordOffsets) + 1;
      layout.polyphony = kChordP[setting];
      while (layout.polyphony > 1 && layout.polyphony * layout.voicesPerNote > kVoiceCount) {
        --setting;
        layout.polyphony = kChordP[setting];
      }
      break;
    case KeyMode::kPoly:
      layout.polyphony = kPolyP[setting];
      layout.voicesPerNote = 1;
      break;
  }
  layout.voicesSetting = setting;
  layout.total = layout.polyphony * layout.voicesPerNote;
  return layout;
}

int UnisonDetune(int voicesPerNote, int layer) {
  if (voicesPerNote < 1 || voicesPerNote > 8 || layer < 0 || layer >= voicesPerNote) return 0;
  return kDetune[voicesPerNote - 1][layer];
}

void PanPositionToGains(double position, double& left, double& right) {
  const double p = std::clamp(position, -1.0, 1.0);
  if (p < 0.0) {
    left = 1.0;
    right = std::sqrt(1.0 + p);
  } else {
    left = std::sqrt(1.0 - p);
    right = 1.0;
  }
}

void UpdatePanGains(const VoiceLayout& layout, double spread, PanGains& gains) {
  const int count = std::clamp(layout.total, 0, kVoiceCount);
  if (layout.mode == KeyMode::kUnison) {
    const int v = layout.voicesPerNote;
    const double step = v > 1 ? 2.0 * spread / (v - 1) : 0.0;
    for (int layer = 0; layer < v; ++layer) {
      double left = 1.0;
      double right = 1.0;
      PanPositionToGains(-spread + layer * step, left, right);
      for (int slot = 0; slot < layout.polyphony; ++slot) {
        const int voice = layout.VoiceIndex(slot, layer);
        if (voice >= kVoiceCount) continue;
        gains.left[voice] = left;
        gains.right[voice] = right;
      }
    }
    return;
  }
  if (count < 2) {
    std::fill(gains.left, gains.left + kVoiceCount, 1.0);
    std::fill(gains.right, gains.right + kVoiceCount, 1.0);
    return;
  }
  // Dealing from both ends spreads neighbouring note slots (and chord layers) apart.
  const double step = 2.0 * spread / (count - 1);
  int k = 0;
  for (int pair = 0; pair < count / 2; ++pair) {
    PanPositionToGains(-spread + k++ * step, gains.left[pair], gains.right[pair]);
    const int mirror = count - 1 - pair;
    PanPositionToGains(-spread + k++ * step, gains.left[mirror], gains.right[mirror]);
  }
  if (count % 2 == 1) {
    PanPositionToGains(-spread + k * step, gains.left[count / 2], gains.right[count / 2]);
  }
}

void FormatVoicesText(KeyMode mode, int voicesSetting, char* text, int size) {
  if (text == nullptr || size <= 0) return;
  const int setting = ClampSetting(voicesSetting);
  const auto n = static_cast<std::size_t>(size);
  switch (mode) {
    case KeyMode::kUnison: std::snprintf(text, n, "Voices: %i / Poly: %i", kUnisonV[setting], kUnisonP[setting]); break;
    case KeyMode::kChord: std::snprintf(text, n, "Polyphony: %i", kChordP[setting]); break;
    case KeyMode::kPoly: std::snprintf(text, n, "Polyphony: %i", kPolyP[setting]); break;
  }
}

}  // namespace engine
