// The VST 2.4 adapter: effect record, dispatcher and host requests.
#include "vst2/IPlugVST.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::intptr_t VST_CALL DispatcherEntry(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt) {
  IPlugVST* plug = IPlugVST::FromEffect(effect);
  return plug != nullptr ? plug->Dispatch(opcode, index, value, ptr, opt) : 0;
}

void VST_CALL ProcessAccumulatingEntry(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
  if (IPlugVST* plug = IPlugVST::FromEffect(effect)) plug->ProcessSingle(inputs, outputs, frames, true);
}

void VST_CALL ProcessReplacingEntry(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames) {
  if (IPlugVST* plug = IPlugVST::FromEffect(effect)) plug->ProcessSingle(inputs, outputs, frames, false);
}

void VST_CALL ProcessDoubleEntry(vst::AEffect* effect, double** inputs, double** outputs, std::int32_t frames) {
  if (IPlugVST* plug = IPlugVST::FromEffect(effect)) plug->ProcessDouble(inputs, outputs, frames);
}

void VST_CALL SetParameterEntry(vst::AEffect* effect, std::int32_t index, float value) {
  if (IPlugVST* plug = IPlugVST::FromEffect(effect)) plug->HostSetParameter(index, value);
}

float VST_CALL GetParameterEntry(vst::AEffect* effect, std::int32_t index) {
  IPlugVST* plug = IPlugVST::FromEffect(effect);
  return plug != nullptr ? plug->HostGetParameter(index) : 0.0f;
}

std::int32_t ArrangementType(int channels) {
  switch (channels) {
    case 0: return vst::kSpeakerArrEmpty;
    case 1: return vst::kSpeakerArrMono;
    case 2: return vst::kSpeakerArrStereo;
    default: return vst::kSpeakerArrUserDefined;
  }
}

}  // namespace

IPlugVST::IPlugVST(vst::HostCallback host, int paramCount, const char* channelIO, int programCount,
                   const char* effectName, const char* productName, const char* vendorName, std::uint32_t versionWord,
                   std::uint32_t uniqueId, bool isInstrument, bool doesMidi)
    : IPlugBase(paramCount, channelIO, programCount, effectName, productName, vendorName, versionWord, uniqueId,
                isInstrument, doesMidi),
      host_(host) {
  effect_.magic = vst::kEffectMagic;
  effect_.dispatcher = DispatcherEntry;
  effect_.process = ProcessAccumulatingEntry;
  effect_.setParameter = SetParameterEntry;
  effect_.getParameter = GetParameterEntry;
  effect_.processReplacing = ProcessReplacingEntry;
  effect_.processDoubleReplacing = ProcessDoubleEntry;
  effect_.numPrograms = ProgramCount();
  effect_.numParams = ParamCount();
  effect_.numInputs = InputCount();
  effect_.numOutputs = OutputCount();
  effect_.flags = vst::kFlagCanReplacing | vst::kFlagProgramChunks | vst::kFlagCanDoubleReplacing;
  if (LegalIO(1)) effect_.flags |= vst::kFlagMonoCapable;
  if (isInstrument) effect_.flags |= vst::kFlagIsSynth;
  effect_.initialDelay = 0;
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.uniqueID = static_cast<std::int32_t>(uniqueId);
  effect_.version = DecimalVersion();

  for (int i = 0; i < InputCount(); ++i) SetChannelConnected(true, i, true);
  for (int i = 0; i < OutputCount(); ++i) SetChannelConnected(false, i, true);
  UpdateSpeakerArrangements();
  ChangeBlockSize(kDefaultBlockSize);
}

IPlugVST::~IPlugVST() { effect_.object = nullptr; }

