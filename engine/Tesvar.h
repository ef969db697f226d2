// The product: the synthesizer instrument behind the shell. It declares the parameters,
// turns their values into engine quantities, keeps the chord memory and renders audio.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/ParameterTable.h"
#include "core/StateBody.h"
#include "editor/Panel.h"
#include "engine/RenderLoop.h"
#include "shell/Synth.h"
#include "tape/TapeDecoder.h"

class Tesvar;
// Builds the editor of a product (vst2/Entry.cpp passes the editor library's). Products made
// without one have no editor, and their programs link no window system.
using EditorFactory = EditorView* (*)(Tesvar& plug);

class Tesvar : public Synth {
 public:
  static constexpr std::uint32_t kUniqueId = 0x74737672;     // "tsvr"
  static constexpr std::uint32_t kVersionWord = 0x00010001;  // 1.0.1
  static constexpr int kProgramCount = 64;
  // The state body's tag; bodies with any other tag are refused.
  static constexpr char kStateTag[12] = {'T', 'e', 's', 'v', 'a', 'r', '_', '1', '.', '0', '.', '0'};
  // The chord memory holds at most this many notes; longer lists in damaged states are cut.
  static constexpr int kMaxChordNotes = 63;

  explicit Tesvar(vst::HostCallback host, EditorFactory editorFactory = nullptr);
  ~Tesvar() override;

  void ResetEngine() override;
  void ParameterChanged(int index) override;
  void RenderBlock(double** inputs, double** outputs, int frames) override;
  void AllNotesOff() override;
  void PitchBendChanged(double bend) override;
  void ModWheelChanged(double wheel) override;
  bool WriteState(ChunkBuffer& buffer) override;
  int ReadState(const ChunkBuffer& buffer, int pos) override;
  void InitProgram() override;
  // The editor's idle work (user-interface thread): the panel's browser and lit state.
  void IdleTick() override;
  // The core's refresh of the parameter controls, and the browser's at the next idle.
  void RefreshControls() override;
  // Imports the 64 programs of a tape-dump recording (WAV) with the process-wide tape-read
  // settings, then saves those settings. On false nothing has changed.
  bool LoadTapeDump(const std::string& path, tape::TapeStatus* status = nullptr);

  // The chord memory: semitone offsets, the first note at 0 when captured from the keys.
  int ChordNoteCount() const { return Engine().Chord().size; }
  int ChordNote(int i) const { return Engine().Chord().offsets[i]; }
  // Takes a chord memory (at most kMaxChordNotes offsets) and applies it to the voices,
  // under the plug-in lock (any thread).
  void SetChordMemory(const int* notes, int count);
  // The engine behind the plug-in: voices, modulation, effects.
  engine::RenderLoop& Engine() { return *engine_; }
  const engine::RenderLoop& Engine() const { return *engine_; }
  // Set when a parameter or the panel's state changed (any thread); the editor's idle work
  // takes and clears it.
  void RequestEditorRefresh() { editorRefresh_.store(true); }
  bool TakeEditorRefresh() { return editorRefresh_.exchange(false); }
  // The values of the last restored state, as read (before clamping), to tell edited
  // parameters from restored ones: the first LoadedValueCount() entries are valid. Read
  // and written under the plug-in lock.
  const std::array<double, kParamCount>& LoadedValues() const { return loadedValues_; }
  int LoadedValueCount() const { return loadedCount_; }
  // The shape of this product's state bodies, for readers that walk them unapplied.
  static BodyFormat StateFormat() { return {std::string_view(kStateTag, sizeof(kStateTag)), kParamCount}; }
  // The panel's programmer and browser (user-interface thread).
  panel::Panel& GetPanel() { return *panel_; }

 private:
  void UpdateVoicesDisplay();

  std::unique_ptr<engine::RenderLoop> engine_;
  std::array<double, kParamCount> loadedValues_{};
  int loadedCount_ = 0;
  std::atomic<bool> editorRefresh_{false};
  std::unique_ptr<panel::Panel> panel_;
};
