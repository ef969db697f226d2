// The one place that knows which window system an editor uses: each platform's window
// library defines this (x11/ on Linux; the Windows window library on Windows).
#pragma once

class IGraphics;
class IPlugBase;

// A new editor of the given size whose window opens inside the host's window; null when the
// platform has no window library.
IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height);
