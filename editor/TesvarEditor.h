// The product's editor: the platform's window holding the panel layout. The product's
// constructor attaches what this builds (EditorFactory).
#pragma once

#include "editor/Layout.h"
#include "engine/Tesvar.h"

// The editor size the layout asks for.
constexpr int kEditorWidth = panel::kPanelWidth;
constexpr int kEditorHeight = panel::kPanelHeight;

// Null when the platform has no editor window.
EditorView* CreateTesvarEditor(Tesvar& plug);
