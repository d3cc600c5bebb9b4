#pragma once
// Reading the desktop's work area from an open X display.

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/x11/x11_xlib.h"

// The current desktop's _NET_WORKAREA, or the whole default screen when the window
// manager publishes none. Non-zero on success.
int ReadX11WorkArea(Display *display, BOUND_t *area);
