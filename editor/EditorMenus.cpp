// Opening the two menus and acting on the pick.
#include "editor/EditorMenus.h"

#include <string>
#include <vector>

#include "editor/Menus.h"
#include "editor/PanelLayout.h"
#include "editor/UtilityCommands.h"
#include "editor/framework/IGraphics.h"
#include "engine/Tesvar.h"
#include "shell/UpdateCheck.h"
#include "tape/TapeLoadDialog.h"

namespace menus {

void EditorMenus::UtilityMenu(IGraphics& graphics, int x, int y) {
  UtilityMenuState state;
  const shell::Configuration& settings = plug_.Settings();
  state.canPaste = plug_.HasCopiedProgram();
  state.hasStartupBank = !settings.startupBank.empty();
  state.showParameters = settings.showParameters;
  state.openAltView = settings.openAltView;
  state.midiThru = settings.midiThru;
  state.ignoreProgramChange = settings.ignoreProgramChange;
  state.zoom = ZoomSetting(plug_);
  menus::UtilityMenu menu(state, shell::kMakerHost);
  const int command = menu.CommandFor(graphics.PopupMenu(menu.Menu(), IRect(x, y, x, y)));
  if (command == kNoCommand) return;
  UtilityCommands(plug_, graphics, tapeDialog_, &zoomRefusalShown_).Run(command);
  graphics.RedrawAll();
}

void EditorMenus::ProgramMenu(IGraphics& graphics, int x, int y) {
  std::vector<std::string> names;
  int current = 0;
  {
    platform::Guard guard(plug_.Lock());
    for (int i = 0; i < plug_.ProgramCount(); ++i) names.push_back(plug_.ProgramName(i));
    current = plug_.CurrentProgram();
  }
  menus::ProgramMenu menu(names, current);
  const int program = menu.ProgramFor(graphics.PopupMenu(menu.Menu(), IRect(x, y, x, y)));
  if (program >= 0) plug_.SwitchProgram(program);
}

IControl* EditorMenus::CreateOverlay() {
  tapeDialog_ = new IQMTapeLoadDialog(&plug_);
  return tapeDialog_;
}

EditorView* AttachPanelWithMenus(IGraphics* graphics, Tesvar& plug) {
  // The user's zoom from the settings file decides the size before a host first asks for it.
  if (graphics != nullptr) graphics->SetUserZoom(ZoomSetting(plug));
  return panel::AttachPanel(graphics, plug, std::make_unique<EditorMenus>(plug));
}

}  // namespace menus
