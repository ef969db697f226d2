// The shell's construction and program switching.
#include "shell/Synth.h"

Synth::Synth(vst::HostCallback host, int paramCount, const char* channelIO, int programCount, const char* effectName,
             const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId)
    : IPlugVST(host, paramCount, channelIO, programCount, effectName, productName, vendorName, versionWord, uniqueId,
               true, true) {
  // The trailing blanks are part of the labels hosts show.
  if (OutputCount() >= 1) Output(0).label = "Tesvar Left ";
  if (OutputCount() >= 2) Output(1).label = "Tesvar Right ";
}

Synth::~Synth() = default;

void Synth::SwitchProgram(int index) {
  platform::Guard guard(Lock());
  ModifyCurrentPreset(nullptr);
  SelectPreset(index);
  ReportProgramChange();
  for (int i = 0; i < ParamCount(); ++i) ReportParamValue(i, GetParam(i)->Normalised());
}
