// The shell's construction, reset, configuration and program operations.
#include "shell/Synth.h"

#include <algorithm>

#include "core/FactoryBanks.h"
#include "core/ProgramFiles.h"
#include "resources/FactoryBanks.h"
#include "resources/Images.h"

Synth::Synth(vst::HostCallback host, int paramCount, const char* channelIO, int programCount, const char* effectName,
             const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId)
    : IPlugVST(host, paramCount, channelIO, programCount, effectName, productName, vendorName, versionWord, uniqueId,
               true, true) {
  // The trailing blanks are part of the labels hosts show.
  if (OutputCount() >= 1) Output(0).label = "Tesvar Left ";
  if (OutputCount() >= 2) Output(1).label = "Tesvar Right ";
  settings_.LocateConfiguration();
  // The creation lock is held here, so the first instance binds the tuning library once
  // for the process; later instances find it bound.
  shell::TuningBinding::EnsureBound();
  tuning_ = shell::CreateTuningClient();
  // Where the library has no resource section, the factory banks and the editor's bitmaps
  // are found through the platform's table; registering again changes nothing.
  resources::RegisterFactoryBanks();
  resources::RegisterImages();
}

Synth::~Synth() = default;

void Synth::ResetEngine() {
  platform::Guard guard(Lock());
  midiQueue_.SetCapacityForBlock(BlockSize());
  heldKeys_.Clear();
  learn_.Cancel();
  controlTick_ = std::max(static_cast<int>(SampleRate()) / 1000, 1);
}

void Synth::ParameterChanged(int index) {
  platform::Guard guard(Lock());
  if (learn_.Active() && ValidParam(index)) learn_.ParameterTouched(index, settings_.controllerMap);
}

void Synth::ActivationChanged(bool active) {
  if (!active) return;
  platform::Guard guard(Lock());
  for (int i = 0; i < ParamCount(); ++i) ParameterChanged(i);
}

// ---- Programs ---------------------------------------------------------------------------------

void Synth::SwitchProgram(int index) {
  platform::Guard guard(Lock());
  ModifyCurrentPreset(nullptr);
  SelectPreset(index);
  ReportProgramChange();
  for (int i = 0; i < ParamCount(); ++i) ReportParamValue(i, GetParam(i)->Normalised());
}

void Synth::CopyProgram() {
  platform::Guard guard(Lock());
  copySource_ = CurrentProgram();
  copyBuffer_.Clear();
  WriteState(copyBuffer_);
}

void Synth::PasteProgram() {
  platform::Guard guard(Lock());
  if (copyBuffer_.Empty()) return;
  ReadState(copyBuffer_, 0);
  // The name the source program has now; an empty name keeps the current one.
  ModifyCurrentPreset(ProgramName(copySource_).c_str());
  RefreshControls();
  for (int i = 0; i < ParamCount(); ++i) ReportParamValue(i, GetParam(i)->Normalised());
}

void Synth::LoadStartupBank() {
  platform::Guard guard(Lock());
  if (LoadBankFile(*this, settings_.startupBank)) return;
  settings_.startupBank.clear();
  const ChunkBuffer bank = LoadFactoryBankBytes(0);
  LoadBankFromMemory(*this, bank.Data(), bank.Size());
  RefreshControls();
}

// ---- Configuration ----------------------------------------------------------------------------

shell::ConfigurationStatus Synth::ReadConfiguration() {
  // The file is read into a copy without the lock (the audio thread reads the MIDI flags
  // and the map), then the copy takes the place of the settings at once.
  shell::Configuration fresh;
  {
    platform::Guard guard(Lock());
    fresh = settings_;
  }
  const shell::ConfigurationStatus status = fresh.ReadConfiguration();
  platform::Guard guard(Lock());
  settings_ = std::move(fresh);
  return status;
}

void Synth::SetMidiThru(bool on) {
  platform::Guard guard(Lock());
  settings_.midiThru = on;
}

void Synth::SetIgnoreProgramChange(bool on) {
  platform::Guard guard(Lock());
  settings_.ignoreProgramChange = on;
}

void Synth::SetControllerMapping(int controller, int parameter) {
  if (controller < 0 || controller >= shell::kMappableControllers) return;
  platform::Guard guard(Lock());
  settings_.controllerMap[controller] = parameter;
}
