// The render loop: control ticks, voice events at their samples, the voice mix, the
// selected effect and the output gain, with the voices and effects it drives.
#pragma once

#include <span>

#include "engine/ControlClock.h"
#include "engine/Effects.h"
#include "engine/EngineSettings.h"
#include "engine/Modulation.h"
#include "engine/NoteServices.h"
#include "engine/SoundingVoices.h"
#include "engine/TickSource.h"
#include "engine/VoiceAllocator.h"
#include "engine/VoiceEventQueue.h"
#include "engine/VoiceKernel.h"
#include "engine/VoiceLayout.h"
#include "engine/VoicePool.h"

namespace engine {

// Owned by the product, one per instance (large: allocate it on the heap). Threads:
// RenderBlock on the audio thread; everything else on the dispatcher or user-interface
// thread under the plug-in lock, which the audio thread also holds while rendering, so
// the two never overlap. Nothing here allocates after construction except ResetEngine
// (the effect delays take memory for a new sample rate).
//
// The sounding voices live in the voice path's packs from the span they start sounding in
// until something outside the packs must read or change them: a voice event, all notes off,
// a reset, a new grid, a state read (GetVoice), or one of them falling silent. Control ticks
// and parameter changes reach the packs where they are.
class RenderLoop {
 public:
  RenderLoop();
  RenderLoop(const RenderLoop&) = delete;
  RenderLoop& operator=(const RenderLoop&) = delete;

  // The shell's services. Null restores the built-in stand-ins (equal temperament, its own
  // held-key map; no MIDI). The objects must outlive the render loop or be replaced first.
  void SetNoteServices(NoteServices* notes);
  void SetTickSource(TickSource* source);

  // Construction is over: from now on ReconfigureVoices silences sounding notes.
  void FinishConstruction() { constructed_ = true; }

  // Engine part of the reset (after the shell's own): a new tick starts with the next
  // block; if the rate differs from the stored one, all voices fall silent and the rate
  // is taken (tick length, bend and wheel 0, note counter 0, effects re-initialised, MG
  // delay fully on). Rates outside 1000 ... 1e6 Hz, or not numbers, change nothing and
  // answer false.
  bool ResetEngine(double sampleRate);
  double SampleRate() const { return sampleRate_; }

  // The voice and effect path: the processor's best at construction, or the one named by
  // the environment variable TESVAR_VOICE_PATH ("scalar", "sse2", "avx2", "avx512"; for comparing
  // them). All paths give the same samples; a path the processor lacks falls back to the
  // best below it.
  void SetVoicePath(VoicePath path);
  VoicePath GetVoicePath() const { return path_; }

  // Parameter change (index 0 ... 50, plain v, normalised e) through EngineSettings, then
  // the voice layout, pan gains or output gain as the change requires.
  void ApplyParameter(int index, double v, double e);
  EngineSettings& Settings() { return settings_; }
  const EngineSettings& Settings() const { return settings_; }

  // New voice grid from mode, the "Voices" value and chord memory; Chord mode may lower the
  // engine's voices setting (Settings().voicesSetting), never the host's parameter, and
  // the next grid starts from the parameter again.
  void ReconfigureVoices();
  void UpdatePanGains();
  void UpdateOutputGain() { outputGain_ = settings_.outputLevel * layout_.unisonGain; }

  // The host's process call: outputs[0] and [1] receive `frames` samples (every one written).
  // Inputs are ignored. Null outputs render nothing but keep time.
  void RenderBlock(double** outputs, int frames);

  // Controllers 120/123 and voice reconfiguration: held keys, pending voice events and
  // the sustain/hold flag cleared, every voice released.
  void AllNotesOff();
  // Sustain pedal (from the voice events) and the panel's HOLD share one flag.
  void SetHold(bool on) {
    ReleasePacks();
    allocator_.SetSustain(on);
  }
  bool Hold() const { return allocator_.Sustain(); }

