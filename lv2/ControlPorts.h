// The parameter ports against the plug-in's own values. An LV2 host owns the input ports:
// each keeps the value the host last wrote, while the plug-in's values also change without
// the host (programs, learned MIDI controllers, the editor, restored state). So a port acts
// only when the host writes a new value to it, and only when that value is not already the
// plug-in's; a port left alone never undoes a program change.
#pragma once

#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>

#include "lv2/PortLayout.h"

namespace lv2 {

class ControlPorts {
 public:
  static constexpr int kCount = lv2ports::kParamCount;
  // Two normalised values this close are the same value: a port holds a float, the plug-in
  // a double, and their round trip through the host costs a few float steps.
  static constexpr double kSameValue = 1e-6;

  // Every port starts as seen at its default, so a host that leaves the ports at their
  // defaults leaves the plug-in's start-up program alone.
  ControlPorts();

  // The instantiating thread (before the first Update).
  void Connect(int index, const float* port) { ports_[index] = port; }

  // Audio thread. For each connected port whose value the host changed since it was last
  // seen: when the value is finite and differs from current(index) (the plug-in's
  // normalised value), apply(index, normalised) with the port's value clamped to its range.
  template <typename Current, typename Apply>
  void Update(Current current, Apply apply) {
    const bool restored = restored_.exchange(false, std::memory_order_acquire);
    for (int i = 0; i < kCount; ++i) {
      if (ports_[i] == nullptr) continue;
      const float value = std::atomic_ref<float>(*const_cast<float*>(ports_[i])).load(std::memory_order_relaxed);
      const auto bits = std::bit_cast<std::uint32_t>(value);
      const std::uint32_t seen = seen_[i].load(std::memory_order_relaxed);
      seen_[i].store(bits, std::memory_order_relaxed);
      if (bits == seen || (restored && bits == saved_[i].load(std::memory_order_relaxed))) continue;
      if (!std::isfinite(value)) continue;
      const double normalised = Normalise(i, value);
      if (std::fabs(normalised - static_cast<double>(current(i))) > kSameValue) apply(i, normalised);
    }
  }

  // The values last seen in the ports, saved with the state. Any thread.
  void Seen(float* values) const;
  // A state was restored with these saved values. Hosts set their ports to the values they
  // saved with the state, before it (Ardour) or after it (lilv), or leave them as they were:
  // until the next Update, neither those nor the old values overrule the state; any other
  // value the host writes meanwhile acts. Any thread.
  void Restored(const float* saved);

  // Conversions by the plug-in's own parameter records. Normalise clamps to the range;
  // Plain snaps integer and list parameters as the plug-in does.
  static double Normalise(int index, double plain);
  static double Plain(int index, double normalised);
  static double Default(int index);

 private:
  std::array<const float*, kCount> ports_{};
  std::array<std::atomic<std::uint32_t>, kCount> seen_{};
  std::array<std::atomic<std::uint32_t>, kCount> saved_{};
  std::atomic<bool> restored_{false};
};

}  // namespace lv2
