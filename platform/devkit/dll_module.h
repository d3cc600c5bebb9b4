#pragma once
// Loading shared modules at run time.

#include "platform/devkit/devkit_export.h"

// Loads the module at path (`\` or `/` separated); null on failure. A module loaded
// twice is counted, and FreeDllModule must be called as often.
DEVKIT_EXPORT void *LoadDllModule(const char16_t *path);
// The address of the exported function `name`, null when the module lacks it.
DEVKIT_EXPORT void *GetDllFunction(void *module, const char *name);
// Releases a module from LoadDllModule. Null is ignored.
DEVKIT_EXPORT void FreeDllModule(void *module);
