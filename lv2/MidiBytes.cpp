// Checks of MIDI events from the host.
#include "lv2/MidiBytes.h"

namespace lv2 {

int MessageLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 2;
    case 0xF0:
      if (status == 0xF0) return 0;
      if (status == 0xF2) return 3;
      return status == 0xF1 || status == 0xF3 ? 2 : 1;
    default: return 3;
  }
}

std::size_t CheckedLength(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size == 0 || bytes[0] < 0x80) return 0;
  if (bytes[0] == 0xF0) {
    if (size < 2 || size > kMaxSysExBytes || bytes[size - 1] != 0xF7) return 0;
    for (std::size_t i = 1; i + 1 < size; ++i) {
      if (bytes[i] >= 0x80) return 0;
    }
    return size;
  }
  const auto length = static_cast<std::size_t>(MessageLength(bytes[0]));
  if (size != length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (bytes[i] >= 0x80) return 0;
  }
  return length;
}

}  // namespace lv2
