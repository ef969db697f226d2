// The product's editor: the platform's window holding the panel and its menus.
#include "editor/TesvarEditor.h"

#include "editor/EditorMenus.h"
#include "editor/framework/IGraphics.h"
#include "editor/framework/PlatformGraphics.h"

EditorView* CreateTesvarEditor(Tesvar& plug) {
  return menus::AttachPanelWithMenus(CreatePlatformGraphics(&plug, kEditorWidth, kEditorHeight), plug);
}
