// Turns a checked bank table into the bytes of an FXB bank file in chunk form, the form
// in which the factory banks are built into the plug-in.
//
// Layout: a big-endian header ("CcnK", byte size = length - 8, "FBCh", version 2, "tsvr",
// plug-in version, 64 programs, current program 0, 124 zero bytes, chunk size), then the
// little-endian chunk: "tffp" + 0x00010000, and for each program its length-prefixed name,
// the initialised flag 1 and one state body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "resources/BankTable.h"

namespace resources {

inline constexpr std::string_view kStateTag = "Tesvar_1.0.0";
inline constexpr std::size_t kFxbHeaderSize = 160;  // the chunk starts here
inline constexpr std::uint32_t kChunkVersion = 0x00010000;

// One state body: tag, program index, name, the 51 values as doubles, chord count and
// entries; 432 + name length + 4 * chord entries bytes (436 for "Init" without a chord).
std::vector<std::uint8_t> WriteStateBody(std::int32_t index, const BankProgram& program);

// The whole FXB image of a 64-program table. pluginVersion is stored in the header only.
std::vector<std::uint8_t> WriteBankImage(const BankTable& table, std::int32_t pluginVersion);

}  // namespace resources
