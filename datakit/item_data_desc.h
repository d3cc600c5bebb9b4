#pragma once
// Item data descriptors: one data item of a form (identity, value type, size, name) with
// its current value, a null mark and a modified mark. A table descriptor owns a chain of
// column descriptors. Value-type codes are those of platform/scriptkit/script_value.h.
//
// Setters return 0 when the descriptor's type does not take the value (nothing
// changes), 1 when nothing changed and 2 when the value or the null state changed; a
// change sets `modified`, and leaving null always counts as a change.

#include <cstdint>

#include "corekit/systime/systime.h"
#include "datakit/datakit_export.h"
#include "platform/scriptkit/script_value.h"

class IArchive;
class XRowGrider;
class XRowBuffer;
class XVariable;
struct XDataNode;

// Stored type code read as kValueTable.
constexpr uint16_t kLegacyTableType = 143;
// Units of a descriptor name, terminator included.
constexpr uint32_t kItemNameUnits = 32;

union XItemValue_t {
    int64_t integer;   // type 1, sign-extended from the width `size` gives
    double floater;    // type 3
    DATETIME_t time;   // type 4
    char16_t *text;    // types 2 and 14: owned, `capacity` units
    uint8_t *bytes;    // type 10: owned block, u32 length then bytes; `capacity` bytes
    IArchive *stream;  // type 17: one reference
    XRowGrider *table; // type 129: one reference
};
static_assert(sizeof(XItemValue_t) == 8, "the value word is eight bytes");

struct XItemDataDesc
{
    uint32_t id;        // item identifier
    uint32_t dataClass; // item class
    uint16_t type;      // value-type code
    uint16_t size;      // integer width (<4: 16-bit, 4-7: 32-bit, 8+: 64-bit), text units
                        // with terminator, or byte limit; 0 puts no limit on text or bytes
    int16_t modified;   // 1 after any change of value or null state
    int16_t isNull;     // 1 when the item has no value
    XItemValue_t value;
    uint32_t flags;     // 15 initially; carried through save and load
    uint32_t extra;     // carried through save and load
    uint32_t capacity;  // units of the text buffer, or bytes of the byte block
    char16_t *defValue; // default-value text, owned, or null
    char16_t *keyer;    // key text of a column descriptor, owned, or null
    char16_t name[kItemNameUnits];
    XItemDataDesc *next; // next descriptor of the chain (the columns of a table)
};

// ---- Lifecycle --------------------------------------------------------------------

// A new zeroed descriptor (type 0) with flags 15 and isNull 1; release with
// ReleaseItemDesc and then ReleaseItemNode.
DATAKIT_EXPORT XItemDataDesc *MallocItemDesc();
// Zeroes the descriptor (nothing is released) and sets flags 15, isNull 1, type 2, size 32.
DATAKIT_EXPORT void InitItemDesc(XItemDataDesc *desc);
// Frees the value storage (text, bytes; stream or table released), capacity 0, isNull 1.
// Name, texts and chain stay.
DATAKIT_EXPORT void ClearItemDesc(XItemDataDesc *desc);
// Frees value storage and both texts, then the descriptor itself (not its chain).
DATAKIT_EXPORT void ReleaseItemNode(XItemDataDesc *desc);
// Frees value storage and texts of the descriptor and of every chained one, frees the
// chained descriptors (not the first) and clears `next`.
DATAKIT_EXPORT void ReleaseItemDesc(XItemDataDesc *desc);
// Width of the item in a packed row: size x 2 for text types, else size.
DATAKIT_EXPORT uint32_t SizeOfDesc(const XItemDataDesc *desc);
// dst's value storage freed and dst marked null; with a source its class, id, type and
// size are copied and, when the source is not null, its value (text and bytes as fresh
// copies). Streams and tables are not copied: dst stays null.
DATAKIT_EXPORT void CopyItemDesc(XItemDataDesc *dst, const XItemDataDesc *src);

// ---- Assigning values -----------------------------------------------------------------

// Already null: 1. Else null and modified; a stream or table is released (text buffers
// and byte blocks stay for reuse): 2.
DATAKIT_EXPORT int SetItemNull(XItemDataDesc *desc);
// Types 1 (cut to the width of `size`) and 3 (as double).
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, int value);
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, int64_t value);
// Type 1 takes the value cut toward zero and saturated at the width's limits (NaN: 0);
// type 3 stores it.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, double value);
// Types 2 and 14: null text makes the item null; a text of `size` units or more is cut
// to size - 1. Type 4: the text read by ParseTime with the default format; unreadable: 0.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, const char16_t *text);
// Type 10: a block (u32 length, then the bytes); at most `size` bytes are kept.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, const uint8_t *block);
// Type 4.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, const DATETIME_t &time);
// Type 17: takes a reference to the stream (null: the item becomes null); 2.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, IArchive *stream);
// Type 129: without a column chain the table is held; with a chain of n columns a table
// of n columns is held, another one has its rows appended to the held table (a new one
// made from the chain when none is held). Null makes the item null. 2 otherwise.
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, XRowGrider *table);
// As the table setter, with `count` column descriptors (a chain starting at columns) and
// their flags: a table of `count` columns gets the flags (SetItemKape) and is held.
DATAKIT_EXPORT int SetItemGrider(XItemDataDesc *desc, XRowGrider *table,
                                 const XItemDataDesc *columns, const uint32_t *flags,
                                 uint32_t count);
// Dispatch on the carrier's type code (1, 2, 3, 4, 10, 17, 129; 64 or a null-marked node
// make the item null). Another code makes the item null and gives 0; a null carrier
// makes the item null (1 when it was, else 2).
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, const XVariable *value);
DATAKIT_EXPORT int SetItemValue(XItemDataDesc *desc, const XDataNode *node);

// ---- Reading ------------------------------------------------------------------------

// Appends a node to the buffer with the descriptor's id, class, size, type (14 as 2) and
// `tag`, and its value when not null: text and bytes point at the descriptor's own
// storage (the node must not outlive it), streams and tables gain a reference. 1.
DATAKIT_EXPORT int GetItemValue(const XItemDataDesc *desc, XRowBuffer *buffer, uint32_t tag);

// ---- Comparison: -1, 0, 1, or 2 when the values cannot be compared -----------------
// Null sorts before any value, two nulls are equal; integers compare as signed values of
// the width `size` gives; text case-sensitively; doubles numerically; times by
// CompareTime; other types give 2.

// Two values of one item (pointers to the values; for text, to the characters).
DATAKIT_EXPORT int CompareSuber(const void *first, int firstNull, const void *second,
                                int secondNull, const XItemDataDesc *desc);
// Two packed rows of `count` columns described by the chain `columns`; nulls (one byte
// per column, non-zero null; a null array means no nulls). The first difference decides.
DATAKIT_EXPORT int CompareSuber(const void *firstRow, const uint8_t *firstNulls,
                                const void *secondRow, const uint8_t *secondNulls,
                                const XItemDataDesc *columns, uint32_t count);
// A packed row against `count` data nodes; a non-null node's type must equal the
// column's (2 for text), else 2.
DATAKIT_EXPORT int CompareSuber(const void *row, const uint8_t *nulls, const XItemDataDesc *columns,
                                const XDataNode *nodes, uint32_t count);
