// The parameter records behind the port conversions.
#include "lv2/ControlPorts.h"

#include <algorithm>

#include "core/ParamRecord.h"
#include "engine/ParameterTable.h"

namespace lv2 {

namespace {

// Built once, on first use, and only read afterwards (from any instance and thread).
const std::array<ParamRecord, ControlPorts::kCount>& Records() {
  static const std::array<ParamRecord, ControlPorts::kCount> records = [] {
    std::array<ParamRecord, ControlPorts::kCount> r;
    for (int i = 0; i < ControlPorts::kCount; ++i) DeclareParameter(r[i], i);
    return r;
  }();
  return records;
}

}  // namespace

ControlPorts::ControlPorts() {
  for (int i = 0; i < kCount; ++i) seen_[i].store(std::bit_cast<std::uint32_t>(static_cast<float>(Default(i))));
}

void ControlPorts::Seen(float* values) const {
  for (int i = 0; i < kCount; ++i) values[i] = std::bit_cast<float>(seen_[i].load(std::memory_order_relaxed));
}

void ControlPorts::Restored(const float* saved) {
  for (int i = 0; i < kCount; ++i) saved_[i].store(std::bit_cast<std::uint32_t>(saved[i]), std::memory_order_relaxed);
  restored_.store(true, std::memory_order_release);
}

double ControlPorts::Normalise(int index, double plain) { return Records()[index].ToNormalised(plain); }

double ControlPorts::Plain(int index, double normalised) {
  return Records()[index].PlainForNormalised(std::isfinite(normalised) ? normalised : 0.0);
}

double ControlPorts::Default(int index) { return Records()[index].Default(); }

}  // namespace lv2
