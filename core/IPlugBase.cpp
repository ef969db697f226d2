// Parameters, programs and channels of one plug-in instance.
#include "core/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

IPlugBase::IPlugBase(int paramCount, const char* channelIO, int programCount, const char* effectName,
                     const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId,
                     bool isInstrument, bool doesMidi)
    : params_(static_cast<std::size_t>(std::max(paramCount, 0))),
      programs_(static_cast<std::size_t>(std::max(programCount, 0))),
      versionWord_(versionWord),
      uniqueId_(uniqueId),
      isInstrument_(isInstrument),
      doesMidi_(doesMidi) {
  CopyText(effectName_, effectName, sizeof(effectName_));
  CopyText(productName_, productName, sizeof(productName_));
  CopyText(vendorName_, vendorName, sizeof(vendorName_));

  // Legal channel configurations: "%d-%d" pairs separated by one blank.
  int maxIn = 0;
  int maxOut = 0;
  for (const char* p = channelIO; p != nullptr && *p != '\0';) {
    int in = 0;
    int out = 0;
    if (std::sscanf(p, "%d-%d", &in, &out) == 2) {
      channelIO_.emplace_back(in, out);
      maxIn = std::max(maxIn, in);
      maxOut = std::max(maxOut, out);
    }
    p = std::strchr(p, ' ');
    if (p != nullptr) ++p;
  }
  inputs_.resize(static_cast<std::size_t>(maxIn));
  outputs_.resize(static_cast<std::size_t>(maxOut));
  inputPointers_.assign(inputs_.size(), nullptr);
  outputPointers_.assign(outputs_.size(), nullptr);
  for (std::size_t i = 0; i < inputs_.size(); ++i) inputs_[i].slot = &inputPointers_[i];
  for (std::size_t i = 0; i < outputs_.size(); ++i) outputs_[i].slot = &outputPointers_[i];
}

IPlugBase::~IPlugBase() { delete editor_; }

int IPlugBase::DecimalVersion() const {
  const int major = static_cast<int>(versionWord_ >> 16);
  const int minor = static_cast<int>((versionWord_ >> 8) & 0xFF);
  const int patch = static_cast<int>(versionWord_ & 0xFF);
  return major * 10000 + minor * 100 + patch;
}

bool IPlugBase::LegalIO(int inputs) const {
  return std::any_of(channelIO_.begin(), channelIO_.end(), [inputs](const auto& io) { return io.first == inputs; });
}

void IPlugBase::RenderBlock(double** inputs, double** outputs, int frames) {
  for (int c = 0; c < OutputCount(); ++c) {
    double* out = outputs[c];
    if (out == nullptr) continue;
    const double* in = c < InputCount() ? inputs[c] : nullptr;
    for (int s = 0; s < frames; ++s) out[s] = in != nullptr ? in[s] : 0.0;
  }
}

bool IPlugBase::MidiKeyName(int key, char* text) {
  if (text != nullptr) text[0] = '\0';
  return false;
}

bool IPlugBase::StateMatches(const double* values) const {
  for (int i = 0; i < ParamCount(); ++i) {
    const float current = static_cast<float>(params_[i].Value());
    if (!(std::fabs(current - values[i]) < 0.00001)) return false;
  }
  return true;
}

void IPlugBase::TransportTimeSignature(int* numerator, int* denominator) {
  *numerator = 0;
  *denominator = 0;
}

void IPlugBase::SetParamFromEditor(int index, double normalised) {
  platform::Guard guard(lock_);
  if (!ValidParam(index)) return;
  params_[index].SetNormalised(normalised);
  ReportParamValue(index, normalised);
  ParameterChanged(index);
}

float IPlugBase::HostGetParameter(int index) {
  platform::Guard guard(lock_);
  if (!ValidParam(index)) return 0.0f;
  return static_cast<float>(params_[index].Normalised());
}

void IPlugBase::HostSetParameter(int index, float normalised) {
  platform::Guard guard(lock_);
  if (!ValidParam(index) || !std::isfinite(normalised)) return;
  const double clamped = std::clamp(static_cast<double>(normalised), 0.0, 1.0);
  if (editor_ != nullptr) editor_->ShowParamValue(index, clamped, true);
  params_[index].SetNormalised(clamped);
  ParameterChanged(index);
}

void IPlugBase::ReportAllParams() {
  platform::Guard guard(lock_);
  for (int i = 0; i < ParamCount(); ++i) ReportParamValue(i, params_[i].Normalised());
}

void IPlugBase::RefreshControls() {
  if (editor_ == nullptr) return;
  for (int i = 0; i < ParamCount(); ++i) editor_->ShowParamValue(i, params_[i].Value(), false);
  editor_->ProgramChanged();
}

void IPlugBase::AttachEditor(EditorView* editor) {
  EditorView* old = nullptr;
  {
    platform::Guard guard(lock_);
    if (editor == editor_) return;
    old = editor_;
    editor_ = editor;
    if (editor_ != nullptr) {
      for (int i = 0; i < ParamCount(); ++i) editor_->ShowParamValue(i, params_[i].Normalised(), true);
    }
  }
  // The editor's own lock is never taken inside the plug-in lock (the editor takes the
  // plug-in lock inside its own when it edits), so these run outside it.
  delete old;
  if (editor != nullptr) editor->Attached();
}

