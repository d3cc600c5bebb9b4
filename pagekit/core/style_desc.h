#pragma once
// The style descriptor of the page items: the painter's style record
// (platform/panekit/paint/style_record.h) with the functions that initialise, copy and
// free it. Parsing and formatting are in style_text.h.

#include "pagekit/pagekit_export.h"
#include "platform/panekit/paint/style_record.h"

// Fills the record with its initial values: everything unset, border colours 0.
PAGEKIT_EXPORT void InitStyleDesc(XStyleDesc *desc);
// Frees the family, the content and the background source (name or gradient) and sets
// them to null; the background word is left alone.
PAGEKIT_EXPORT void FreeStyleDescStrings(XStyleDesc *desc);
// Frees the background source alone and sets it to null.
PAGEKIT_EXPORT void FreeStyleBackSource(XStyleDesc *desc);
// dst = src with its own copies of family, content and background source, resolved
// caches cleared and both list links null. dst must not hold strings of its own.
PAGEKIT_EXPORT void CopyStyleDesc(XStyleDesc *dst, const XStyleDesc *src);
