// The panel's colours and type faces, shared by every drawing of the generator.
#pragma once

#include "tools/artwork/Canvas.h"

namespace artwork::palette {

// Print on the dark blue-grey enamel (the enamel itself is painted in PanelKit.cpp).
inline constexpr Colour kPrint = Hex(0xe4e1d8);
inline constexpr Colour kPrintDim = Hex(0xa9a7a0);

// Section colours of the printed strips.
inline constexpr Colour kOscillator = Hex(0xd9923b);
inline constexpr Colour kFilter = Hex(0xc4553f);
inline constexpr Colour kEnvelope = Hex(0x4e88bd);
inline constexpr Colour kAmplifier = Hex(0x5c9f95);
inline constexpr Colour kModulation = Hex(0x86a447);
inline constexpr Colour kProgrammer = Hex(0xb9b4a6);
inline constexpr Colour kPerformance = Hex(0x9a86b8);

// LEDs and displays.
inline constexpr Colour kLedRed = Hex(0xff3a22);
inline constexpr Colour kLedGreen = Hex(0x5cff6e);
inline constexpr Colour kGlassRed = Hex(0x120707);
inline constexpr Colour kGlassGreen = Hex(0x06110a);
inline constexpr Colour kGlassName = Hex(0x07100b);

// Type faces (fonts-liberation).
inline constexpr const char* kSans = "Liberation Sans";
inline constexpr const char* kNarrow = "Liberation Sans Narrow";

// Label styles.
inline Font LabelFont() { return {kNarrow, 9, true, false, 0.3}; }
inline Font SmallFont() { return {kNarrow, 8.5, false, false, 0.4}; }
inline Font TinyFont() { return {kNarrow, 8, false, false, 0.3}; }
inline Font HeadingFont() { return {kSans, 9, true, false, 1.2}; }

}  // namespace artwork::palette
