#pragma once
// The process-wide table of default descriptors by item kind and state. It is created on
// first use with the built-in defaults installed, lives for the process and takes no
// lock: it is built at start-up and read afterwards from the user-interface thread.

#include <cstdint>

#include "pagekit/core/style_desc.h"
#include "pagekit/pagekit_export.h"

// Reads a default-style sheet (rules "selector-list { declarations }") into the table.
// Each selector that is a single type name of the kind table overlays the rule onto
// (kind, state); rules whose selectors do not compile are skipped.
PAGEKIT_EXPORT void ParseDefaultStyle(const char *text);
// Reads a UTF-8 sheet file (optional byte-order mark, comments allowed) and parses it.
// Files of 7 bytes or less, UTF-16 files and unreadable files are ignored.
PAGEKIT_EXPORT void LoadDefaultStyleFile(const char16_t *path);

// The table's descriptor for exactly that kind and state, or null. The pointer stays
// owned by the table.
PAGEKIT_EXPORT const XStyleDesc *GetItemDefaultStyle(uint32_t kind, uint32_t state);
// Overlays every set field of desc onto the entry (kind, state), creating it as needed,
// with two exceptions: of the state word only the visibility is taken (never disabled or
// read-only), and the font flags are taken only together with a family. Setting the
// normal state first unsets the same fields in the kind's states 1...15 so that they
// inherit the new values. The table keeps its own copies of strings and never the
// descriptor's resolved caches.
PAGEKIT_EXPORT void SetItemDefaultStyle(uint32_t kind, uint32_t state, const XStyleDesc *desc);

// Private to the item styles: a new copy of the kind's chain (normal entry and its state
// variants linked through nextState), each record with its own strings; null when the
// kind has no entry. Release with FreeStyleChain.
PAGEKIT_EXPORT XStyleDesc *CopyDefaultStyleChain(uint32_t kind);
// Frees a chain linked through nextState, with the strings of every record.
PAGEKIT_EXPORT void FreeStyleChain(XStyleDesc *chain);
// Private to tests: puts `table` (a kind list taken from here before, or null for a new
// table that receives the built-ins on first use) in place of the process-wide table and
// returns the list it held, which the caller then owns (null when none was made yet).
PAGEKIT_EXPORT XStyleDesc *SwapDefaultStyleTable(XStyleDesc *table);
// Frees a kind list taken with SwapDefaultStyleTable: every entry with its state variants.
PAGEKIT_EXPORT void FreeDefaultStyleTable(XStyleDesc *table);
// Private: installs the built-in entries into the table (called once, when it is made).
void InstallBuiltinStyles();
