// Third stage of the tape decoder: bit events to bytes, header, data block and checksum.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tape/BitDecoder.h"

namespace tape {

// Bit events per byte: start bit 0, eight data bits least significant first, two stop
// bits 1.
constexpr int kFrameLength = 11;
constexpr std::uint8_t kHeaderP = 0x50;  // "P"
constexpr std::uint8_t kHeader6 = 0x36;  // "6"
// "P", "6", 512 data bytes, checksum.
constexpr std::size_t kBlockBytes = 515;

enum class FrameResult {
  kOk,
  kNoHeaderP,    // no "P" frame anywhere
  kNoHeader6,    // no "6" frame after the first "P"
  kTruncated,    // the events ran out before 512 data bytes
  kNoChecksum,   // no frame right after the data
  kBadChecksum,  // the checksum differs from the 8-bit sum of the data bytes
};

// The byte framed at event s, or -1 when no frame starts there.
int FrameAt(std::span<const BitEvent> events, std::size_t s);

// Frames the bytes. The framer runs through the states seek "P" -> seek "6" -> data ->
// checksum: both headers are searched one event at a time (so a chance "P" in leading
// noise is harmless), data bytes are taken where a frame starts and otherwise the
// framer resynchronises one half-wave later. `block` receives what was framed; only kOk
// leaves exactly 515 bytes beginning with "P" and "6".
FrameResult FrameBytes(std::span<const BitEvent> events, std::vector<std::uint8_t>& block);

}  // namespace tape
