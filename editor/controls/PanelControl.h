// What the panel's own controls share: the way to their plug-in's programmer, the look cache
// that lets the panel redraw only the controls whose look changed, and the hooks through
// which the MENU and BROWSE buttons open their menus. User-interface thread only.
#pragma once

#include <cstdint>

#include "editor/Panel.h"
#include "editor/framework/IControl.h"
#include "engine/Tesvar.h"

class IGraphics;

namespace panel {

// A control whose look follows the programmer or the plug-in rather than (only) its own
// value: lamps, displays, lit buttons, the voices digits, the program name.
class StateControl {
 public:
  virtual ~StateControl() = default;
  // Asks for a redraw when the look differs from the one last drawn; answers whether it did.
  virtual bool RefreshLook() = 0;
};

// The last look drawn, as one number (a frame, a display code, a packed set of flags).
class LookCache {
 public:
  // Called by Draw with the look it draws.
  void Drawn(std::uint64_t look) {
    drawn_ = look;
    valid_ = true;
  }
  bool Differs(std::uint64_t look) const { return !valid_ || look != drawn_; }
  // The control is redrawn when look is not the one drawn last; answers whether it was.
  bool RedrawIfChanged(IControl& control, std::uint64_t look) const {
    if (!Differs(look)) return false;
    control.Redraw();
    return true;
  }

 private:
  std::uint64_t drawn_ = 0;
  bool valid_ = false;
};

// The two pop-up menus of the panel, opened by the MENU and BROWSE buttons at a point of the
// editor. Supplied by the menus; without them the buttons press and release but open nothing.
class PanelMenus {
 public:
  virtual ~PanelMenus() = default;
  virtual void UtilityMenu(IGraphics& graphics, int x, int y) = 0;
  virtual void ProgramMenu(IGraphics& graphics, int x, int y) = 0;
};

// The mouse came over a control (on) or left it: the hover flag changes and the control is
// redrawn when it did.
inline void SetHover(IControl& control, bool& hover, bool on) {
  if (hover == on) return;
  hover = on;
  control.Redraw();
}

// A click made without the left button (the right-button flag of the panel's commands).
inline bool NotLeftClick(const IMouseMod& mod) { return !mod.left; }

// A bounded hash of a text, for looks that are texts.
inline std::uint64_t TextLook(const char* text) {
  std::uint64_t h = 1469598103934665603ull;
  for (; text != nullptr && *text != '\0'; ++text) h = (h ^ static_cast<unsigned char>(*text)) * 1099511628211ull;
  return h;
}

}  // namespace panel
