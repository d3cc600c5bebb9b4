#pragma once
// XML and archive forms of item data descriptors, and the text helpers built on them.

#include <cstdint>

#include "datakit/datakit_export.h"
#include "datakit/item_data_desc.h"

class XDomWriter;
class XML_Node;
class XMF_Archive;
class XString;

// Property code of a descriptor in the archive form, and the section of a table value.
constexpr uint16_t kItemDescProperty = 4097;
constexpr uint16_t kItemTableSection = 12289;

// Reads the element's attributes "id", "type", "size", "name" (cut to 31 units),
// "class", "default" (names ASCII case ignored); every child element becomes a chained
// descriptor with the same attributes and "keyer". The descriptor should have no chain.
// Returns 1.
DATAKIT_EXPORT int LoadItemDesc(XItemDataDesc *desc, XML_Node *node);
// Writes element "data" with one empty "item" per chained descriptor. 0 when the
// writer refuses a step.
DATAKIT_EXPORT int SaveItemDesc(const XItemDataDesc *desc, XDomWriter *writer);

// Writes section `code` with property 4097 for the descriptor and each chained one.
// Returns the result of closing the section; 0 when a write fails.
DATAKIT_EXPORT int SaveItemDesc(uint16_t code, const XItemDataDesc *desc, XMF_Archive *archive);
// Called after the section start was read: releases the chain, then reads properties
// 4097 (and legacy sections with code 1) into the descriptor and new chained ones up to
// the end of the section (1). A malformed property gives 0 and leaves the descriptor it
// would have filled as it was; descriptors read before it stay.
DATAKIT_EXPORT int LoadItemDesc(XItemDataDesc *desc, XMF_Archive *archive);

// A code-list text of the table's rows into out; returns its length.
DATAKIT_EXPORT uint32_t MakeDatabase(const XRowGrider *table, XString *out, int withHeader,
                                     const char16_t *header);

// Room dst needs for FormatNumber of a source of n units, terminator included.
constexpr uint32_t FormatNumberRoom(uint32_t n)
{
    return 2 * n + 16;
}
// Rewrites a decimal number text (optional "-", digits, optional "." and fraction) by
// mode: 0 copy, 1 thousands separators, 2-4 Chinese number words (4: money), 5-6 digit
// by digit words. dst needs FormatNumberRoom(Strlen(src)) units. Another mode leaves
// dst untouched. Returns the units written (without terminator).
DATAKIT_EXPORT uint32_t FormatNumber(int mode, const char16_t *src, char16_t *dst);
