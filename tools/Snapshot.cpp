// Draws one editor view from the place table: backgrounds, bitmap frames from the instance's
// parameter values, the seven-segment displays and the texts the controls show.
#include "tools/Snapshot.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/ParameterTable.h"
#include "engine/Tesvar.h"
#include "engine/VoiceCounts.h"
#include "resources/Images.h"
#include "vst2/VstAbi.h"

namespace snapshot {
namespace {

constexpr int kBlank = 0xB;  // the digit frames' blank and minus nibbles
constexpr int kMinus = 0xA;

int Frames(int image) {
  const resources::ImageInfo* info = resources::FindImage(image);
  return info != nullptr ? info->frames : 1;
}

// Frame n (1-based) of a vertical strip with its top-left corner at x, y.
void BlitFrame(LICE_IBitmap* out, int image, int frame, int x, int y) {
  const LICE_IBitmap* bitmap = LICE_CachedPngResource(image);
  if (bitmap == nullptr) return;
  const int frames = Frames(image);
  const int frameHeight = bitmap->Height() / frames;
  const int sourceY = static_cast<int>(std::lround(static_cast<double>(bitmap->Height()) * (frame - 1) / frames));
  LICE_Blit(out, bitmap, x, y, 0, sourceY, bitmap->Width(), frameHeight, 1.0f, LICE_BlendMode::kAlpha);
}

int FrameForValue(int frames, double value) {
  return std::clamp(static_cast<int>(std::lround((frames - 1) * value)) + 1, 1, frames);
}

// The control's rectangle: its own, or one frame of its bitmap at its place.
LICE_Rect PlaceOf(const Control& control) {
  if (control.place.right != 0 || control.image == 0) return control.place;
  const resources::ImageInfo* info = resources::FindImage(control.image);
  if (info == nullptr) return control.place;
  return {control.place.left, control.place.top, control.place.left + info->width,
          control.place.top + info->height / info->frames};
}

void DrawText(LICE_IBitmap* out, const char* face, int size, LICE_pixel color, const LICE_Rect& rect,
              const std::string& text, int flags = LICE_TEXT_CENTER | LICE_TEXT_VCENTER) {
  LICE_Rect r = rect;
  LICE_GetFont(face, size)->DrawText(out, text.c_str(), -1, &r, flags, color);
}

std::string DisplayText(Tesvar& plug, int parameter) {
  const ParamRecord* param = plug.GetParam(parameter);
  if (param == nullptr) return {};
  char text[kParamTextSize] = {};
  param->GetDisplayText(param->Value(), false, text, true);
  return text;
}

double NormalisedValue(Tesvar& plug, const Control& control) {
  const ParamRecord* param = plug.GetParam(control.parameter);
  return param != nullptr ? param->Normalised() : control.value;
}

// Two digits of a display code (high nibble left, low nibble right) at the display's places.
void DrawDisplay(LICE_IBitmap* out, const Control& control, int code) {
  BlitFrame(out, control.image, ((code >> 4) & 15) + 1, control.place.left + 7, control.place.top + 6);
  BlitFrame(out, control.image, (code & 15) + 1, control.place.left + 40, control.place.top + 6);
}

// Voices per note with a minus (not in Poly mode), then the polyphony, blank-padded.
void DrawVoices(Tesvar& plug, LICE_IBitmap* out, const Control& control) {
  const int mode = static_cast<int>(plug.GetParam(kMode)->Value());
  const int setting = std::clamp(static_cast<int>(plug.GetParam(kVoices)->Value()), 0, 7);
  int polyphony = kPolyPolyphony[setting];
  int perNote = 1;
  if (mode == 1) {
    polyphony = kChordPolyphony[setting];
    perNote = std::max(1, plug.ChordNoteCount());
  } else if (mode == 2) {
    polyphony = kUnisonPolyphony[setting];
    perNote = kUnisonVoicesPerNote[setting];
  }
  const int digits[4] = {mode == 0 ? kBlank : std::min(perNote, 9), mode == 0 ? kBlank : kMinus,
                         polyphony >= 10 ? polyphony / 10 % 10 : kBlank, polyphony % 10};
  const int offsets[4] = {10, 23, 35, 48};
  for (int i = 0; i < 4; ++i) {
    BlitFrame(out, control.image, digits[i] + 1, control.place.left + offsets[i], control.place.top + 10);
  }
}

// A continuous knob under the mouse shows its value in a shaded circle.
void DrawKnobReadout(Tesvar& plug, LICE_IBitmap* out, const Control& control, const LICE_Rect& place) {
  LICE_FillCircle(out, place.left + place.Width() / 2.0f, place.top + place.Height() / 2.0f, place.Width() / 2.0f,
                  LICE_RGBA(64, 64, 64, 160), 0.6f, LICE_BlendMode::kAlpha);
  DrawText(out, "Arial", 14, LICE_RGBA(64, 255, 64, 255), {place.left, place.top + 9, place.right, place.bottom},
           DisplayText(plug, control.parameter));
}

void DrawFader(Tesvar& plug, LICE_IBitmap* out, const Control& control) {
  const LICE_Rect& place = control.place;
  BlitFrame(out, resources::kLeverImage, 1, place.left, place.top);
  const int handleHeight = resources::FindImage(resources::kHandleImage)->height;
  const int top = place.top + static_cast<int>(std::lround((place.Height() - handleHeight) *
                                                           (1.0 - NormalisedValue(plug, control))));
  BlitFrame(out, resources::kHandleImage, 1, place.left, top);
  DrawText(out, "Arial", 15, LICE_RGBA(224, 208, 192, 255), {place.left, top, place.right, top + handleHeight},
           DisplayText(plug, control.parameter));
}

void DrawControl(Tesvar& plug, LICE_IBitmap* out, const Control& control, bool hovered) {
  const LICE_Rect place = PlaceOf(control);
  switch (control.kind) {
    case Kind::kBackground:
    case Kind::kButton:
      BlitFrame(out, control.image, 1, place.left, place.top);
      return;
    case Kind::kKnob:
    case Kind::kSwitch:
      BlitFrame(out, control.image, FrameForValue(Frames(control.image), NormalisedValue(plug, control)), place.left,
                place.top);
      if (control.kind == Kind::kKnob && hovered) DrawKnobReadout(plug, out, control, place);
      return;
    case Kind::kMenu:
      BlitFrame(out, control.image, hovered ? 2 : 1, place.left, place.top);
      return;
    case Kind::kProgramDisplay: {
      const int program = plug.CurrentProgram();
      DrawDisplay(out, control, ((program / 8 + 1) << 4) | (program % 8 + 1));
      return;
    }
    case Kind::kBlankDisplay:
      DrawDisplay(out, control, (kBlank << 4) | kBlank);
      return;
    case Kind::kVoicesDisplay:
      DrawVoices(plug, out, control);
      return;
    case Kind::kFader:
      if (plug.Settings().showParameters || hovered) DrawFader(plug, out, control);
      return;
    case Kind::kProgramName: {
      std::string name = plug.ProgramName(plug.CurrentProgram()).substr(0, 30);
      DrawText(out, "Arial", place.Height() >= 42 ? 20 : 16, LICE_RGBA(84, 192, 84, 192), place, name);
      return;
    }
    case Kind::kTextToggle: {
      const std::string text = DisplayText(plug, control.parameter);
      DrawText(out, "Arial", 10, LICE_RGBA(192, 96, 96, 192), place, text);
      DrawText(out, "Arial", 10, LICE_RGBA(192, 96, 96, 192), {place.left + 1, place.top, place.right + 1,
                                                                place.bottom}, text);
      return;
    }
    case Kind::kLamp:
    case Kind::kHotSpot:
      return;
  }
}

std::intptr_t VST_CALL QuietHost(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace

std::unique_ptr<Tesvar> MakeInstance() { return std::make_unique<Tesvar>(QuietHost); }

bool Apply(Tesvar& plug, const Options& options, std::string* error) {
  if (options.program >= 0) {
    if (!plug.ValidProgram(options.program)) {
      *error = "no program " + std::to_string(options.program);
      return false;
    }
    plug.SwitchProgram(options.program);
  }
  for (const auto& [index, plain] : options.params) {
    const ParamRecord* param = plug.GetParam(index);
    if (param == nullptr) {
      *error = "no parameter " + std::to_string(index);
      return false;
    }
    plug.SetParamFromEditor(index, param->ToNormalised(std::clamp(plain, param->Min(), param->Max())));
  }
  if (options.showParameters >= 0) plug.SetShowParameters(options.showParameters == 1);
  return true;
}

bool Draw(Tesvar& plug, const Options& options, LICE_IBitmap* out) {
  if (!out->Resize(kWidth, kHeight)) return false;
  LICE_Clear(out, LICE_RGBA(0, 0, 0, 255));
  // The control under the mouse: hit-tested from the top, as the editor does.
  const Control* hovered = nullptr;
  if (options.hover) {
    const std::vector<Control>& controls = Controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      const LICE_Rect place = PlaceOf(*it);
      if (it->view == options.view && it->kind != Kind::kBackground && options.hoverX >= place.left &&
          options.hoverX < place.right && options.hoverY >= place.top && options.hoverY < place.bottom) {
        hovered = &*it;
        break;
      }
    }
  }
  for (const Control& control : Controls()) {
    if (control.view == options.view) DrawControl(plug, out, control, &control == hovered);
  }
  return true;
}

}  // namespace snapshot
