#pragma once
// Item kind codes: every page item carries one; the default-style table is keyed by it,
// and style sheets name most kinds by a selector name.

#include <cstdint>

#include "pagekit/pagekit_export.h"

enum : uint32_t {
    kKindText = 0x11,
    kKindEdit = 0x12,
    kKindCombo = 0x13,
    kKindRadio = 0x14,
    kKindImage = 0x15,
    kKindTime = 0x16,
    kKindPhoto = 0x17,
    kKindAnnex = 0x18,
    kKindButton = 0x21,
    kKindSlider = 0x22,
    kKindRicher = 0x31,
    kKindTree = 0x51,
    kKindGrider = 0x52,
    kKindTainer = 0x53,
    kKindFolder = 0x54,
    kKindPreview = 0x55,
    kKindTabbox = 0x61,
    kKindTable = 0x81,
    kKindFrame = 0x91,
    kKindViewer = 0x92,
    kKindTainerFrame = 0x98,
    kKindFloater = 0xA1,
    kKindToolbarPane = 0xA2,
    kKindMenubarPane = 0xA3,
    kKindSeparator = 0x100,
    kKindMenuItem = 0x101,
    kKindDropItem = 0x102,
    kKindComboItem = 0x103,
    kKindToolbarItem = 0x201,
    kKindMenubarItem = 0x202,
    kKindDockbarPane = 0x212,
    kKindActionItem = 0x231,
    kKindActionTree = 0x232,
    kKindTabFrame = 0x331,
    kKindMainFrame = 0x332,
    kKindStatusItem = 0x333,
};

// The kind a selector name stands for (ASCII case ignored), 0 when none. name need not
// be terminated: n bytes are compared.
PAGEKIT_EXPORT uint32_t FindItemKind(const char *name, unsigned n);
// The selector name of a kind, null for kinds that have none.
PAGEKIT_EXPORT const char *GetItemKindName(uint32_t kind);
