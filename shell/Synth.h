// The maker's shell between the VST2 adapter and the product: what its instruments share
// (configuration, MIDI settings and queue, MIDI learn, held keys, the tuning client, copy
// and paste, program switching).
#pragma once

#include <memory>
#include <string>

#include "engine/NoteServices.h"
#include "engine/TickSource.h"
#include "shell/Configuration.h"
#include "shell/MidiLearn.h"
#include "shell/MidiQueue.h"
#include "shell/TuningClient.h"
#include "vst2/IPlugVST.h"

class Synth : public IPlugVST, public engine::TickSource, public engine::NoteServices {
 public:
  // Construction runs on the thread that creates the instance, under the process-wide
  // creation lock: it locates and reads (or creates) the configuration file, binds the
  // tuning library on the first instance and registers this instance's tuning client.
  Synth(vst::HostCallback host, int paramCount, const char* channelIO, int programCount, const char* effectName,
        const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId);
  ~Synth() override;

  // ---- Hooks --------------------------------------------------------------------------------
  // Under the lock: the MIDI queue is sized for the block and loses its note ons, held keys
  // are emptied, learn is cancelled and the control tick recomputed. Products call this
  // first from their own.
  void ResetEngine() override;
  // Only the learn step; products call this first from their own handler.
  void ParameterChanged(int index) override;
  // Switching on re-derives the engine from every parameter, under the lock.
  void ActivationChanged(bool active) override;
  void AllNotesOff() override {}

  // ---- Programs (user-interface thread; each takes the lock) --------------------------------
  // Stores the current values into the current program, then switches to index and tells
  // the host the program and every parameter.
  virtual void SwitchProgram(int index);
  // Resets the current program; the product fills in what that means.
  virtual void InitProgram() {}
  // Keeps the current parameter state (and where it came from) in the copy buffer.
  void CopyProgram();
  // Applies the copy buffer to the current program under the name its source program has
  // now, and tells the host every parameter. Nothing happens before the first copy.
  void PasteProgram();
  bool HasCopiedProgram() const { return !copyBuffer_.Empty(); }
  // The product's constructor: the startup bank, or factory bank 0 when there is none or
  // it cannot be loaded (the startup bank is then forgotten in memory, not in the file).
  void LoadStartupBank();

  // ---- Configuration (user-interface thread) ------------------------------------------------
  const shell::Configuration& Settings() const { return settings_; }
  // Reads the file again; the new settings replace the old ones under the lock, so the
  // audio thread never sees a half-read controller map.
  shell::ConfigurationStatus ReadConfiguration();
  void WriteConfiguration(int scope) { settings_.WriteConfiguration(scope); }
  void WriteStartupBank() { settings_.WriteStartupBank(); }
  void SetStartupBank(const std::string& path) { settings_.SetStartupBank(path); }
  void ClearStartupBank() { settings_.ClearStartupBank(); }
  void WriteProgramFilesPath(const std::string& folder) { settings_.WriteProgramFilesPath(folder); }
  // In memory only, for the rest of the session (the panel's FILE folder).
  void SetProgramFilesPath(const std::string& folder) { settings_.programFilesPath = folder; }
  // Flags and map entries the audio thread reads change under the lock.
  void SetMidiThru(bool on);
  void SetIgnoreProgramChange(bool on);
  void SetShowParameters(bool on) { settings_.showParameters = on; }
  void SetOpenAltView(bool on) { settings_.openAltView = on; }
  void SetZoom(const std::string& zoom) { settings_.zoom = zoom; }
  void SetControllerMapping(int controller, int parameter);

  // ---- MIDI ---------------------------------------------------------------------------------
  // One incoming message, before the block it belongs to (dispatcher, under the lock).
  void HandleMidi(const MidiMessage& message) override;
  // The render loop's drain at each control tick, and the end of its block (TickSource).
  void DispatchQueuedMidi(int tickStart, int tickEnd, engine::VoiceEventQueue& events) override;
  void EndBlock(int frames) override;
  // The editor's learn button (user-interface thread; takes the lock).
  void ToggleLearn(bool forget);
  shell::LearnMode LearnState();
  const shell::MidiQueue& QueuedMidi() const { return midiQueue_; }
  // Samples per control tick: the integer part of the sample rate / 1000.
  int ControlTick() const { return controlTick_; }
  // Engine values moved by the MIDI drain (audio thread): pitch bend -1 ... 8191/8192
  // and modulation wheel 0 ... 1. The shell only keeps them; the product overrides these
  // to hand them to its engine, which owns them (and clears them on a rate change).
  virtual void PitchBendChanged(double bend) { pitchBend_ = bend; }
  virtual void ModWheelChanged(double wheel) { modWheel_ = wheel; }
  double PitchBendValue() const { return pitchBend_; }
  double ModWheelValue() const { return modWheel_; }

  // ---- Notes (render loop, audio thread; no allocation, no lock) -----------------------------
  bool ShouldFilterNote(int note) override;
  int PitchCodeForNote(int note) override;
  void SetHeldKey(int note, int velocity) override { heldKeys_.Set(note, velocity); }
  int HeldKeyCount() const override { return heldKeys_.Count(); }
  int HighestHeldKey() const override { return heldKeys_.Highest(); }
  void ClearHeldKeys() override { heldKeys_.Clear(); }
  int HeldVelocity(int note) const { return heldKeys_.Velocity(note); }

 private:
  void ApplyController(int controller, int value);

  shell::MidiQueue midiQueue_;
  std::unique_ptr<shell::TuningClient> tuning_;
  ChunkBuffer copyBuffer_;
  int copySource_ = -1;
  int controlTick_ = 44;
  shell::Configuration settings_;
  shell::MidiLearn learn_;
  engine::HeldKeys heldKeys_;
  double pitchBend_ = 0.0;
  double modWheel_ = 0.0;
};
