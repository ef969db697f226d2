// The product class: construction, parameter reactions and the state body.
#include "engine/Tesvar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tape/TapeImport.h"

Tesvar::Tesvar(vst::HostCallback host, EditorFactory editorFactory)
    : Synth(host, kParamCount, "1-0 0-2", kProgramCount, "Tesvar", "", "Quellmark Music", kVersionWord, kUniqueId),
      engine_(std::make_unique<engine::RenderLoop>()),
      panel_(std::make_unique<panel::Panel>(*this)) {
  engine_->SetNoteServices(this);
  engine_->SetTickSource(this);
  engine_->ResetEngine(SampleRate());
  BuildParameterTable(*this);
  for (int i = 0; i < kParamCount; ++i) ParameterChanged(i);
  // Attached before the bank is loaded: the editor's controls take the declared values as
  // their first ones, and a knob's double click returns there.
  if (editorFactory != nullptr) AttachEditor(editorFactory(*this));
  LoadStartupBank();
  // From here on a new voice layout silences the notes that sound.
  engine_->FinishConstruction();
  panel_->ApplyView();
}

Tesvar::~Tesvar() {
  // The editor's controls and its panel layout use the panel: they go first.
  AttachEditor(nullptr);
  engine_->SetNoteServices(nullptr);
  engine_->SetTickSource(nullptr);
}

void Tesvar::UpdateVoicesDisplay() {
  const int mode = static_cast<int>(GetParam(kMode)->Value());
  DisplayFormatter formatter = FormatVoicesPoly;
  if (mode == 1) formatter = FormatVoicesChord;
  if (mode == 2) formatter = FormatVoicesUnison;
  GetParam(kVoices)->SetDisplayFormatter(formatter);
}

void Tesvar::ResetEngine() {
  Synth::ResetEngine();
  platform::Guard guard(Lock());
  engine_->ResetEngine(SampleRate());
}

void Tesvar::ParameterChanged(int index) {
  Synth::ParameterChanged(index);  // MIDI learn
  if (!ValidParam(index)) return;
  const ParamRecord* param = GetParam(index);
  const double v = param->Value();
  engine_->ApplyParameter(index, v, param->ToNormalised(v));
  if (index == kMode || index == kVoices) UpdateVoicesDisplay();
  RequestEditorRefresh();
}

void Tesvar::IdleTick() { panel_->Idle(); }

void Tesvar::RefreshControls() {
  Synth::RefreshControls();
  panel_->MarkBrowserStale();
}

void Tesvar::RenderBlock(double** inputs, double** outputs, int frames) { engine_->RenderBlock(outputs, frames); }

void Tesvar::AllNotesOff() { engine_->AllNotesOff(); }

void Tesvar::PitchBendChanged(double bend) {
  Synth::PitchBendChanged(bend);
  engine_->SetPitchBend(bend);
}

void Tesvar::ModWheelChanged(double wheel) {
  Synth::ModWheelChanged(wheel);
  engine_->SetModWheel(wheel);
}

void Tesvar::SetChordMemory(const int* notes, int count) {
  // The render loop reads the chord memory: it changes only between blocks.
  platform::Guard guard(Lock());
  engine_->SetChordMemory(notes, std::clamp(count, 0, kMaxChordNotes));
  engine_->ReconfigureVoices();
}

bool Tesvar::WriteState(ChunkBuffer& buffer) {
  buffer.PutBytes(kStateTag, sizeof(kStateTag));
  buffer.PutInt32(CurrentProgram());
  buffer.PutText(ProgramName(CurrentProgram()));
  for (int i = 0; i < kParamCount; ++i) buffer.PutDouble(GetParam(i)->Value());
  const engine::ChordMemory& chord = engine_->Chord();
  buffer.PutInt32(chord.size);
  for (int i = 0; i < chord.size; ++i) buffer.PutInt32(chord.offsets[i]);
  return true;
}

int Tesvar::ReadState(const ChunkBuffer& buffer, int pos) {
  char tag[sizeof(kStateTag)];
  pos = buffer.GetBytes(tag, sizeof(tag), pos);
  if (pos < 0 || std::memcmp(tag, kStateTag, sizeof(tag)) != 0) return -1;
  // The program index and name in the body are not used: names travel separately.
  std::int32_t programIndex = 0;
  pos = buffer.GetInt32(&programIndex, pos);
  // (Skipped, not copied: a MIDI program change reads states on the audio thread.)
  if (pos >= 0) pos = buffer.SkipText(pos);

  loadedCount_ = 0;
  for (int i = 0; i < kParamCount && pos >= 0; ++i) {
    double value = 0.0;
    pos = buffer.GetDouble(&value, pos);
    if (pos < 0) value = 0.0;  // the first missing value reads as 0, clamped
    loadedValues_[loadedCount_++] = value;
    GetParam(i)->SetPlain(value);
  }
  for (int i = 0; i < kParamCount; ++i) ParameterChanged(i);

  std::array<int, kMaxChordNotes> notes{};
  int count = 0;
  std::int32_t stored = 0;
  if (pos >= 0) pos = buffer.GetInt32(&stored, pos);
  // A negative count reads as empty; entries past the memory's size are skipped so the
  // position after the body stays right.
  for (std::int32_t i = 0; pos >= 0 && i < stored; ++i) {
    std::int32_t note = 0;
    pos = buffer.GetInt32(&note, pos);
    if (pos >= 0 && count < kMaxChordNotes) notes[count++] = note;
  }
  const bool hadChord = engine_->Chord().size > 0;
  engine_->SetChordMemory(notes.data(), count);
  if (count > 0 || hadChord) engine_->ReconfigureVoices();
  return pos;
}

bool Tesvar::LoadTapeDump(const std::string& path, tape::TapeStatus* status) {
  tape::TapeImportHooks hooks;
  hooks.initProgram = [this] { InitProgram(); };
  hooks.writeConfiguration = [this] { WriteConfiguration(shell::ConfigurationScope::kTapeRead); };
  return tape::LoadTapeDump(*this, path, shell::SharedTapeReadSettings(), hooks, status);
}

void Tesvar::InitProgram() {
  platform::Guard guard(Lock());
  engine_->ClearChordMemory();
  for (int i = 0; i < kParamCount; ++i) GetParam(i)->SetPlain(GetParam(i)->Default());
  for (int i = 0; i < kParamCount; ++i) ParameterChanged(i);
  char name[32];
  std::snprintf(name, sizeof(name), "Program %i-%i", CurrentProgram() / 8 + 1, CurrentProgram() % 8 + 1);
  SetProgramName(CurrentProgram(), name);
  RefreshControls();
  ReportAllParams();
}
