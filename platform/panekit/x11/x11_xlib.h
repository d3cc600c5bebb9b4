#pragma once
// Xlib for the X11 sources of the library. Xlib names its image record `XImage`, as the
// library names its picture class, so Xlib's record is included as `XlibImage`; Xlib's
// function names are C symbols and link the same. Every X11 source includes Xlib only
// through this header. Xlib's macros that collide with C++ code (None, Bool, Status,
// True, False ...) stay defined, so include this after the library's own headers.

#define XImage XlibImage
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#undef XImage
