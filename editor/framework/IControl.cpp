// The base control: values from the plug-in and the user, dirty tracking, hit testing.
#include "editor/framework/IControl.h"

#include <algorithm>
#include <cstdio>

#include "core/IPlugBase.h"
#include "editor/framework/Controls.h"
#include "editor/framework/IGraphics.h"

IControl::IControl(IPlugBase* plug, const IRect& rect, int paramIdx, const IChannelBlend& blend)
    : plug_(plug), rect_(rect), hitRect_(rect), paramIdx_(paramIdx), blend_(blend) {}

IControl::~IControl() = default;

void IControl::MouseDown(int x, int y, const IMouseMod& mod) {
  if (!mod.right || noValueEntry_ || !IsBound() || graphics_ == nullptr || plug_ == nullptr) return;
  char text[kParamTextSize];
  {
    platform::Guard guard(plug_->Lock());
    const ParamRecord* param = plug_->GetParam(paramIdx_);
    if (param == nullptr) return;
    param->GetDisplayText(value_, true, text, false);
  }
  graphics_->OpenTextEntry(this, text_, rect_, text, paramIdx_);
}

void IControl::MouseDoubleClick(int x, int y, const IMouseMod& mod) {
  if (defaultValue_ < 0.0) return;
  value_ = defaultValue_;
  MarkDirty(true);
}

void IControl::ValueFromPlugin(double normalised) {
  if (defaultValue_ < 0.0) defaultValue_ = normalised;
  if (value_ == normalised) return;
  value_ = normalised;
  MarkDirty(false);
  redrawRequested_ = true;
}

void IControl::ValueFromUser(double normalised) {
  if (value_ == normalised) return;
  value_ = normalised;
  MarkDirty(true);
  redrawRequested_ = true;
}

void IControl::Hide(bool hide) {
  hidden_ = hide;
  redrawRequested_ = true;
  MarkDirty(false);
}

void IControl::GrayOut(bool gray) {
  grayed_ = gray;
  blend_.weight = gray ? 0.25f : 1.0f;
  MarkDirty(false);
}

bool IControl::IsHit(int x, int y) const {
  if (hitRect_.AllZero()) return false;
  return hitRect_.Contains(x, y);
}

void IControl::MarkDirty(bool send) {
  value_ = std::clamp(value_, clampLow_, clampHigh_);
  dirty_ = true;
  if (!send || !IsBound() || plug_ == nullptr) return;
  plug_->SetParamFromEditor(paramIdx_, value_);
  if (valueText_ == nullptr && nameText_ == nullptr) return;
  char display[kParamTextSize];
  char label[kParamTextSize];
  char name[kParamTextSize];
  {
    platform::Guard guard(plug_->Lock());
    const ParamRecord* param = plug_->GetParam(paramIdx_);
    if (param == nullptr) return;
    param->GetDisplayText(value_, true, display, true);
    CopyText(label, param->Label(), sizeof(label));
    CopyText(name, param->Name(), sizeof(name));
  }
  if (valueText_ != nullptr) {
    char text[2 * kParamTextSize + 2];
    std::snprintf(text, sizeof(text), "%s %s", display, label);
    valueText_->SetTextFromPlugin(text);
  }
  if (nameText_ != nullptr) nameText_->SetTextFromPlugin(name);
}

void IControl::MarkClean() {
  dirty_ = redrawRequested_;
  redrawRequested_ = false;
}

void IControl::AuxValueFromPlugin(int auxIndex, double normalised) {
  if (auxIndex < 0 || auxIndex >= AuxParamCount()) return;
  if (aux_[auxIndex].value == normalised) return;
  aux_[auxIndex].value = normalised;
  MarkDirty(false);
  redrawRequested_ = true;
}
