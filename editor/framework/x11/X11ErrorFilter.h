// X errors on the plug-in's own display connections (a window the host destroyed under
// them) are not fatal: Xlib's default handler would end the host's process. Errors on any
// other connection go on to the handler that was there before.
#pragma once

#include <X11/Xlib.h>

// Any thread; registrations nest (the last one out puts the old handler back, unless
// someone replaced ours meanwhile). At most 64 connections at a time are filtered.
void RegisterQuietDisplay(Display* display);
void UnregisterQuietDisplay(Display* display);
