// The small value types of the editor: rectangles, colours, text styles, blends, mouse
// modifiers, key codes and bitmap records. Plain data; no platform code.
#pragma once

#include <algorithm>

#include "gfx/LICE.h"

// A rectangle in editor pixels: left and top inclusive, right and bottom exclusive.
struct IRect {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  constexpr IRect() = default;
  constexpr IRect(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  constexpr int W() const { return R - L; }
  constexpr int H() const { return B - T; }
  constexpr bool Empty() const { return R <= L || B <= T; }
  constexpr bool AllZero() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  constexpr bool Contains(int x, int y) const { return x >= L && x < R && y >= T && y < B; }
  constexpr bool Intersects(const IRect& o) const {
    return !Empty() && !o.Empty() && L < o.R && o.L < R && T < o.B && o.T < B;
  }
  constexpr IRect Intersect(const IRect& o) const {
    IRect r(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
    return r.Empty() ? IRect() : r;
  }
  // The smallest rectangle holding both; an empty rectangle adds nothing.
  constexpr IRect Union(const IRect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRect(std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B));
  }
  constexpr IRect Moved(int dx, int dy) const { return IRect(L + dx, T + dy, R + dx, B + dy); }
  constexpr bool operator==(const IRect&) const = default;
  LICE_Rect ToLice() const { return LICE_Rect{L, T, R, B}; }
};

// Colours are drawing-layer pixels (0xAARRGGBB, not premultiplied).
constexpr LICE_pixel IColor(int a, int r, int g, int b) { return LICE_RGBA(r, g, b, a); }
constexpr LICE_pixel kColorBlack = IColor(255, 0, 0, 0);
constexpr LICE_pixel kColorWhite = IColor(255, 255, 255, 255);
constexpr LICE_pixel kColorTransparent = IColor(0, 0, 0, 0);

// A text style. `font` points at a text that outlives the style (a literal).
struct IText {
  enum class Style { kNormal, kBold, kItalic };
  enum class Align { kNear, kCenter, kFar };
  const char* font = "Verdana";
  int size = 12;
  LICE_pixel color = kColorBlack;
  Style style = Style::kNormal;
  Align align = Align::kCenter;
  // The text-entry box's colours.
  LICE_pixel entryBackground = kColorWhite;
  LICE_pixel entryText = kColorBlack;
};

// How a drawing is combined with the back buffer: copy, add, or (default) source alpha, at a
// weight 0..1.
struct IChannelBlend {
  enum class Mode { kCopy, kAdd, kAlpha };
  Mode mode = Mode::kAlpha;
  float weight = 1.0f;
};

// Mouse modifiers; Alt is not reported.
struct IMouseMod {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool ctrl = false;
};

// Key codes given to controls: space, the arrows, digits and letters. Other keys have none.
enum IKey : int {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,    // ... kKeyDigit0 + 9
  kKeyLetterA = 15,  // ... kKeyLetterA + 25
  kKeyNone = -1,
};
// The key code of a character ('a' and 'A' are the same key), kKeyNone for others.
constexpr int KeyCodeForChar(int c) {
  if (c == ' ') return kKeySpace;
  if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
  if (c >= 'a' && c <= 'z') return kKeyLetterA + (c - 'a');
  if (c >= 'A' && c <= 'Z') return kKeyLetterA + (c - 'A');
  return kKeyNone;
}

// Where frame `index` (0-based) of a strip starts: `length` pixels hold `frames` frames, each
// length / frames pixels (rounded down) long. A length that is not a multiple of the frame
// count (the small digits: 198 / 12) puts the frames at a fractional pitch, each starting at
// the nearest pixel, halves rounded up. The artwork generator draws its strips by this rule.
constexpr int StripFrameStart(int length, int frames, int index) {
  if (frames < 1 || length < 0 || index < 0) return 0;
  return static_cast<int>((2LL * length * index + frames) / (2LL * frames));
}

// A bitmap record: an image of `frames` frames stacked vertically (side by side when
// `framesAreHorizontal`). `image` is owned by the process-wide cache, or null when the
// resource was missing: drawing such a record draws nothing.
struct IBitmap {
  const LICE_IBitmap* image = nullptr;
  int W = 0;  // the whole image
  int H = 0;
  int N = 1;  // frame count, at least 1
  bool framesAreHorizontal = false;
  int id = 0;  // the resource it came from (0: none); the editor draws its other sizes
  int FrameW() const { return framesAreHorizontal ? W / std::max(N, 1) : W; }
  int FrameH() const { return framesAreHorizontal ? H : H / std::max(N, 1); }
};

// Message-box button sets and answers (the values Windows uses, so both platforms agree).
// kOKInformation and kOKError are OK boxes with the system's information or error sign.
enum class IMessageButtons { kOK, kYesNo, kOKInformation, kOKError };
enum IMessageResult : int { kMessageNone = 0, kMessageOK = 1, kMessageYes = 6, kMessageNo = 7 };
