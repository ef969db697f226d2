// Key-assign layouts: how the pool of 64 voices is grouped into note slots and layers for
// the Poly, Chord and Unison modes, the unison detune of each layer and the stereo spread.
#pragma once

namespace engine {

inline constexpr int kVoiceCount = 64;
// A chord of 64 voices per note is the most the pool can hold: 63 offsets plus the root.
inline constexpr int kMaxChordOffsets = kVoiceCount - 1;
inline constexpr int kVoicesSettingCount = 8;

enum class KeyMode : int { kPoly = 0, kChord = 1, kUnison = 2 };

// The engine's "Mode" value to a mode; anything outside 0 ... 2 plays Poly.
KeyMode KeyModeFromIndex(int index);

// A grid of P note slots by V layers. Voice index of slot s, layer i: i*P + s, so layer 0
// of every slot occupies voices 0 ... P-1. Plain value; computed by ComputeVoiceLayout.
struct VoiceLayout {
  KeyMode mode = KeyMode::kPoly;
  int voicesSetting = 0;    // the setting in force (Chord may lower the host's value)
  int polyphony = 1;        // P
  int voicesPerNote = 1;    // V
  int total = 1;            // T = P*V, never above 64
  double unisonGain = 1.0;  // 1/sqrt(V) in Unison, else 1

  int VoiceIndex(int slot, int layer) const { return layer * polyphony + slot; }
};

// Columns of the layout table for a voices setting 0 ... 7 (clamped).
int PolyPolyphony(int setting);
int ChordPolyphony(int setting);
int UnisonPolyphony(int setting);
int UnisonVoicesPerNote(int setting);

// The arithmetic of ReconfigureVoices. chordOffsets is the chord memory length (clamped to
// 0 ... 63); in Chord mode V = chordOffsets + 1 and the setting is lowered until P*V <= 64.
// voicesSetting is the host's value, clamped to 0 ... 7; it is never changed here.
VoiceLayout ComputeVoiceLayout(KeyMode mode, int voicesSetting, int chordOffsets);

// Pitch-code detune of layer i in a unison stack of V voices (V = 1 ... 8; others give 0).
int UnisonDetune(int voicesPerNote, int layer);

// Pan position p in -1 ... 1 (beyond counts as the end) to the two channel gains: the near
// side stays at 1 and the far side falls as sqrt(1 - |p|).
void PanPositionToGains(double position, double& left, double& right);

// Per-voice channel gains, 0 at construction.
struct PanGains {
  double left[kVoiceCount] = {};
  double right[kVoiceCount] = {};
};

// Deals the stereo positions -spread ... +spread (spread 0 ... 1) over the voices in use.
// Unison: one position per layer. Poly and Chord: positions go alternately to voice 0,
// T-1, 1, T-2, ...; with an odd T the middle voice T/2 takes the last position, +spread, so
// every position is used once. T < 2 centres all 64 voices. Voices not dealt keep their
// gains.
void UpdatePanGains(const VoiceLayout& layout, double spread, PanGains& gains);

// The "Voices" parameter's text for the mode (the host's setting, not the lowered one):
// "Polyphony: %i" in Poly and Chord, "Voices: %i / Poly: %i" in Unison. Writes at most
// `size` bytes including the terminator.
void FormatVoicesText(KeyMode mode, int voicesSetting, char* text, int size);

}  // namespace engine
