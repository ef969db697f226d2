// The control bitmaps: knob and switch strips, buttons, LEDs, digits, fader parts. Each
// function draws every frame of one strip into an image of the strip's full size; frames are
// stacked from the top, each image.Height() / frames pixels high.
#pragma once

#include "tools/artwork/Canvas.h"

namespace artwork {

// Pointer angles in degrees, 0 pointing up, clockwise positive. A knob turns over 300
// degrees; a rotary switch's positions are 30 degrees apart (45 for three positions),
// centred on the top.
double KnobAngle(double value);
double SwitchAngle(int positions, int index);

enum class KnobStyle { kBlack, kGrey };
void DrawKnobStrip(Image& image, int frames, KnobStyle style);
void DrawRotarySwitchStrip(Image& image, int positions);
// A two-position toggle: frame 1 bat down (value 0), frame 2 bat up (value 1).
void DrawToggleSwitchStrip(Image& image);

enum class CapColour { kGrey, kDark, kWhite };
// 40 x 36 frames: up, pressed. An LED (lit or not) sits in the cap when `led` is set.
void DrawPushButtonStrip(Image& image, bool led, bool lit);
// 24 x 40 frames: a small cap below its own LED; up, pressed.
void DrawSmallButtonStrip(Image& image, CapColour cap, bool lit);
void DrawMenuButtonStrip(Image& image);
// Lit legends shown while learning: frame 1 `learn`, frame 2 `forget`.
void DrawLearnLabelStrip(Image& image, const char* learn, const char* forget);
void DrawFlatLed(Image& image);

// Seven-segment digits: frames 0 to 9, minus, blank; unlit segments faintly visible.
void DrawDigitStrip(Image& image, int frames, Colour lit, bool small);

void DrawFaderTrack(Image& image);
void DrawFaderHandle(Image& image);

}  // namespace artwork
