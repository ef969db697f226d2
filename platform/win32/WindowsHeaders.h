// The Windows headers as the platform layer uses them. <windows.h> maps WriteProfileString
// and WriteProfileSection to its own ANSI/wide calls by macro, which would rename the
// platform interface's functions of the same names; the macros go.
#pragma once

// Without the min/max macros and the rarely used parts (sockets, DDE, cryptography).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shlobj.h>

#undef WriteProfileString
#undef WriteProfileSection
