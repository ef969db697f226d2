// The LV2 plug-in's ports in index order, and the names hosts know the parameter ports by.
// Sessions and presets store port symbols: a symbol never changes once released.
#pragma once

#include <cstdint>
#include <string>

#include "resources/ParameterInfo.h"

namespace lv2ports {

// MIDI in, and requests to load a program or bank file (an atom sequence).
inline constexpr std::uint32_t kEventsIn = 0;
// MIDI thru, and the file property's value (an atom sequence).
inline constexpr std::uint32_t kEventsOut = 1;
inline constexpr std::uint32_t kAudioLeft = 2;
inline constexpr std::uint32_t kAudioRight = 3;
// Parameter i (0 ... 50, the product's own indices) is port kFirstParam + i.
inline constexpr std::uint32_t kFirstParam = 4;
inline constexpr int kParamCount = static_cast<int>(resources::kParameterCount);
inline constexpr std::uint32_t kPortCount = kFirstParam + kParamCount;

constexpr std::uint32_t PortOfParam(int index) { return kFirstParam + static_cast<std::uint32_t>(index); }
// The parameter index of a port, or -1 for the other ports and indices past the last.
constexpr int ParamOfPort(std::uint32_t port) {
  return port >= kFirstParam && port < kPortCount ? static_cast<int>(port - kFirstParam) : -1;
}

// The parameter's symbol: its name in lower case with every run of other characters as one
// underscore ("Mod.Wheel Frequency" gives "mod_wheel_frequency"); the unused slots named
// "reserved" are numbered from 1 in index order ("reserved_1").
std::string ParamSymbol(int index);
// The name a host shows: the parameter's own, the unused slots numbered ("Reserved 1").
std::string ParamLabel(int index);
// Whether the slot is one of the unused ones kept for the stored formats' index space.
bool IsReservedParam(int index);

}  // namespace lv2ports
