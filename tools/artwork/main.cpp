// tesvar-artwork: draws the editor's 24 bitmaps and writes them as PNG files.
//   tesvar-artwork OUTPUT_DIR [--preview PREVIEW_DIR]
// With --preview it also composes both views from the written files, with controls at their
// places, for review (the previews are not resources).
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "tools/artwork/Controls.h"
#include "tools/artwork/Palette.h"
#include "tools/artwork/Panels.h"
#include "tools/artwork/Preview.h"

namespace {

using artwork::Image;

struct Bitmap {
  const char* file;
  int width, height, frames;
  std::function<void(Image&)> draw;
};

std::vector<Bitmap> Bitmaps() {
  using namespace artwork;
  return {
      {"back.png", 1032, 588, 1, DrawMainPanel},
      {"back2.png", 1032, 588, 1, DrawAltPanel},
      {"button.png", 40, 72, 2, [](Image& i) { DrawPushButtonStrip(i, false, false); }},
      {"button2_off.png", 24, 80, 2, [](Image& i) { DrawSmallButtonStrip(i, CapColour::kDark, false); }},
      {"button2_on.png", 24, 80, 2, [](Image& i) { DrawSmallButtonStrip(i, CapColour::kDark, true); }},
      {"button2_w_off.png", 24, 80, 2, [](Image& i) { DrawSmallButtonStrip(i, CapColour::kWhite, false); }},
      {"button2_w_on.png", 24, 80, 2, [](Image& i) { DrawSmallButtonStrip(i, CapColour::kWhite, true); }},
      {"button_led_off.png", 40, 72, 2, [](Image& i) { DrawPushButtonStrip(i, true, false); }},
      {"button_led_on.png", 40, 72, 2, [](Image& i) { DrawPushButtonStrip(i, true, true); }},
      {"digits.png", 26, 408, 12, [](Image& i) { DrawDigitStrip(i, 12, palette::kLedRed, false); }},
      {"digits_green.png", 26, 408, 12, [](Image& i) { DrawDigitStrip(i, 12, palette::kLedGreen, false); }},
      {"digits_small.png", 10, 198, 12, [](Image& i) { DrawDigitStrip(i, 12, palette::kLedRed, true); }},
      {"knob.png", 40, 2600, 65, [](Image& i) { DrawKnobStrip(i, 65, KnobStyle::kBlack); }},
      {"knob_gray.png", 40, 2600, 65, [](Image& i) { DrawKnobStrip(i, 65, KnobStyle::kGrey); }},
      {"learn.png", 43, 32, 2, [](Image& i) { DrawLearnLabelStrip(i, "LEARN", "UNLRN"); }},
      {"learn2.png", 46, 20, 2, [](Image& i) { DrawLearnLabelStrip(i, "LEARN", "UNLEARN"); }},
      {"led_flat.png", 18, 8, 1, DrawFlatLed},
      {"lever.png", 54, 90, 1, DrawFaderTrack},
      {"handle.png", 54, 16, 1, DrawFaderHandle},
      {"menu.png", 104, 48, 2, DrawMenuButtonStrip},
      {"switch2.png", 14, 40, 2, DrawToggleSwitchStrip},
      {"switch3.png", 40, 120, 3, [](Image& i) { DrawRotarySwitchStrip(i, 3); }},
      {"switch4.png", 40, 160, 4, [](Image& i) { DrawRotarySwitchStrip(i, 4); }},
      {"switch5.png", 40, 200, 5, [](Image& i) { DrawRotarySwitchStrip(i, 5); }},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [--preview PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
  const std::string out = argv[1];
  for (const Bitmap& b : Bitmaps()) {
    Image image(b.width, b.height);
    b.draw(image);
    const std::string path = out + "/" + b.file;
    if (!image.WritePng(path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (argc == 4 && !artwork::WritePreviews(out, argv[3])) {
    std::fprintf(stderr, "cannot write the previews to %s\n", argv[3]);
    return 1;
  }
  return 0;
}
