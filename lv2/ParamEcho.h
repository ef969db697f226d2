// The plug-in's own parameter changes, on their way back to the host. An LV2 host hears of a
// change it did not make only through the editor UI's write function, which may be called on
// the user-interface thread alone; so changes made on other threads (learned MIDI
// controllers, program changes, restored state) are marked here and told at the UI's next
// idle call. Lock-free: any thread marks, the user-interface thread takes.
#pragma once

#include <atomic>
#include <cstdint>

#include "lv2/PortLayout.h"

namespace lv2 {

class ParamEcho {
 public:
  static_assert(lv2ports::kParamCount <= 64, "one bit per parameter");

  void Mark(int index) {
    if (index >= 0 && index < lv2ports::kParamCount) marks_.fetch_or(Bit(index), std::memory_order_release);
  }
  void MarkAll() { marks_.store(kAll, std::memory_order_release); }

  // Calls fn(index) for every marked parameter, lowest first, and clears their marks.
  template <typename Fn>
  void Take(Fn fn) {
    const std::uint64_t taken = marks_.exchange(0, std::memory_order_acquire);
    for (int i = 0; i < lv2ports::kParamCount; ++i) {
      if ((taken & Bit(i)) != 0) fn(i);
    }
  }

 private:
  static constexpr std::uint64_t Bit(int index) { return std::uint64_t{1} << index; }
  static constexpr std::uint64_t kAll =
      lv2ports::kParamCount == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << lv2ports::kParamCount) - 1;

  std::atomic<std::uint64_t> marks_{0};
};

}  // namespace lv2
