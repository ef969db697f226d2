#include "editor/framework/TextEntry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/ParamRecord.h"

bool TextEntry::Accepts(Filter filter, unsigned int c) {
  if (c == '\b' || filter == Filter::kAny) return true;
  if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return true;
  return filter == Filter::kDecimal && c == '.';
}

TextEntry::Filter TextEntry::FilterFor(const ParamRecord* param) {
  if (param == nullptr) return Filter::kAny;
  return param->Kind() == ParamKind::kContinuous ? Filter::kDecimal : Filter::kInteger;
}

void TextEntry::Begin(IControl* control, int paramIdx, Filter filter, int limit, const char* text) {
  open_ = true;
  state_ = kIdle;
  control_ = control;
  paramIdx_ = paramIdx;
  filter_ = filter;
  limit_ = std::clamp(limit, 1, kMaxLimit);
  const std::size_t length = BoundedLength(text, static_cast<std::size_t>(limit_));
  std::memcpy(initial_, text != nullptr ? text : "", length);
  initial_[length] = '\0';
}

void TextEntry::End() {
  open_ = false;
  state_ = kIdle;
  control_ = nullptr;
  paramIdx_ = -1;
  initial_[0] = '\0';
}

double TextEntry::ValueFromText(const ParamRecord& param, const char* text) {
  double plain = 0.0;
  if (param.Kind() == ParamKind::kList) {
    const ParamRecord::DisplayText* entry = param.FindDisplayText(text);
    plain = entry != nullptr ? entry->value : 0.0;
  } else {
    plain = std::strtod(text, nullptr);
    if (!std::isfinite(plain)) plain = 0.0;
    if (param.NegateDisplay()) plain = -plain;
  }
  plain = std::clamp(plain, param.Min(), param.Max());
  return std::clamp(param.ToNormalised(plain), 0.0, 1.0);
}
