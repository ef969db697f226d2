// Event dispatch, the window rules around it, the text-entry machine, menus, file dialogs and
// web pages: everything of the editor's interaction that is the same on every platform.
#include <algorithm>
#include <cstring>

#include "core/IPlugBase.h"
#include "editor/framework/IGraphics.h"
#include "platform/Platform.h"

// ---- Dispatch rules -------------------------------------------------------------------------
// Hit testing goes from the last control to the first; hidden and greyed controls are skipped.

int IGraphics::HitTest(int x, int y) const {
  for (int i = NControls() - 1; i >= 0; --i) {
    const IControl* control = controls_[i].get();
    if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::OnMouseDown(int x, int y, const IMouseMod& mod) {
  mouseCapture_ = -1;
  mouseX_ = x;
  mouseY_ = y;
  const int hit = HitTest(x, y);
  IControl* control = ControlAt(hit);
  if (control == nullptr) return;
  mouseCapture_ = hit;
  if (control->IsBound() && plug_ != nullptr) plug_->BeginParamGesture(control->ParamIdx());
  control->MouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseMod& mod) {
  IControl* control = ControlAt(mouseCapture_);
  if (control == nullptr) control = ControlAt(HitTest(x, y));
  mouseCapture_ = -1;
  if (control == nullptr) return;
  control->MouseUp(x, y, mod);
  if (control->IsBound() && plug_ != nullptr) plug_->EndParamGesture(control->ParamIdx());
}

bool IGraphics::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
  const int hit = HitTest(x, y);
  IControl* control = ControlAt(hit);
  if (control == nullptr) return false;
  // The double click stands for the second press: it captures the control and, when bound,
  // opens a gesture that the release closes, so the host never sees an edit or an end
  // without its begin.
  mouseCapture_ = hit;
  if (control->IsBound() && plug_ != nullptr) plug_->BeginParamGesture(control->ParamIdx());
  if (control->DoubleClickAsPress()) {
    control->MouseDown(x, y, mod);
    return true;
  }
  control->MouseDoubleClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseMod& mod, int steps) {
  IControl* control = ControlAt(mouseCapture_);
  if (control == nullptr) control = ControlAt(HitTest(x, y));
  if (control != nullptr) control->MouseWheel(x, y, mod, steps);
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  int target = mouseCapture_ >= 0 ? mouseCapture_ : HitTest(x, y);
  IControl* control = target > 0 ? ControlAt(target) : nullptr;
  // The first control is the background: keys over it go to the key catcher.
  if (control == nullptr) control = keyCatcher_;
  return control != nullptr && control->KeyDown(x, y, key);
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseMod& mod) {
  if (!mouseOverTracking_) return false;
  int over = -1;
  for (int i = NControls() - 1; i >= 0; --i) {
    const IControl* control = controls_[i].get();
    if (control->IsHidden() || (control->IsGrayed() && !control->MouseOverWhenGrayed())) continue;
    if (control->IsHit(x, y)) {
      over = i;
      break;
    }
  }
  if (mouseOver_ >= 0 && mouseOver_ != over) {
    if (IControl* previous = ControlAt(mouseOver_)) previous->MouseOut();
  }
  mouseOver_ = over;
  if (IControl* control = ControlAt(over)) control->MouseOver(x, y, mod);
  return over >= 0;
}

void IGraphics::OnMouseOut() {
  for (const std::unique_ptr<IControl>& control : controls_) control->MouseOut();
  mouseOver_ = -1;
}

// ---- Window rules ---------------------------------------------------------------------------

void IGraphics::OnButtonPress(int x, int y, const IMouseMod& mod, bool doubleClick) {
  x = ToEditor(x);
  y = ToEditor(y);
  // A press anywhere on the editor while the box is open commits the entry; the controls
  // below do not see it.
  if (entry_.IsOpen()) {
    entry_.SetState(TextEntry::kCommit);
    return;
  }
  if (doubleClick && mod.left) {
    OnMouseDblClick(x, y, mod);
  } else {
    OnMouseDown(x, y, mod);
  }
  mouseX_ = x;
  mouseY_ = y;
}

void IGraphics::OnButtonRelease(int x, int y, const IMouseMod& mod) { OnMouseUp(ToEditor(x), ToEditor(y), mod); }

void IGraphics::OnPointerMove(int x, int y, const IMouseMod& mod) {
  // A drag moves by whole editor pixels: the same screen distance, the same change, at every
  // scale.
  x = ToEditor(x);
  y = ToEditor(y);
  if (mod.left || mod.right) {
    if (entry_.IsOpen()) return;
    IControl* control = ControlAt(mouseCapture_);
    if (control != nullptr && (x != mouseX_ || y != mouseY_)) {
      const int dx = x - mouseX_;
      const int dy = y - mouseY_;
      mouseX_ = x;
      mouseY_ = y;
      control->MouseDrag(x, y, dx, dy, mod);
    }
    return;
  }
  mouseX_ = x;
  mouseY_ = y;
  OnMouseOver(x, y, mod);
}

void IGraphics::OnWheel(int x, int y, const IMouseMod& mod, int steps) {
  if (entry_.IsOpen()) {
    entry_.SetState(TextEntry::kCancel);
    return;
  }
  OnMouseWheel(ToEditor(x), ToEditor(y), mod, steps);
}

bool IGraphics::OnKey(int x, int y, int key) { return OnKeyDown(ToEditor(x), ToEditor(y), key); }

// ---- Text entry -----------------------------------------------------------------------------

void IGraphics::OpenTextEntry(IControl* control, const IText& style, const IRect& rect, const char* text,
                              int paramIdx) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (entry_.IsOpen() || control == nullptr || !IsWindowOpen()) return;
  TextEntry::Filter filter = TextEntry::Filter::kAny;
  if (paramIdx >= 0 && plug_ != nullptr) {
    if (!plug_->ValidParam(paramIdx)) return;
    filter = TextEntry::FilterFor(plug_->GetParam(paramIdx));
  }
  entry_.Begin(control, paramIdx, filter, control->TextEntryLimit(), text);
  const IRect device = ToDevice(rect);
  const IRect box(device.L, device.T, device.R + 1, device.B + 1);
  if (!CreateTextEntryBox(entry_, box, ToDevice(style))) entry_.End();
}

