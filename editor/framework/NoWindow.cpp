// Platforms without a window library have no editor.
#include "editor/framework/PlatformGraphics.h"

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height) { return nullptr; }
