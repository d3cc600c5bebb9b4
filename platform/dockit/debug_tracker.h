#pragma once
// The process-wide diagnostic log. Nothing is written until a handler is installed.

#include "platform/dockit/dockit_export.h"

// Receives each logged message as one line of text (no line end) and the data given
// to ZEP_SetDebugProc. Called on the thread that logs; the handler serialises itself.
using ZEP_DebugProc = void (*)(void *data, const char16_t *text);

// Installs the handler (null removes it) and returns the one installed before.
DOCKIT_EXPORT ZEP_DebugProc ZEP_SetDebugProc(void *data, ZEP_DebugProc proc);

// Logs a message; null is ignored. Narrow messages are UTF-8.
DOCKIT_EXPORT void ZEP_DebugTracker(const char16_t *text);
DOCKIT_EXPORT void ZEP_DebugTracker(const char *text);
