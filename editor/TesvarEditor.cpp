// The product's editor: the platform's window holding the panel.
#include "editor/TesvarEditor.h"

#include "editor/PanelLayout.h"
#include "editor/framework/IGraphics.h"
#include "editor/framework/PlatformGraphics.h"

EditorView* CreateTesvarEditor(Tesvar& plug) {
  // The menus come with the menu buttons' own work; until then MENU and BROWSE open nothing.
  return panel::AttachPanel(CreatePlatformGraphics(&plug, kEditorWidth, kEditorHeight), plug, nullptr);
}
