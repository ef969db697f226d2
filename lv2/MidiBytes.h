// MIDI messages as LV2 hosts deliver them: one whole message per atom event. What may pass
// to the plug-in, and how long each kind of message is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv2 {

// The longest system-exclusive message passed on; longer ones are refused.
inline constexpr std::size_t kMaxSysExBytes = 65536;

// The length of a message that starts with this status byte (0x80 ... 0xFF); 0 for
// system exclusive (0xF0), whose length is its own.
int MessageLength(std::uint8_t status);

// How many bytes of the event to pass on: the message's length when the event holds
// exactly one well-formed message (a status byte, then data bytes below 0x80; system
// exclusive from 0xF0 to 0xF7 with nothing after), else 0: the event is refused.
std::size_t CheckedLength(const std::uint8_t* bytes, std::size_t size);

}  // namespace lv2
