// What the Windows editor's files share: the Windows headers and the module that holds the
// window procedures and resources.
#pragma once

#include "gfx/LICE.h"
#include "platform/win32/WindowsHeaders.h"

namespace win32ui {

// The module this code is linked into (the plug-in library, or a test program): window
// classes and resources belong to it.
HINSTANCE OwnModule();

// A drawing-layer colour as GDI takes it.
inline COLORREF ColorRef(LICE_pixel p) { return RGB(LICE_GETR(p), LICE_GETG(p), LICE_GETB(p)); }

}  // namespace win32ui