void IPlugBase::ChangeBlockSize(int frames) {
  if (frames < 1 || frames == blockSize_) return;
  for (ChannelRecord& channel : inputs_) channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
  for (ChannelRecord& channel : outputs_) channel.scratch.assign(static_cast<std::size_t>(frames), 0.0);
  blockSize_ = frames;
  // Disconnected channels read and write their scratch buffers, which just moved.
  for (ChannelRecord& channel : inputs_) {
    if (!channel.connected) *channel.slot = channel.scratch.data();
  }
  for (ChannelRecord& channel : outputs_) {
    if (!channel.connected) *channel.slot = channel.scratch.data();
  }
}

void IPlugBase::SetChannelConnected(bool isInput, int index, bool connected) {
  std::vector<ChannelRecord>& list = isInput ? inputs_ : outputs_;
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  list[index].connected = connected;
  if (!connected) *list[index].slot = list[index].scratch.data();
}

// ---- Programs ---------------------------------------------------------------------------------

std::string IPlugBase::ProgramName(int index) const {
  return ValidProgram(index) ? programs_[index].name : std::string();
}

void IPlugBase::SetProgramName(int index, const std::string& name) {
  if (!ValidProgram(index)) return;
  programs_[index].name = name.substr(0, ProgramSlot::kMaxNameLength);
}

void IPlugBase::MakeDefaultPrograms() {
  for (ProgramSlot& slot : programs_) {
    if (slot.initialised) continue;
    slot.initialised = true;
    slot.name = "Empty";
    slot.state.Clear();
    WriteState(slot.state);
  }
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  Trace("IPlugBase::ModifyCurrentPreset", __LINE__, "%d", currentProgram_);
  if (!ValidProgram(currentProgram_)) return;
  ProgramSlot& slot = programs_[currentProgram_];
  slot.state.Clear();
  WriteState(slot.state);
  if (name != nullptr && name[0] != '\0') {
    slot.name.assign(name, BoundedLength(name, ProgramSlot::kMaxNameLength));
  }
}

bool IPlugBase::SelectPreset(int index) {
  if (!ValidProgram(index)) return false;
  ProgramSlot& slot = programs_[index];
  bool success;
  if (slot.initialised) {
    success = ReadState(slot.state, 0) > 0;
  } else {
    // A slot never used before takes the current sound under a fresh "user preset" name.
    const auto used = std::count_if(programs_.begin(), programs_.end(), [](const ProgramSlot& s) {
      return s.name.find("user preset") != std::string::npos;
    });
    slot.initialised = true;
    char name[64];
    std::snprintf(name, sizeof(name), "%s %d", "user preset", static_cast<int>(used) + 1);
    slot.name = name;
    slot.state.Clear();
    success = WriteState(slot.state);
  }
  if (success) {
    currentProgram_ = index;
    ProgramSwitched();
    RefreshControls();
  }
  return success;
}

int IPlugBase::ReadWholeState(const ChunkBuffer& buffer, int pos) {
  ChunkBuffer before;
  WriteState(before);
  const int next = ReadState(buffer, pos);
  if (next < 0) ReadState(before, 0);
  return next;
}

bool IPlugBase::SerializePresets(ChunkBuffer& buffer) {
  Trace("IPlugBase::SerializePresets", __LINE__, "");
  for (const ProgramSlot& slot : programs_) {
    buffer.PutText(slot.name);
    const std::uint8_t flag = slot.initialised ? 1 : 0;
    buffer.PutBytes(&flag, 1);
    if (slot.initialised) buffer.PutBytes(slot.state.Data(), slot.state.Size());
  }
  return true;
}

int IPlugBase::UnserializePresets(const ChunkBuffer& buffer, int pos) {
  Trace("IPlugBase::UnserializePresets", __LINE__, "%d", pos);
  for (int i = 0; i < ProgramCount() && pos >= 0; ++i) {
    std::string name;
    const int afterName = buffer.GetText(&name, pos, ProgramSlot::kMaxNameLength);
    std::uint8_t flag = 0;
    const int afterFlag = afterName < 0 ? -1 : buffer.GetBytes(&flag, 1, afterName);
    if (afterFlag < 0) {
      pos = -1;
      break;
    }
    // Names are C strings wherever else they go (host texts, program files, renames): a
    // stored name is cut at a zero byte, or it would change on its way back.
    if (const std::size_t zero = name.find('\0'); zero != std::string::npos) name.resize(zero);
    ProgramSlot& slot = programs_[i];
    const std::string previousName = slot.name;
    slot.name = name;
    pos = afterFlag;
    if (flag != 0) {
      pos = ReadState(buffer, pos);
      if (pos < 0) {
        // A refused or cut body ends the reading and its slot keeps its name and flag, so
        // no slot is left with another program's name over its old sound.
        slot.name = previousName;
        break;
      }
      slot.state.Clear();
      WriteState(slot.state);
    }
    slot.initialised = flag != 0;
  }
  SelectPreset(currentProgram_);
  return pos;
}

bool IPlugBase::SerializeParams(ChunkBuffer& buffer) {
  platform::Guard guard(lock_);
  Trace("IPlugBase::SerializeParams", __LINE__, "");
  for (const ParamRecord& param : params_) buffer.PutDouble(param.Value());
  return true;
}

int IPlugBase::UnserializeParams(const ChunkBuffer& buffer, int pos) {
  platform::Guard guard(lock_);
  Trace("IPlugBase::UnserializeParams", __LINE__, "%d", pos);
  for (ParamRecord& param : params_) {
    double value = 0.0;
    const int next = buffer.GetDouble(&value, pos);
    // The first missing value reads as 0 (clamped) and ends the reading.
    param.SetPlain(next < 0 ? 0.0 : value);
    pos = next;
    if (pos < 0) break;
  }
  for (int i = 0; i < ParamCount(); ++i) ParameterChanged(i);
  return pos;
}
