// The panel's menus: the MENU button's utility menu, the BROWSE button's program menu, and
// the tape load dialog they bring with them. One per editor, owned by the panel layout.
// User-interface thread only (the editor's mouse handling).
#pragma once

#include <memory>

#include "editor/controls/PanelControl.h"

class Tesvar;

namespace menus {

class EditorMenus : public panel::PanelMenus {
 public:
  explicit EditorMenus(Tesvar& plug) : plug_(plug) {}

  // Builds the utility menu as the settings stand, pops it up at (x, y) and runs the picked
  // command; after any pick every control is redrawn. A dismissed menu does nothing.
  void UtilityMenu(IGraphics& graphics, int x, int y) override;
  // Builds the program menu, pops it up at (x, y) and switches to the picked program.
  void ProgramMenu(IGraphics& graphics, int x, int y) override;
  // The tape load dialog, which command 8 shows.
  IControl* CreateOverlay() override;

 private:
  Tesvar& plug_;
  IControl* tapeDialog_ = nullptr;  // owned by the editor
  bool zoomRefusalShown_ = false;   // the user was told once that the host kept its size
};

// The product's panel with these menus in an editor (null when graphics is null).
EditorView* AttachPanelWithMenus(IGraphics* graphics, Tesvar& plug);

}  // namespace menus
