// Voice event queue: offset bookkeeping between ticks.
#include "engine/VoiceEventQueue.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace engine {

void VoiceEventQueue::LowerOffsets(std::int32_t samples) {
  constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
  for (int k = 0; k < count_; ++k) {
    VoiceEvent& event = events_[(head_ + k) % kCapacity];
    const std::int64_t lowered = static_cast<std::int64_t>(event.offset) - samples;
    event.offset = static_cast<std::int32_t>(std::clamp(lowered, kLowest, kHighest));
  }
}

}  // namespace engine
