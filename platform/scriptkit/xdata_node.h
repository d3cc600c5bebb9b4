#pragma once
// A script value in a fixed 48-byte record: what row buffers hold and what packed-row
// comparison reads (nodes lie 48 bytes apart in an array).

#include <cstdint>

#include "platform/scriptkit/script_value.h"
#include "platform/scriptkit/scriptkit_export.h"

// What a node must give back when its value is dropped.
constexpr uint16_t kNodeBorrows = 0; // text and bytes point into storage the node does not own
constexpr uint16_t kNodeOwns = 1;    // text and bytes are heap blocks of the node (MemFree)
                                     // streams, tables and maps always hold one reference

struct XDataNode
{
    uint32_t id;        // item identifier of the value's source
    uint32_t dataClass; // item class of the value's source
    uint16_t type;      // value-type code; kValueNull when there is none
    uint16_t size;      // declared size of the source item
    int16_t isNull;     // 1 when the node has no value, whatever its type
    uint16_t hold;      // kNodeBorrows or kNodeOwns
    uint32_t tag;       // caller's word (the descriptor's flags position)
    uint32_t length;    // text units without terminator, or byte count
    XScriptValue_t value;
    XDataNode *next;       // link of argument lists
    const char16_t *label; // optional name of the value, not owned
};
static_assert(sizeof(XDataNode) == 48, "data nodes lie 48 bytes apart");

// Zeroes the node and marks it null (type kValueNull).
SCRIPTKIT_EXPORT void InitDataNode(XDataNode *node);
// Releases what the node holds (owned text or bytes, a reference) and marks it null;
// id, class, size and tag stay.
SCRIPTKIT_EXPORT void ClearDataNode(XDataNode *node);
// Sets node to a copy of src's value that node owns (text and bytes copied, references
// added); node's previous value is cleared first. src may be null (node becomes null).
SCRIPTKIT_EXPORT void CopyDataNode(XDataNode *node, const XDataNode *src);
// Non-zero when the node carries no value (null mark or type kValueNull).
inline int IsNullNode(const XDataNode *node)
{
    return node->isNull || node->type == kValueNull;
}
