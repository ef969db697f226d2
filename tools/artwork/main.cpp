// tesvar-artwork: draws the editor's 24 bitmaps at 100 % and 200 % and writes them as PNG
// files (knob.png and knob@2x.png).
//   tesvar-artwork OUTPUT_DIR [--preview PREVIEW_DIR]
// With --preview it also composes both views from the written files, with controls at their
// places, for review (the previews are not resources).
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "editor/Layout.h"
#include "tools/artwork/Controls.h"
#include "tools/artwork/Palette.h"
#include "tools/artwork/Panels.h"
#include "tools/artwork/Preview.h"

namespace {

using artwork::Image;

// How each of the editor's bitmaps is drawn; names, sizes and frame counts come from the
// layout's art table.
using Draw = std::function<void(Image&)>;

Draw DrawerOf(panel::Art art) {
  using namespace artwork;
  using panel::Art;
  switch (art) {
    case Art::kBack: return DrawMainPanel;
    case Art::kBack2: return DrawAltPanel;
    case Art::kButton: return [](Image& i) { DrawPushButtonStrip(i, false, false); };
    case Art::kButton2Off: return [](Image& i) { DrawSmallButtonStrip(i, CapColour::kDark, false); };
    case Art::kButton2On: return [](Image& i) { DrawSmallButtonStrip(i, CapColour::kDark, true); };
    case Art::kButton2WhiteOff: return [](Image& i) { DrawSmallButtonStrip(i, CapColour::kWhite, false); };
    case Art::kButton2WhiteOn: return [](Image& i) { DrawSmallButtonStrip(i, CapColour::kWhite, true); };
    case Art::kButtonLedOff: return [](Image& i) { DrawPushButtonStrip(i, true, false); };
    case Art::kButtonLedOn: return [](Image& i) { DrawPushButtonStrip(i, true, true); };
    case Art::kDigits: return [](Image& i) { DrawDigitStrip(i, 12, palette::kLedRed, false); };
    case Art::kDigitsGreen: return [](Image& i) { DrawDigitStrip(i, 12, palette::kLedGreen, false); };
    case Art::kDigitsSmall: return [](Image& i) { DrawDigitStrip(i, 12, palette::kLedRed, true); };
    case Art::kKnob: return [](Image& i) { DrawKnobStrip(i, 65, KnobStyle::kBlack); };
    case Art::kKnobGray: return [](Image& i) { DrawKnobStrip(i, 65, KnobStyle::kGrey); };
    case Art::kLearn: return [](Image& i) { DrawLearnLabelStrip(i, "LEARN", "UNLRN"); };
    case Art::kLearn2: return [](Image& i) { DrawLearnLabelStrip(i, "LEARN", "UNLEARN"); };
    case Art::kLedFlat: return DrawFlatLed;
    case Art::kLever: return DrawFaderTrack;
    case Art::kHandle: return DrawFaderHandle;
    case Art::kMenu: return DrawMenuButtonStrip;
    case Art::kSwitch2: return DrawToggleSwitchStrip;
    case Art::kSwitch3: return [](Image& i) { DrawRotarySwitchStrip(i, 3); };
    case Art::kSwitch4: return [](Image& i) { DrawRotarySwitchStrip(i, 4); };
    case Art::kSwitch5: return [](Image& i) { DrawRotarySwitchStrip(i, 5); };
    default: return nullptr;
  }
}

// "resources/img/knob.png" at scale 2 is written as "knob@2x.png".
std::string FileName(const char* resourceName, int scale) {
  std::string name = resourceName;
  name = name.substr(name.find_last_of('/') + 1);
  if (scale > 1) name.insert(name.size() - 4, "@" + std::to_string(scale) + "x");
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [--preview PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
  const std::string out = argv[1];
  // Every bitmap at 100 % and, drawn again rather than enlarged, at 200 %.
  for (const panel::ArtResource& resource : panel::ArtResources()) {
    const Draw draw = DrawerOf(static_cast<panel::Art>(&resource - panel::ArtResources().data()));
    if (!draw) {
      std::fprintf(stderr, "no drawing for %s\n", resource.name);
      return 1;
    }
    for (int scale : {1, 2}) {
      Image image(resource.width, resource.height, scale);
      draw(image);
      const std::string path = out + "/" + FileName(resource.name, scale);
      if (!image.WritePng(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  if (argc == 4 && !artwork::WritePreviews(out, argv[3])) {
    std::fprintf(stderr, "cannot write the previews to %s\n", argv[3]);
    return 1;
  }
  return 0;
}
