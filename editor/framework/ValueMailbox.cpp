#include "editor/framework/ValueMailbox.h"

#include <cmath>

static_assert(std::atomic<double>::is_always_lock_free, "value posts must never block");

ValueMailbox::ValueMailbox(int paramCount)
    : count_(paramCount > 0 ? paramCount : 0), slots_(std::make_unique<Slot[]>(static_cast<std::size_t>(count_))) {}

void ValueMailbox::Post(int index, double normalised) {
  if (index < 0 || index >= count_ || !std::isfinite(normalised)) return;
  slots_[index].value.store(normalised, std::memory_order_release);
  slots_[index].changed.store(true, std::memory_order_release);
  pending_.store(true, std::memory_order_release);
}

void ValueMailbox::PostProgramChanged() {
  programChanged_.store(true, std::memory_order_release);
  pending_.store(true, std::memory_order_release);
}