  // Chord memory: captured from the held voices (answers false, memory kept, when none is
  // held), restored from a state (at most 63 offsets kept, each limited to 0 ... 127).
  // The caller reconfigures afterwards (setting "Mode" to Chord does it).
  bool CaptureChord() { return allocator_.CaptureChord(); }  // notes and held flags: never in the packs
  void SetChordMemory(const int* offsets, int count) { allocator_.SetChordMemory(offsets, count); }
  void ClearChordMemory() { allocator_.ClearChordMemory(); }
  const ChordMemory& Chord() const { return allocator_.Chord(); }

  // MIDI continuous values from the shell's dispatch: bend -1 ... 1, wheel 0 ... 1. They
  // are read at the next control tick.
  void SetPitchBend(double bend) { bend_ = bend; }
  void SetModWheel(double wheel) { wheel_ = wheel; }
  double PitchBend() const { return bend_; }

  // The voices, their state brought up to date (the packs keep running).
  std::span<const Voice> Voices() {
    SavePacks();
    return pool_.All();
  }
  const VoicePatch& Patch() const { return settings_.patch; }
  const Voice& GetVoice(int index) {
    SavePacks();
    return pool_[index];
  }
  const VoiceLayout& Layout() const { return layout_; }
  const PanGains& Gains() const { return pan_; }
  double OutputGain() const { return outputGain_; }
  const Modulation& GetModulation() const { return modulation_; }
  const ControlClock& Clock() const { return clock_; }
  const VoiceAllocator& Allocator() const { return allocator_; }
  int PendingEvents() const { return events_.Size(); }

 private:
  // The control clock's client operations (ControlClock::RunBlock calls them).
  friend class ControlClock;
  void TakeMessages(int tickStart, int tickEnd);
  void ControlTick();
  void FireEvent(const VoiceEvent& event);
  void Render(int start, int count);
  void EndBlock(int frames);

  // Stand-ins while the shell has not attached its own.
  class NoMidi final : public TickSource {
   public:
    void DispatchQueuedMidi(int, int, VoiceEventQueue&) override {}
    void EndBlock(int) override {}
  };

  void NoteOn(int note, int velocity);
  void NoteOff(int note);
  // The voice mix of samples start ... start+count-1 into the outputs; false when no voice
  // sounds (the samples are then +0.0).
  bool MixVoices(double* left, double* right, int count);
  // The sounding set from the pool's active voices and the grid (packs released first
  // when it changes).
  void UpdateSounding();
  // The packs loaded for the sounding voices if they are not, and a changed patch brought
  // into them.
  void MakePacksLive();
  // The packs' state written back to the voices; the packs keep running.
  void SavePacks();
  // Written back and let go: before anything changes a voice or the sounding set.
  void ReleasePacks();

  EngineSettings settings_;
  Modulation modulation_;
  Effects effects_;
  EqualTemperedNotes defaultNotes_;
  NoMidi noMidi_;
  NoteServices* notes_ = &defaultNotes_;
  TickSource* source_ = &noMidi_;
  VoicePool pool_{defaultNotes_, modulation_.Values(), settings_.patch};
  VoiceAllocator allocator_{pool_};
  VoiceLayout layout_;
  PanGains pan_;
  VoiceEventQueue events_;
  ControlClock clock_;
  double sampleRate_ = -1.0;  // the first reset always runs
  double outputGain_ = 0.0;
  double bend_ = 0.0;
  double wheel_ = 0.0;
  bool constructed_ = false;
  double* outLeft_ = nullptr;  // the block being rendered
  double* outRight_ = nullptr;
  VoicePath path_ = VoicePath::kScalar;
  VoiceKernel kernel_;
  SoundingVoices sounding_;
  // The packs hold the sounding voices' state (the voices' own copies may be behind).
  bool packsLive_ = false;
  // The patch changed since the packs took it.
  bool patchChanged_ = false;
  VoicePackJob job_;
  alignas(kLivePackAlign) unsigned char packs_[kLivePackBytes];
  // The voices' samples of one piece of a span, by group.
  alignas(32) double mixScratch_[kMixScratch] = {};
};

}  // namespace engine
