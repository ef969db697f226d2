// The parameter table and the special display texts.
#include "engine/ParameterTable.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/IPlugBase.h"
#include "engine/VoiceLayout.h"
#include "resources/ParameterInfo.h"

namespace {

int VoicesIndex(double value) {
  const double clamped = std::isfinite(value) ? std::fmin(std::fmax(value, 0.0), 7.0) : 0.0;
  return static_cast<int>(clamped);
}

}  // namespace

void FormatVolume(double value, char* text) {
  if (value <= 0.0) {
    std::snprintf(text, kParamTextSize, "-oo");
  } else {
    std::snprintf(text, kParamTextSize, "%.1f", 20.0 * std::log10(value));
  }
}

void FormatTune(double value, char* text) { std::snprintf(text, kParamTextSize, "%.0f", 50.0 * value); }

void FormatVoicesPoly(double value, char* text) {
  engine::FormatVoicesText(engine::KeyMode::kPoly, VoicesIndex(value), text, kParamTextSize);
}

void FormatVoicesChord(double value, char* text) {
  engine::FormatVoicesText(engine::KeyMode::kChord, VoicesIndex(value), text, kParamTextSize);
}

void FormatVoicesUnison(double value, char* text) {
  engine::FormatVoicesText(engine::KeyMode::kUnison, VoicesIndex(value), text, kParamTextSize);
}

void DeclareParameter(ParamRecord& param, int index) {
  const resources::ParameterInfo& info = resources::kParameterInfo[index];
  const std::string name(info.name);
  switch (info.kind) {
    case resources::ParamKind::Integer:
      param.InitInteger(name.c_str(), info.defaultValue, info.minValue, info.maxValue);
      break;
    case resources::ParamKind::List:
      param.InitList(name.c_str(), info.defaultValue, static_cast<int>(info.listTexts.size()), info.listTexts.data());
      break;
    case resources::ParamKind::Continuous:
      param.InitContinuous(name.c_str(), info.defaultValue, info.minValue, info.maxValue, info.step, info.shape);
      break;
  }
  if (index == kVolume) param.SetDisplayFormatter(FormatVolume);
  if (index == kTune) param.SetDisplayFormatter(FormatTune);
  if (index == kVoices) param.SetDisplayFormatter(FormatVoicesPoly);
}

void BuildParameterTable(IPlugBase& plug) {
  static_assert(resources::kParameterCount == kParamCount);
  for (int i = 0; i < kParamCount; ++i) DeclareParameter(*plug.GetParam(i), i);
}
