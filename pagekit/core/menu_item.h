#pragma once
// Menu entries: the records callers fill to pop up menus and drop lists, and refill
// existing selectors with.

#include <cstdint>

#include "pagekit/pagekit_export.h"

// Entry flags (XMenuItem::flags).
enum : uint32_t {
    kMenuDisabled = 0x1, // shown greyed, never chosen
    kMenuChecked = 0x2,  // the check mark before the text
    kMenuSubmenu = 0x10, // opens a sub-menu (the hoster is asked to open it)
    kMenuSkipped = 256,  // flags of this value and above: the entry is not shown at all
};

// One menu entry, fields in the system's order (the size is free: pointers are 64-bit).
struct XMenuItem
{
    uint32_t code;        // command code; 0 makes a separator
    int32_t icon;         // icon index; -1 none
    uint32_t flags;       // kMenu*
    uint32_t reserved1;   //
    const char16_t *text; // UTF-16, not owned; '&' before the access letter, a tab before
                          // the shortcut text drawn right-aligned
    uintptr_t reserved2;
    uintptr_t reserved3;
};

// Zeroes the entry (icon included: 0) and sets code, flags and text. Nothing for null.
PAGEKIT_EXPORT void SetupMenuItem(XMenuItem *item, unsigned code, uint32_t flags,
                                  const char16_t *text);
