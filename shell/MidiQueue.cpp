// The MIDI queue's ordering and its behaviour when full.
#include "shell/MidiQueue.h"

#include <algorithm>
#include <limits>
#include <new>

namespace shell {

bool MidiQueue::SetCapacityForBlock(int blockSize) {
  Compact();
  const int wanted = std::max(blockSize, 1);
  int capacity = (wanted + kCapacityStep - 1) / kCapacityStep * kCapacityStep;
  capacity = std::max(capacity, Size());
  if (capacity == Capacity()) return true;
  try {
    std::vector<MidiMessage> resized(static_cast<std::size_t>(capacity));
    std::copy(items_.begin(), items_.begin() + end_, resized.begin());
    items_.swap(resized);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool MidiQueue::EndsSound(const MidiMessage& message) {
  const int kind = message.Kind();
  return kind == 0x80 || (kind == 0x90 && message.data2 == 0) || (kind == 0xB0 && message.data1 == 64);
}

void MidiQueue::Compact() {
  if (begin_ == 0) return;
  std::copy(items_.begin() + begin_, items_.begin() + end_, items_.begin());
  end_ -= begin_;
  begin_ = 0;
}

void MidiQueue::InsertInOrder(const MidiMessage& message) {
  // Host events arrive in order, so the search from the back usually stops at once.
  int at = end_;
  while (at > begin_ && items_[at - 1].offset > message.offset) --at;
  std::copy_backward(items_.begin() + at, items_.begin() + end_, items_.begin() + end_ + 1);
  items_[at] = message;
  ++end_;
}

bool MidiQueue::Add(const MidiMessage& message) {
  if (end_ == Capacity()) Compact();
  if (end_ < Capacity()) {
    InsertInOrder(message);
    return true;
  }
  ++dropped_;
  if (!EndsSound(message)) return false;
  // Full: give up the latest message that does not end a sound, if there is one.
  int victim = end_ - 1;
  while (victim >= begin_ && EndsSound(items_[victim])) --victim;
  if (victim < begin_) return false;
  std::copy(items_.begin() + victim + 1, items_.begin() + end_, items_.begin() + victim);
  --end_;
  InsertInOrder(message);
  return false;
}

void MidiQueue::DropNoteOns() {
  const auto first = items_.begin() + begin_;
  const auto kept = std::remove_if(first, items_.begin() + end_,
                                   [](const MidiMessage& m) { return m.Kind() == 0x90 && m.data2 != 0; });
  end_ = static_cast<int>(kept - items_.begin());
}

void MidiQueue::LowerOffsets(int samples) {
  constexpr long long kLowest = std::numeric_limits<std::int32_t>::min();
  for (int i = begin_; i < end_; ++i) {
    items_[i].offset = static_cast<std::int32_t>(std::max(kLowest, static_cast<long long>(items_[i].offset) - samples));
  }
}

}  // namespace shell
