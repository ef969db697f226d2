// The editor's bitmaps: PNG resources 101 to 125 (there is no 121) of the plug-in library,
// their names in the layout and the sizes and frame counts the layout relies on. Frames are
// stacked vertically, each height / frames pixels high (integer division).
#pragma once

#include <cstddef>

namespace resources {

struct ImageInfo {
  int id;            // resource id, found as "#<id>" with type "PNG"
  const char* name;  // the layout's name: the file under resources/img
  int width;
  int height;
  int frames;
};

inline constexpr ImageInfo kImages[] = {
    {101, "resources/img/back.png", 1032, 588, 1},        {102, "resources/img/back2.png", 1032, 588, 1},
    {103, "resources/img/button.png", 40, 72, 2},         {104, "resources/img/button2_off.png", 24, 80, 2},
    {105, "resources/img/button2_on.png", 24, 80, 2},     {106, "resources/img/button2_w_off.png", 24, 80, 2},
    {107, "resources/img/button2_w_on.png", 24, 80, 2},   {108, "resources/img/button_led_off.png", 40, 72, 2},
    {109, "resources/img/button_led_on.png", 40, 72, 2},  {110, "resources/img/digits.png", 26, 408, 12},
    {111, "resources/img/digits_green.png", 26, 408, 12}, {112, "resources/img/digits_small.png", 10, 198, 12},
    {113, "resources/img/knob.png", 40, 2600, 65},        {114, "resources/img/knob_gray.png", 40, 2600, 65},
    {115, "resources/img/learn.png", 43, 32, 2},          {116, "resources/img/learn2.png", 46, 20, 2},
    {117, "resources/img/led_flat.png", 18, 8, 1},        {118, "resources/img/lever.png", 54, 90, 1},
    {119, "resources/img/handle.png", 54, 16, 1},         {120, "resources/img/menu.png", 104, 48, 2},
    {122, "resources/img/switch2.png", 14, 40, 2},        {123, "resources/img/switch3.png", 40, 120, 3},
    {124, "resources/img/switch4.png", 40, 160, 4},       {125, "resources/img/switch5.png", 40, 200, 5},
};
inline constexpr std::size_t kImageCount = sizeof kImages / sizeof kImages[0];
// Each bitmap is also drawn at twice its size (for 200 % screens) under its id + 100
// ("knob@2x.png", resource 213), with twice the width and height and the same frames.
inline constexpr int kDoubleSizeIdOffset = 100;
// Every PNG resource: the bitmaps and their double-size drawings.
inline constexpr std::size_t kResourceCount = 2 * kImageCount;

// Ids by role, for the code that places the bitmaps.
enum ImageId : int {
  kBackImage = 101,
  kBack2Image = 102,
  kButtonImage = 103,
  kButton2OffImage = 104,
  kButton2OnImage = 105,
  kButton2WhiteOffImage = 106,
  kButton2WhiteOnImage = 107,
  kButtonLedOffImage = 108,
  kButtonLedOnImage = 109,
  kDigitsImage = 110,
  kDigitsGreenImage = 111,
  kDigitsSmallImage = 112,
  kKnobImage = 113,
  kKnobGrayImage = 114,
  kLearnImage = 115,
  kLearn2Image = 116,
  kLedFlatImage = 117,
  kLeverImage = 118,
  kHandleImage = 119,
  kMenuImage = 120,
  kSwitch2Image = 122,
  kSwitch3Image = 123,
  kSwitch4Image = 124,
  kSwitch5Image = 125,
};

// The entry for an id, or null.
constexpr const ImageInfo* FindImage(int id) {
  for (const ImageInfo& image : kImages) {
    if (image.id == id) return &image;
  }
  return nullptr;
}

// Where the library has no resource section (Linux), hands the compiled-in PNG bytes to
// platform::RegisterEmbeddedResources as "#<id>" of type "PNG", so that
// platform::FindModuleResource("#101", "PNG") finds them. Call before the first bitmap is
// looked up (the shell does it when an instance is created); calling again changes nothing.
// Thread-safe. On Windows the images are resources of the library and this does nothing.
void RegisterImages();

// How many images are compiled in (0 on Windows, where the resource script holds them).
std::size_t EmbeddedImageCount();

}  // namespace resources