void IGraphics::CancelTextEntry() { entry_.SetState(TextEntry::kCancel); }

// Runs at the start of a timer tick; true ends the tick.
bool IGraphics::FinishTextEntry() {
  if (!entry_.IsOpen()) return false;
  switch (entry_.GetState()) {
    case TextEntry::kCommit: {
      char text[TextEntry::kReadLimit + 1] = {};
      ReadTextEntryBox(text, sizeof(text));
      text[TextEntry::kReadLimit] = '\0';
      IControl* control = entry_.Control();
      const int paramIdx = entry_.ParamIdx();
      DestroyTextEntryBox();
      entry_.End();
      if (paramIdx >= 0 && plug_ != nullptr) {
        double normalised = 0.0;
        {
          platform::Guard guard(plug_->Lock());
          const ParamRecord* param = plug_->GetParam(paramIdx);
          if (param == nullptr) return true;
          normalised = TextEntry::ValueFromText(*param, text);
        }
        control->ValueFromUser(normalised);
      } else {
        control->TextFromEntry(text);
      }
      return true;
    }
    case TextEntry::kCancel:
      DestroyTextEntryBox();
      entry_.End();
      return true;
    case TextEntry::kFocused:
    case TextEntry::kDrawnAround: entry_.SetState(TextEntry::kIdle); return true;
    default: return false;
  }
}

// ---- Menus, files, web pages ----------------------------------------------------------------

namespace {
void ForgetChoices(IPopupMenu& menu) {
  menu.SetChosenItemIndex(-1);
  for (int i = 0; i < menu.ItemCount(); ++i) {
    if (IPopupMenu* sub = menu.GetItem(i)->submenu.get()) ForgetChoices(*sub);
  }
}
}  // namespace

IPopupMenu* IGraphics::PopupMenu(IPopupMenu& menu, const IRect& rect) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  ForgetChoices(menu);
  if (ClosePending()) return nullptr;
  const int id = TrackPopupMenu(menu, ToDevice(rect.L), ToDevice(rect.B));
  InvalidateAll();
  int index = -1;
  IPopupMenu* chosen = id >= 0 ? menu.FindIdentifier(id, &index) : nullptr;
  if (chosen == nullptr) return nullptr;
  const IPopupMenu::Item* item = chosen->GetItem(index);
  if (item == nullptr || !item->Enabled() || item->IsSeparator() || item->submenu) return nullptr;
  chosen->SetChosenItemIndex(index);
  return chosen;
}

void IGraphics::PromptFile(std::string& fileName, bool save, std::string& folder, const char* extensions) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (!IsWindowOpen() || ClosePending()) {
    fileName.clear();
    return;
  }
  IFileRequest request;
  request.save = save;
  request.fileName = fileName;
  request.folder = folder.empty() ? DesktopFolder() : folder;
  // Folders kept without their last separator (as the configuration holds them) still start
  // the dialog inside the folder.
  if (!request.folder.empty() && request.folder.back() != '/' && request.folder.back() != '\\') {
    request.folder += platform::PathSeparator();
  }
  const char* p = extensions != nullptr ? extensions : "";
  while (*p != '\0') {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p != '\0' && *p != ' ') ++p;
    if (p > start) request.extensions.emplace_back(start, p);
  }
  for (const std::string& ext : request.extensions) {
    if (!request.pattern.empty()) request.pattern += ';';
    request.pattern += "*." + ext;
  }
  if (request.extensions.empty() && extensions != nullptr && extensions[0] != '\0') request.pattern = "*.";
  if (!request.extensions.empty()) request.defaultExtension = request.extensions.front();

  std::string path;
  const bool chosen = RunFileDialog(request, path) && !path.empty();
  InvalidateAll();
  if (!chosen) {
    fileName.clear();
    return;
  }
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  // A saved name without an extension gets the default one, as the system dialogs do.
  if (save && !request.defaultExtension.empty() &&
      (dot == std::string::npos || (slash != std::string::npos && dot < slash))) {
    path += "." + request.defaultExtension;
  }
  fileName = path;
  folder = slash != std::string::npos ? path.substr(0, slash + 1) : std::string();
}

bool IGraphics::OpenWebPage(const char* url, const char* caption, const char* confirmText, const char* errorText) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (url == nullptr || url[0] == '\0') return false;
  if (confirmText != nullptr && ShowMessage(confirmText, caption, IMessageButtons::kYesNo) != kMessageYes) return false;
  if (LaunchUrl(url)) return true;
  if (errorText != nullptr) ShowMessage(errorText, caption, IMessageButtons::kOK);
  return false;
}
