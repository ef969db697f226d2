// The import's glue to the plug-in core.
#include "tape/TapeImport.h"

#include <span>

namespace tape {
namespace {

ParamLimitTable LimitsOf(const IPlugBase& plug) {
  ParamLimitTable limits{};
  for (int i = 0; i < kTapeParamCount; ++i) {
    const ParamRecord* p = plug.GetParam(i);
    limits[std::size_t(i)] = ParamLimits{p->Min(), p->Max(), p->Default()};
  }
  return limits;
}

// Stand-in for the product's InitProgram: defaults and the hardware-style name.
void InitFromRecords(IPlugBase& plug) {
  for (int i = 0; i < plug.ParamCount(); ++i) {
    ParamRecord* p = plug.GetParam(i);
    p->SetPlain(p->Default());
    plug.ParameterChanged(i);
  }
  plug.ModifyCurrentPreset(TapeProgramName(plug.CurrentProgram()).c_str());
}

}  // namespace

bool ApplyPrograms(IPlugBase& plug, const TapeData& data, const TapeImportHooks& hooks) {
  if (plug.ProgramCount() < kTapeProgramCount || plug.ParamCount() < kTapeParamCount) return false;
  const ParamLimitTable limits = LimitsOf(plug);
  const int current = plug.CurrentProgram();
  for (int i = 0; i < kTapeProgramCount; ++i) {
    platform::Guard guard(plug.Lock());
    if (!plug.SelectPreset(i)) continue;
    if (hooks.initProgram) {
      hooks.initProgram();
    } else {
      InitFromRecords(plug);
    }
    const std::span<const std::uint8_t, kTapeProgramBytes> program(data.data() + std::size_t(i) * kTapeProgramBytes,
                                                                   kTapeProgramBytes);
    const ProgramValues values = MapProgram(program, limits);
    for (const TapeField& f : kTapeFields) {
      // MapProgram clamped to the live ranges already; SetPlain clamps once more.
      plug.GetParam(f.param)->SetPlain(values[std::size_t(f.param)]);
    }
    plug.ModifyCurrentPreset(nullptr);
  }
  {
    platform::Guard guard(plug.Lock());
    plug.SelectPreset(current);
  }
  plug.ReportProgramChange();
  if (hooks.writeConfiguration) hooks.writeConfiguration();
  return true;
}

bool LoadTapeDump(IPlugBase& plug, const std::string& path, const TapeReadSettings& settings,
                  const TapeImportHooks& hooks, TapeStatus* status) {
  const TapeDecodeResult decoded = DecodeTapeFile(path, settings);
  TapeStatus result = decoded.status;
  bool applied = false;
  if (result == TapeStatus::kOk) {
    applied = ApplyPrograms(plug, decoded.data, hooks);
    if (!applied) result = TapeStatus::kTargetMismatch;
  }
  if (status != nullptr) *status = result;
  return applied;
}

}  // namespace tape
