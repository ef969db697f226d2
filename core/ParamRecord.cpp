// Parameter conversions and display texts.
#include "core/ParamRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

void CopyText(char* out, const char* text, std::size_t size) {
  if (out == nullptr || size == 0) return;
  std::size_t n = 0;
  if (text != nullptr) {
    while (n + 1 < size && text[n] != '\0') ++n;
    std::memcpy(out, text, n);
  }
  out[n] = '\0';
}

std::size_t BoundedLength(const char* text, std::size_t limit) {
  std::size_t n = 0;
  if (text != nullptr) {
    while (n < limit && text[n] != '\0') ++n;
  }
  return n;
}

void ParamRecord::InitContinuous(const char* name, double defaultValue, double minimum, double maximum, double step,
                                 double shape) {
  if (kind_ == ParamKind::kNone) kind_ = ParamKind::kContinuous;
  CopyText(name_, name, sizeof(name_));
  label_[0] = '\0';
  group_[0] = '\0';
  min_ = minimum;
  value_ = defaultValue;
  step_ = step;
  default_ = defaultValue;
  // A range narrower than one step is widened to one step.
  max_ = std::max(minimum + step, maximum);
  // Decimals needed to write the step: 0.01 gives 2, 1 gives 0; at most six.
  precision_ = 0;
  double s = step;
  while (precision_ < 6 && s != std::floor(s)) {
    s *= 10.0;
    // Absorb the representation error of decimal steps (0.01 * 10 * 10 is not exactly 1).
    if (std::fabs(s - std::round(s)) < 1e-9) s = std::round(s);
    ++precision_;
  }
  if (shape != 0.0) shape_ = shape;
}

void ParamRecord::InitInteger(const char* name, double defaultValue, double minimum, double maximum) {
  if (kind_ == ParamKind::kNone) kind_ = ParamKind::kInteger;
  InitContinuous(name, defaultValue, minimum, maximum, 1.0, 1.0);
}

void ParamRecord::InitList(const char* name, double defaultValue, int count, const char* const* texts) {
  if (kind_ == ParamKind::kNone) kind_ = ParamKind::kList;
  InitContinuous(name, defaultValue, 0.0, count - 1, 1.0, 1.0);
  for (int i = 0; i < count; ++i) {
    DisplayText entry;
    entry.value = i;
    CopyText(entry.text, texts[i], sizeof(entry.text));
    displayTexts_.push_back(entry);
  }
}

double ParamRecord::ToNormalised(double plain) const {
  const double c = std::clamp(plain, min_, max_);
  return std::pow((c - min_) / (max_ - min_), 1.0 / shape_);
}

double ParamRecord::FromNormalised(double normalised) const {
  return std::pow(normalised, shape_) * (max_ - min_) + min_;
}

void ParamRecord::SetNormalised(double normalised) {
  if (!std::isfinite(normalised)) return;
  value_ = PlainForNormalised(normalised);
}

double ParamRecord::PlainForNormalised(double normalised) const {
  double v = FromNormalised(std::clamp(normalised, 0.0, 1.0));
  if (kind_ != ParamKind::kContinuous) v = std::floor(v / step_ + 0.5) * step_;
  return std::min(v, max_);
}

void ParamRecord::SetPlain(double plain) {
  if (!std::isfinite(plain)) return;
  value_ = std::clamp(plain, min_, max_);
}

const ParamRecord::DisplayText* ParamRecord::FindDisplayText(const char* text) const {
  for (const DisplayText& entry : displayTexts_) {
    if (std::strncmp(entry.text, text, sizeof(entry.text)) == 0) return &entry;
  }
  return nullptr;
}

namespace {
// The entry for the value truncated toward zero, when it has a non-empty text.
const ParamRecord::DisplayText* TextForValue(const std::vector<ParamRecord::DisplayText>& texts, double value) {
  if (!std::isfinite(value) || std::fabs(value) > 2147483647.0) return nullptr;
  const auto key = static_cast<std::int32_t>(value);
  for (const auto& entry : texts) {
    if (entry.value == key) return entry.text[0] != '\0' ? &entry : nullptr;
  }
  return nullptr;
}
}  // namespace

void ParamRecord::GetDisplayText(double value, bool isNormalised, char* text, bool useDisplayTexts) const {
  if (isNormalised) value = FromNormalised(value);
  if (formatter_ != nullptr) {
    char formatted[kParamTextSize] = {};
    formatter_(value, formatted);
    CopyText(text, formatted, kParamTextSize);
    return;
  }
  if (useDisplayTexts && !displayTexts_.empty()) {
    if (const DisplayText* entry = TextForValue(displayTexts_, value)) {
      CopyText(text, entry->text, kParamTextSize);
      return;
    }
  }
  if (negateDisplay_) value = -value;
  if (precision_ > 0) {
    std::snprintf(text, kParamTextSize, "%.*f", precision_, value);
  } else {
    const double limited = std::isfinite(value) ? std::clamp(value, -2147483648.0, 2147483647.0) : 0.0;
    std::snprintf(text, kParamTextSize, "%d", static_cast<int>(limited));
  }
}

void ParamRecord::GetHostLabel(char* text) const {
  if (!displayTexts_.empty() && TextForValue(displayTexts_, value_) != nullptr) {
    text[0] = '\0';
    return;
  }
  CopyText(text, label_, kParamTextSize);
}
