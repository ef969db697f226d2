// Shared by the menu tests: an instance whose editor is the panel with its menus in a
// headless window (dialogs answered from a script), and the ways to reach the menus.
#pragma once

#include "editor/EditorMenus.h"
#include "editor/Menus.h"
#include "editor/UtilityCommands.h"
#include "tape/TapeLoadDialog.h"
#include "tests/editor/PanelEditorTestSupport.h"

namespace menus_test {

// The system's path separator, as the file dialogs end their folders with it.
inline std::string Slash() { return std::string(1, platform::PathSeparator()); }

inline EditorView* HeadlessPanelWithMenus(Tesvar& plug) {
  return menus::AttachPanelWithMenus(new IGraphicsHeadless(&plug, 1032, 588), plug);
}

// The depth-first identifier of a utility command's item, as a platform answers a pick.
inline int UtilityItemId(int command) {
  menus::UtilityMenu model(menus::UtilityMenuState{}, "host");
  IPopupMenu& top = model.Menu();
  struct Sub {
    int item;
    int offset;
    int count;
  };
  const Sub subs[] = {{menus::kLoadProgramMenu, menus::UtilityMenu::kOffsetA, 5},
                      {menus::kLoadBankMenu, menus::UtilityMenu::kOffsetB, 5},
                      {menus::kMidiSettingsMenu, menus::UtilityMenu::kOffsetC, 2},
                      {menus::kGoOnlineMenu, menus::UtilityMenu::kOffsetD, 2},
                      {menus::kZoomMenu, menus::UtilityMenu::kOffsetE, 6}};
  for (const Sub& s : subs) {
    if (command >= s.offset && command < s.offset + s.count)
      return top.IdentifierOf(0, s.item) + 1 + command - s.offset;
  }
  return top.IdentifierOf(0, command);
}

class MenusTest : public panel_test::PanelEditorTest {
 protected:
  void SetUp() override {
    PanelEditorTest::SetUp();
    menus::ForgetFolderMemories();
  }
  void TearDown() override {
    menus::ForgetFolderMemories();
    PanelEditorTest::TearDown();
  }
  Tesvar& MakeMenusEditor() {
    Tesvar& plug = MakeWithFactory(HeadlessPanelWithMenus);
    Open(plug);
    return plug;
  }
  static IQMTapeLoadDialog* TapeDialog(Tesvar& plug) {
    IGraphics& g = Graphics(plug);
    for (int i = g.NControls() - 1; i >= 0; --i) {
      if (auto* dialog = dynamic_cast<IQMTapeLoadDialog*>(g.GetControl(i))) return dialog;
    }
    return nullptr;
  }
  // Runs a command as the handler does after a pick.
  static void Run(Tesvar& plug, int command) {
    menus::UtilityCommands(plug, Graphics(plug), TapeDialog(plug)).Run(command);
  }
  // Clicks MENU (main view, or the alternative view's) and picks the command's item.
  static void PickFromMenu(Tesvar& plug, int command, bool altView = false) {
    Graphics(plug).ScriptMenuPick(UtilityItemId(command));
    ClickKey(plug, altView ? panel::kUtilityMenu + panel::kAltViewKeyOffset : panel::kUtilityMenu);
  }
  // The last message shown as "text|caption".
  static std::string LastMessage(Tesvar& plug) {
    const auto& shown = Graphics(plug).Messages();
    return shown.empty() ? std::string() : shown.back().text + "|" + shown.back().caption;
  }
  static std::size_t MessageCount(Tesvar& plug) { return Graphics(plug).Messages().size(); }
  static void Rename(Tesvar& plug, const char* name) {
    platform::Guard guard(plug.Lock());
    plug.ModifyCurrentPreset(name);
  }
};

}  // namespace menus_test
