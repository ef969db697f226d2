// Checks of saved state before any of it reaches the plug-in. The plug-in's own readers
// restore as much of a damaged bank as they can (the VST2 behaviour hosts rely on); an LV2
// state is all or nothing: a chunk from another plug-in, cut short or with bytes after its
// end is refused whole and changes nothing. Any thread; nothing is shared.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lv2 {

// The largest chunk accepted. A bank of 64 programs with the longest names and chord
// memories the formats allow stays far below it.
inline constexpr std::size_t kMaxChunkBytes = 1u << 22;

// A bank chunk: the chunk header with version 0x10000 or later, then for each of the 64
// programs its length-prefixed name, a flag byte and, when the flag is set, one whole state
// body with this product's tag; nothing after.
bool IsWholeBankChunk(const std::uint8_t* bytes, std::size_t size);

// A program chunk: the chunk header, one whole state body with this product's tag, then the
// program's length-prefixed name; nothing after.
bool IsWholeProgramChunk(const std::uint8_t* bytes, std::size_t size);

}  // namespace lv2