IPlugVST* IPlugVST::FromEffect(vst::AEffect* effect) {
  return effect != nullptr ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void IPlugVST::UpdateSpeakerArrangements() {
  inputArrangement_ = {};
  outputArrangement_ = {};
  inputArrangement_.numChannels = InputCount();
  inputArrangement_.type = ArrangementType(InputCount());
  outputArrangement_.numChannels = OutputCount();
  outputArrangement_.type = ArrangementType(OutputCount());
}

std::intptr_t IPlugVST::CallHost(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return host_ != nullptr ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

// ---- Dispatcher -------------------------------------------------------------------------------

std::intptr_t IPlugVST::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  if (opcode == vst::effClose) {
    // The lock dies with the object, so it is not held while the object is destroyed.
    delete this;
    return 0;
  }
  // The editor's requests run without the plug-in lock: the editor takes it only where it
  // edits parameters, so a menu or dialog held open never stalls the audio thread.
  switch (opcode) {
    case vst::effEditGetRect:
    case vst::effEditOpen:
    case vst::effEditClose:
    case vst::effEditIdle:
    case vst::effIdle: return DispatchEditor(opcode, ptr);
    case vst::effVendorSpecific:
      // The host's screen scale (hosts that know their windows' scale send it before
      // asking for the editor's size): a factor in opt, 1.0 for 100 %.
      if (index == vst::kVendorScaleFactor) {
        if (Editor() == nullptr || !std::isfinite(opt) || opt <= 0.0f) return 0;
        Editor()->SetHostScale(opt);
        return 1;
      }
      break;
    default: break;
  }
  platform::Guard guard(Lock());
  switch (opcode) {
    case vst::effOpen:
      AdaptToHost();
      for (int i = 0; i < ParamCount(); ++i) ParameterChanged(i);
      return 0;
    case vst::effSetProgram:
      ModifyCurrentPreset(nullptr);
      // A number that does not fit an int would wrap onto a valid index; it selects nothing.
      SelectPreset(value >= 0 && value < ProgramCount() ? static_cast<int>(value) : -1);
      return 0;
    case vst::effGetProgram: return CurrentProgram();
    case vst::effSetProgramName:
      if (ptr != nullptr) {
        const char* text = static_cast<const char*>(ptr);
        std::string name(text, BoundedLength(text, ProgramSlot::kMaxNameLength));
        ModifyCurrentPreset(name.c_str());
        ProgramSwitched();
      }
      return 0;
    case vst::effGetProgramName:
      if (ptr != nullptr)
        CopyText(static_cast<char*>(ptr), ProgramName(CurrentProgram()).c_str(), vst::kMaxProgramNameLength);
      return 0;
    case vst::effGetParamLabel:
      if (ptr != nullptr && ValidParam(index)) GetParam(index)->GetHostLabel(static_cast<char*>(ptr));
      return 0;
    case vst::effGetParamDisplay:
      if (ptr != nullptr && ValidParam(index)) {
        GetParam(index)->GetDisplayText(GetParam(index)->Value(), false, static_cast<char*>(ptr), true);
      }
      return 0;
    case vst::effGetParamName:
      if (ptr != nullptr && ValidParam(index))
        CopyText(static_cast<char*>(ptr), GetParam(index)->Name(), kParamTextSize);
      return 0;
    case vst::effSetSampleRate: {
      const double rate = opt;
      if (!std::isfinite(rate) || rate < kMinSampleRate || rate > kMaxSampleRate) return 0;
      ChangeSampleRate(rate);
      ResetEngine();
      return 0;
    }
    case vst::effSetBlockSize:
      if (value < 1 || value > (1 << 20)) return 0;
      ChangeBlockSize(static_cast<int>(value));
      ResetEngine();
      return 0;
    case vst::effMainsChanged:
      if (value != 0) {
        midiAsked_ = false;  // the next process call asks the host for MIDI again
        ActivationChanged(true);
      } else {
        ActivationChanged(false);
        ResetEngine();
      }
      return 0;
    case vst::effIdentify: return 0x4E764566;  // 'NvEf'
    case vst::effGetChunk: {
      const bool bank = index == 0 && !HostWantsProgramChunks();
      return GetChunk(bank, static_cast<void**>(ptr));
    }
    case vst::effSetChunk: {
      const bool bank = index == 0 && !HostWantsProgramChunks();
      return SetChunk(bank, ptr, value);
    }
    case vst::effProcessEvents:
      if (ptr == nullptr) return 0;
      ProcessEvents(static_cast<const vst::VstEvents*>(ptr));
      return 1;
    case vst::effCanBeAutomated: return 1;
    case vst::effString2Parameter: return StringToParameter(index, static_cast<const char*>(ptr));
    case vst::effGetProgramNameIndexed: {
      if (ptr == nullptr) return 0;
      const std::string name = ProgramName(index);
      CopyText(static_cast<char*>(ptr), name.c_str(), vst::kMaxProgramNameLength);
      return name.empty() ? 0 : 1;
    }
    case vst::effGetInputProperties: return PinProperties(true, index, static_cast<vst::VstPinProperties*>(ptr));
    case vst::effGetOutputProperties: return PinProperties(false, index, static_cast<vst::VstPinProperties*>(ptr));
    case vst::effGetPlugCategory: return IsInstrument() ? vst::kPlugCategorySynth : vst::kPlugCategoryEffect;
    case vst::effSetSpeakerArrangement:
      SetSpeakerArrangement(reinterpret_cast<const vst::VstSpeakerArrangement*>(value), true);
      SetSpeakerArrangement(static_cast<const vst::VstSpeakerArrangement*>(ptr), false);
      return 1;
    case vst::effGetEffectName:
      if (ptr == nullptr) return 0;
      CopyText(static_cast<char*>(ptr), EffectName(), vst::kMaxEffectNameLength);
      return 1;
    case vst::effGetVendorString:
      if (ptr == nullptr) return 0;
      CopyText(static_cast<char*>(ptr), VendorName(), vst::kMaxVendorStringLength);
      return 1;
    case vst::effGetProductString:
      if (ptr == nullptr) return 0;
      CopyText(static_cast<char*>(ptr), ProductName(), vst::kMaxVendorStringLength);
      return 1;
    case vst::effGetVendorVersion: return DecimalVersion();
    case vst::effVendorSpecific:
      if (index == 7 && ptr != nullptr) {
        if (ValidParam(static_cast<int>(value)) && value == static_cast<int>(value)) {
          const double normalised = std::isfinite(opt) ? std::clamp(static_cast<double>(opt), 0.0, 1.0) : 0.0;
          GetParam(static_cast<int>(value))->GetDisplayText(normalised, true, static_cast<char*>(ptr), true);
        }
        return 0xBEEF;
      }
      if (index == 8 && value >= 0 && value < ParamCount()) {
        return GetParam(static_cast<int>(value))->Kind() != ParamKind::kContinuous ? 0xBEEF : 0;
      }
      return 0;
    case vst::effCanDo: return CanDo(static_cast<const char*>(ptr));
    case vst::effGetTailSize: return TailSize();
    case vst::effGetVstVersion: return 2400;
    case vst::effGetMidiKeyName:
      if (ptr != nullptr) {
        // The key-name record: a this-program int, the key number, then the name text.
        struct KeyName {
          std::int32_t program;
          std::int32_t key;
          char name[64];
        };
        auto* keyName = static_cast<KeyName*>(ptr);
        keyName->name[0] = '\0';
        MidiKeyName(keyName->key, keyName->name);
      }
      return 0;
    case vst::effGetSpeakerArrangement:
      if (value != 0) *reinterpret_cast<vst::VstSpeakerArrangement**>(value) = &inputArrangement_;
      if (ptr != nullptr) *static_cast<vst::VstSpeakerArrangement**>(ptr) = &outputArrangement_;
      return 1;
    default: return 0;
  }
}

std::intptr_t IPlugVST::CanDo(const char* text) {
  if (text == nullptr) return 0;
  const std::string query(text, BoundedLength(text, 256));
  if (query == "receiveVstTimeInfo") return 1;
  if (DoesMidi() && (query == "sendVstEvents" || query == "sendVstMidiEvent" || query == "receiveVstEvents" ||
                     query == "receiveVstMidiEvent")) {
    return 1;
  }
  if (query == "hasCockosExtensions") {
    hostExtensions_ |= 1u << 1;
    return static_cast<std::intptr_t>(0xBEEF0000u);
  }
  if (query == "hasCockosViewAsConfig") {
    hostExtensions_ |= 1u << 2;
    return static_cast<std::intptr_t>(0xBEEF0000u);
  }
  return 0;
}

std::intptr_t IPlugVST::PinProperties(bool input, int index, vst::VstPinProperties* out) {
  const int count = input ? InputCount() : OutputCount();
  if (out == nullptr || index < 0 || index >= count) return 0;
  std::memset(out, 0, sizeof(*out));
  out->flags = vst::kPinIsActive;
  // An even channel that is not the last opens a stereo pair.
  if (index % 2 == 0 && index < count - 1) out->flags |= vst::kPinIsStereo;
  const std::string& label = input ? Input(index).label : Output(index).label;
  if (!label.empty()) {
    CopyText(out->label, label.c_str(), sizeof(out->label));
  } else {
    std::snprintf(out->label, sizeof(out->label), input ? "Input %d" : "Output %d", index + 1);
  }
  return 1;
}

void IPlugVST::SetSpeakerArrangement(const vst::VstSpeakerArrangement* arrangement, bool input) {
  if (arrangement == nullptr) return;
  const int count = input ? InputCount() : OutputCount();
  const int n = std::max(arrangement->numChannels, 0);
  for (int i = 0; i < count; ++i) SetChannelConnected(input, i, i < n);
}

std::intptr_t IPlugVST::StringToParameter(int index, const char* text) {
  if (!ValidParam(index)) return 0;
  if (text == nullptr) return 1;
  ParamRecord* param = GetParam(index);
  const std::string bounded(text, BoundedLength(text, 256));
  double value;
  if (param->DisplayTexts().empty()) {
    value = std::strtod(bounded.c_str(), nullptr);
    if (param->NegateDisplay()) value = -value;
  } else {
    const ParamRecord::DisplayText* entry = param->FindDisplayText(bounded.c_str());
    if (entry == nullptr) return 0;
    value = entry->value;
  }
  if (!std::isfinite(value)) return 1;  // nothing to store; the value stays
  if (Editor() != nullptr) Editor()->ShowParamValue(index, value, false);
  param->SetPlain(value);
  ParameterChanged(index);
  return 1;
}
