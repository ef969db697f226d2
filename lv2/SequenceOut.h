// Writing events into an output atom sequence within the space the host gave it. Audio
// thread; nothing is allocated.
#pragma once

#include <cstdint>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>

namespace lv2 {

class SequenceOut {
 public:
  // Starts an empty sequence in the port's buffer, whose atom size the host set to the
  // room it has (a null port, or one without room, writes nothing).
  void Begin(LV2_Atom_Sequence* sequence, LV2_URID sequenceType) {
    sequence_ = sequence;
    lastFrame_ = 0;
    if (sequence == nullptr) return;
    // The room for the body; the header's eight bytes are kept off it too, for hosts that
    // count them in.
    capacity_ = sequence->atom.size >= sizeof(LV2_Atom) ? sequence->atom.size - sizeof(LV2_Atom) : 0;
    if (capacity_ < sizeof(LV2_Atom_Sequence_Body)) {
      sequence_ = nullptr;  // no room for even an empty sequence: the port is left as it is
      return;
    }
    sequence->atom.type = sequenceType;
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
  }

  // Appends one event; frames before the last event's are moved up to it, as a sequence
  // must not go back in time. False (nothing written) when there is no room.
  bool Append(std::int64_t frame, LV2_URID type, const void* body, std::uint32_t size) {
    if (sequence_ == nullptr) return false;
    const std::uint32_t total = lv2_atom_pad_size(static_cast<std::uint32_t>(sizeof(LV2_Atom_Event)) + size);
    if (size > capacity_ || total > capacity_ - sequence_->atom.size) return false;
    if (frame < lastFrame_) frame = lastFrame_;
    lastFrame_ = frame;
    LV2_Atom_Event* event = lv2_atom_sequence_end(&sequence_->body, sequence_->atom.size);
    event->time.frames = frame;
    event->body.size = size;
    event->body.type = type;
    std::memcpy(event + 1, body, size);
    sequence_->atom.size += total;
    return true;
  }

 private:
  LV2_Atom_Sequence* sequence_ = nullptr;
  std::uint32_t capacity_ = 0;
  std::int64_t lastFrame_ = 0;
};

}  // namespace lv2
