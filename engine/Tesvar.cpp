// The product class: construction, parameter reactions and the state body.
#include "engine/Tesvar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

Tesvar::Tesvar(vst::HostCallback host)
    : Synth(host, kParamCount, "1-0 0-2", kProgramCount, "Tesvar", "", "Quellmark Music", kVersionWord, kUniqueId) {
  BuildParameterTable(*this);
  LoadStartupBank();
}

Tesvar::~Tesvar() = default;

void Tesvar::UpdateVoicesDisplay() {
  const int mode = static_cast<int>(GetParam(kMode)->Value());
  DisplayFormatter formatter = FormatVoicesPoly;
  if (mode == 1) formatter = FormatVoicesChord;
  if (mode == 2) formatter = FormatVoicesUnison;
  GetParam(kVoices)->SetDisplayFormatter(formatter);
}

void Tesvar::ParameterChanged(int index) {
  Synth::ParameterChanged(index);  // MIDI learn
  if (!ValidParam(index)) return;
  if (index == kMode) UpdateVoicesDisplay();
}

void Tesvar::RenderBlock(double** inputs, double** outputs, int frames) {
  for (int c = 0; c < OutputCount(); ++c) {
    if (outputs[c] != nullptr) std::fill(outputs[c], outputs[c] + frames, 0.0);
  }
}

void Tesvar::SetChordMemory(const int* notes, int count) {
  chordCount_ = std::clamp(count, 0, kMaxChordNotes);
  std::copy(notes, notes + chordCount_, chordNotes_.begin());
}

bool Tesvar::WriteState(ChunkBuffer& buffer) {
  buffer.PutBytes(kStateTag, sizeof(kStateTag));
  buffer.PutInt32(CurrentProgram());
  buffer.PutText(ProgramName(CurrentProgram()));
  for (int i = 0; i < kParamCount; ++i) buffer.PutDouble(GetParam(i)->Value());
  buffer.PutInt32(chordCount_);
  for (int i = 0; i < chordCount_; ++i) buffer.PutInt32(chordNotes_[i]);
  return true;
}

int Tesvar::ReadState(const ChunkBuffer& buffer, int pos) {
  char tag[sizeof(kStateTag)];
  pos = buffer.GetBytes(tag, sizeof(tag), pos);
  if (pos < 0 || std::memcmp(tag, kStateTag, sizeof(tag)) != 0) return -1;
  // The program index and name in the body are not used: names travel separately.
  std::int32_t programIndex = 0;
  pos = buffer.GetInt32(&programIndex, pos);
  std::string ignoredName;
  if (pos >= 0) pos = buffer.GetText(&ignoredName, pos);

  loadedCount_ = 0;
  for (int i = 0; i < kParamCount && pos >= 0; ++i) {
    double value = 0.0;
    pos = buffer.GetDouble(&value, pos);
    if (pos < 0) value = 0.0;  // the first missing value reads as 0, clamped
    loadedValues_[loadedCount_++] = value;
    GetParam(i)->SetPlain(value);
  }
  for (int i = 0; i < kParamCount; ++i) ParameterChanged(i);

  chordCount_ = 0;
  std::int32_t count = 0;
  if (pos >= 0) pos = buffer.GetInt32(&count, pos);
  // A negative count reads as empty; entries past the memory's size are skipped so the
  // position after the body stays right.
  for (std::int32_t i = 0; pos >= 0 && i < count; ++i) {
    std::int32_t note = 0;
    pos = buffer.GetInt32(&note, pos);
    if (pos >= 0 && chordCount_ < kMaxChordNotes) chordNotes_[chordCount_++] = note;
  }
  return pos;
}

void Tesvar::InitProgram() {
  platform::Guard guard(Lock());
  chordCount_ = 0;
  for (int i = 0; i < kParamCount; ++i) GetParam(i)->SetPlain(GetParam(i)->Default());
  for (int i = 0; i < kParamCount; ++i) ParameterChanged(i);
  char name[32];
  std::snprintf(name, sizeof(name), "Program %i-%i", CurrentProgram() / 8 + 1, CurrentProgram() % 8 + 1);
  SetProgramName(CurrentProgram(), name);
  RefreshControls();
  ReportAllParams();
}
