// Byte framing of the tape decoder.
#include "tape/FrameDecoder.h"

namespace tape {
namespace {

enum class FrameState { kSeekP, kSeek6, kData, kChecksum };

}  // namespace

int FrameAt(std::span<const BitEvent> events, std::size_t s) {
  const std::size_t n = events.size();
  if (s + 10 >= n || events[s].bit != 0 || events[s + 9].bit != 1 || events[s + 10].bit != 1) {
    return -1;
  }
  int value = 0;
  for (int k = 0; k < 8; ++k) value |= int(events[s + 1 + std::size_t(k)].bit) << k;
  return value;
}

FrameResult FrameBytes(std::span<const BitEvent> events, std::vector<std::uint8_t>& block) {
  block.clear();
  block.reserve(kBlockBytes);
  const std::size_t n = events.size();
  std::size_t s = 0;
  std::uint8_t sum = 0;  // wraps modulo 256
  FrameState state = FrameState::kSeekP;
  while (true) {
    switch (state) {
      case FrameState::kSeekP:
      case FrameState::kSeek6: {
        const int wanted = state == FrameState::kSeekP ? kHeaderP : kHeader6;
        while (s < n && FrameAt(events, s) != wanted) ++s;
        if (s >= n) return state == FrameState::kSeekP ? FrameResult::kNoHeaderP : FrameResult::kNoHeader6;
        block.push_back(std::uint8_t(wanted));
        s += kFrameLength;
        state = state == FrameState::kSeekP ? FrameState::kSeek6 : FrameState::kData;
        break;
      }
      case FrameState::kData:
        while (s < n && block.size() < kBlockBytes - 1) {
          const int value = FrameAt(events, s);
          if (value < 0) {
            ++s;  // resynchronise one half-wave later
            continue;
          }
          block.push_back(std::uint8_t(value));
          sum = std::uint8_t(sum + value);
          s += kFrameLength;
        }
        if (block.size() < kBlockBytes - 1) return FrameResult::kTruncated;
        state = FrameState::kChecksum;
        break;
      case FrameState::kChecksum: {
        const int value = FrameAt(events, s);
        if (value < 0) return FrameResult::kNoChecksum;
        block.push_back(std::uint8_t(value));
        return value == sum ? FrameResult::kOk : FrameResult::kBadChecksum;
      }
    }
  }
}

}  // namespace tape
