// Descriptor lifecycle and the value setters.
#include "datakit/item_data_desc.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "platform/scriptkit/xdata_node.h"
#include "platform/scriptkit/xrow_buffer.h"
#include "platform/scriptkit/xrow_grider.h"
#include "platform/scriptkit/xvariable.h"

namespace {

constexpr uint32_t kInitialFlags = 15;

bool IsTextType(uint16_t type)
{
    return type == kValueText || type == kValueText2;
}

// Gives back the value storage the type says the descriptor holds.
void FreeValue(XItemDataDesc *desc)
{
    if (IsTextType(desc->type))
        MemFree(desc->value.text);
    else if (desc->type == kValueBytes)
        MemFree(desc->value.bytes);
    else if (desc->type == kValueStream && desc->value.stream)
        desc->value.stream->Release();
    else if (desc->type == kValueTable && desc->value.table)
        desc->value.table->Release();
    desc->value.integer = 0;
    desc->capacity = 0;
}

void FreeTexts(XItemDataDesc *desc)
{
    MemFree(desc->defValue);
    MemFree(desc->keyer);
    desc->defValue = nullptr;
    desc->keyer = nullptr;
}

// Marks a change of value or null state.
int Changed(XItemDataDesc *desc)
{
    desc->isNull = 0;
    desc->modified = 1;
    return 2;
}

// The integer cut to the width that `size` gives, sign-extended.
int64_t CutInteger(int64_t v, uint16_t size)
{
    if (size < 4)
        return static_cast<int16_t>(v);
    if (size < 8)
        return static_cast<int32_t>(v);
    return v;
}

// A double cut toward zero into the width of `size`, saturated at its limits.
int64_t FloaterToWidth(double x, uint16_t size)
{
    double lo = size < 4 ? -32768.0 : size < 8 ? -2147483648.0 : -9223372036854775808.0;
    double hi = size < 4 ? 32767.0 : size < 8 ? 2147483647.0 : 9223372036854775807.0;
    if (std::isnan(x))
        return 0;
    if (x <= lo)
        return static_cast<int64_t>(lo);
    if (x >= hi)
        return size < 8 ? static_cast<int64_t>(hi) : INT64_MAX;
    return static_cast<int64_t>(x);
}

int StoreInteger(XItemDataDesc *desc, int64_t v)
{
    if (!desc->isNull && desc->value.integer == v)
        return 1;
    desc->value.integer = v;
    return Changed(desc);
}

int StoreFloater(XItemDataDesc *desc, double v)
{
    if (!desc->isNull && std::memcmp(&desc->value.floater, &v, sizeof(v)) == 0)
        return 1;
    desc->value.floater = v;
    return Changed(desc);
}

// Holds a new reference to the table, given back after the old one.
int HoldTable(XItemDataDesc *desc, XRowGrider *table)
{
    table->AddRef();
    XRowGrider *old = desc->isNull ? nullptr : desc->value.table;
    desc->value.table = table;
    if (old)
        old->Release();
    return Changed(desc);
}

uint32_t ChainLength(const XItemDataDesc *first)
{
    uint32_t n = 0;
    for (; first; first = first->next)
        ++n;
    return n;
}

// Column records of up to count descriptors of a chain.
std::vector<XGridColumn_t> ChainColumns(const XItemDataDesc *first, uint32_t count)
{
    std::vector<XGridColumn_t> columns;
    for (; first && columns.size() < count; first = first->next) {
        XGridColumn_t c{};
        c.id = first->id;
        c.type = first->type == kLegacyTableType ? kValueTable : first->type;
        c.size = first->size;
        c.flags = first->flags;
        std::memcpy(c.name, first->name, sizeof(c.name));
        c.name[kItemNameUnits - 1] = 0;
        columns.push_back(c);
    }
    return columns;
}

// Rows of `table` appended to the held table, made from the columns when none is held.
int AppendTable(XItemDataDesc *desc, XRowGrider *table, const XItemDataDesc *columns,
                const uint32_t *flags, uint32_t count)
{
    XRowGrider *held = desc->isNull ? nullptr : desc->value.table;
    if (!held) {
        std::vector<XGridColumn_t> cols = ChainColumns(columns, count);
        held = XRowGrider::Malloc();
        held->SetItemDesc(cols.data(), flags, static_cast<uint32_t>(cols.size()));
        desc->value.table = held;
    }
    held->AddGrider(table, 0);
    return Changed(desc);
}

} // namespace

// ---- Lifecycle --------------------------------------------------------------------

XItemDataDesc *MallocItemDesc()
{
    auto *desc = static_cast<XItemDataDesc *>(MemAlloc(sizeof(XItemDataDesc)));
    std::memset(desc, 0, sizeof(*desc));
    desc->flags = kInitialFlags;
    desc->isNull = 1;
    return desc;
}

void InitItemDesc(XItemDataDesc *desc)
{
    std::memset(desc, 0, sizeof(*desc));
    desc->flags = kInitialFlags;
    desc->isNull = 1;
    desc->type = kValueText;
    desc->size = 32;
}

void ClearItemDesc(XItemDataDesc *desc)
{
    FreeValue(desc);
    desc->isNull = 1;
}

void ReleaseItemNode(XItemDataDesc *desc)
{
    if (!desc)
        return;
    FreeValue(desc);
    FreeTexts(desc);
    MemFree(desc);
}

void ReleaseItemDesc(XItemDataDesc *desc)
{
    if (!desc)
        return;
    XItemDataDesc *next = desc->next;
    FreeValue(desc);
    FreeTexts(desc);
    desc->isNull = 1;
    desc->next = nullptr;
    while (next) {
        XItemDataDesc *after = next->next;
        ReleaseItemNode(next);
        next = after;
    }
}

uint32_t SizeOfDesc(const XItemDataDesc *desc)
{
    return IsTextType(desc->type) ? 2u * desc->size : desc->size;
}

void CopyItemDesc(XItemDataDesc *dst, const XItemDataDesc *src)
{
    if (dst == src)
        return;
    ClearItemDesc(dst);
    if (!src)
        return;
    dst->dataClass = src->dataClass;
    dst->id = src->id;
    dst->type = src->type;
    dst->size = src->size;
    if (src->isNull)
        return;
    switch (src->type) {
    case kValueInteger:
    case kValueFloater:
    case kValueTime:
        dst->value = src->value;
        dst->isNull = 0;
        break;
    case kValueText:
    case kValueText2:
        if (src->value.text) {
            dst->value.text = StrAlloc(src->value.text);
            dst->capacity = Strlen(src->value.text) + 1;
            dst->isNull = 0;
        }
        break;
    case kValueBytes:
        if (src->value.bytes) {
            uint32_t n = GetBlockLength(src->value.bytes) + 4;
            dst->value.bytes = static_cast<uint8_t *>(MemAlloc(n));
            std::memcpy(dst->value.bytes, src->value.bytes, n);
            dst->capacity = n;
            dst->isNull = 0;
        }
        break;
    default:
        break;
    }
}

// ---- Setters ----------------------------------------------------------------------

int SetItemNull(XItemDataDesc *desc)
{
    if (desc->isNull)
        return 1;
    if (desc->type == kValueStream || desc->type == kValueTable) {
        XItemValue_t old = desc->value;
        desc->value.integer = 0;
        if (desc->type == kValueStream && old.stream)
            old.stream->Release();
        if (desc->type == kValueTable && old.table)
            old.table->Release();
    }
    desc->isNull = 1;
    desc->modified = 1;
    return 2;
}

int SetItemValue(XItemDataDesc *desc, int value)
{
    return SetItemValue(desc, static_cast<int64_t>(value));
}

int SetItemValue(XItemDataDesc *desc, int64_t value)
{
    if (desc->type == kValueInteger)
        return StoreInteger(desc, CutInteger(value, desc->size));
    if (desc->type == kValueFloater)
        return StoreFloater(desc, static_cast<double>(value));
    return 0;
}

int SetItemValue(XItemDataDesc *desc, double value)
{
    if (desc->type == kValueInteger)
        return StoreInteger(desc, FloaterToWidth(value, desc->size));
    if (desc->type == kValueFloater)
        return StoreFloater(desc, value);
    return 0;
}

static int SetItemText(XItemDataDesc *desc, const char16_t *text)
{
    if (!text)
        return SetItemNull(desc);
    // The units kept: all of the text, or size - 1 of a longer one.
    uint32_t limit = desc->size ? desc->size - 1u : 0xFFFFFFFFu;
    uint32_t n = 0;
    while (n < limit && text[n])
        ++n;
    char16_t *held = desc->value.text;
    if (!desc->isNull && held) {
        uint32_t i = 0; // stops at the held terminator, since text[i] is not 0 below n
        while (i < n && held[i] == text[i])
            ++i;
        if (i == n && held[n] == 0)
            return 1;
    }
    if (!held || desc->capacity < n + 1) {
        char16_t *grown = StrAlloc(n + 1);
        std::memcpy(grown, text, n * sizeof(char16_t));
        MemFree(held);
        held = grown;
        desc->value.text = held;
        desc->capacity = n + 1;
    } else {
        std::memmove(held, text, n * sizeof(char16_t));
    }
    held[n] = 0;
    return Changed(desc);
}

int SetItemValue(XItemDataDesc *desc, const char16_t *text)
{
    if (IsTextType(desc->type))
        return SetItemText(desc, text);
    if (desc->type != kValueTime)
        return 0;
    if (!text)
        return SetItemNull(desc);
    DATETIME_t t{};
    if (!ParseTime(&t, text, nullptr))
        return 0;
    return SetItemValue(desc, t);
}

int SetItemValue(XItemDataDesc *desc, const uint8_t *block)
{
    if (desc->type != kValueBytes)
        return 0;
    if (!block)
        return SetItemNull(desc);
    uint32_t n = GetBlockLength(block);
    if (desc->size && n > desc->size)
        n = desc->size;
    uint8_t *held = desc->value.bytes;
    if (!desc->isNull && held && GetBlockLength(held) == n &&
        std::memcmp(held + 4, block + 4, n) == 0)
        return 1;
    if (!held || desc->capacity < n + 4) {
        auto *grown = static_cast<uint8_t *>(MemAlloc(n + 4));
        std::memcpy(grown + 4, block + 4, n);
        MemFree(held);
        held = grown;
        desc->value.bytes = held;
        desc->capacity = n + 4;
    } else {
        std::memmove(held + 4, block + 4, n);
    }
    std::memcpy(held, &n, 4);
    return Changed(desc);
}

int SetItemValue(XItemDataDesc *desc, const DATETIME_t &time)
{
    if (desc->type != kValueTime)
        return 0;
    if (!desc->isNull && std::memcmp(&desc->value.time, &time, sizeof(time)) == 0)
        return 1;
    desc->value.integer = 0;
    desc->value.time = time;
    return Changed(desc);
}

int SetItemValue(XItemDataDesc *desc, IArchive *stream)
{
    if (desc->type != kValueStream)
        return 0;
    if (!stream)
        return SetItemNull(desc);
    stream->AddRef();
    IArchive *old = desc->isNull ? nullptr : desc->value.stream;
    desc->value.stream = stream;
    if (old)
        old->Release();
    return Changed(desc);
}

int SetItemValue(XItemDataDesc *desc, XRowGrider *table)
{
    if (desc->type != kValueTable)
        return 0;
    if (!table)
        return SetItemNull(desc);
    uint32_t n = ChainLength(desc->next);
    if (n == 0 || table->GetColCount() == n)
        return HoldTable(desc, table);
    return AppendTable(desc, table, desc->next, nullptr, n);
}

int SetItemGrider(XItemDataDesc *desc, XRowGrider *table, const XItemDataDesc *columns,
                  const uint32_t *flags, uint32_t count)
{
    if (desc->type != kValueTable)
        return 0;
    if (!table)
        return SetItemNull(desc);
    if (table->GetColCount() == count) {
        table->SetItemKape(flags, count);
        return HoldTable(desc, table);
    }
    return AppendTable(desc, table, columns, flags, count);
}

// The carrier's value by its type code, shared by variables and nodes.
static int SetCarried(XItemDataDesc *desc, uint16_t type, const XScriptValue_t &value)
{
    switch (type) {
    case kValueInteger:
        return SetItemValue(desc, value.integer);
    case kValueFloater:
        return SetItemValue(desc, value.floater);
    case kValueTime:
        return SetItemValue(desc, value.time);
    case kValueText:
    case kValueText2:
        return SetItemValue(desc, value.text);
    case kValueBytes:
        return SetItemValue(desc, value.bytes);
    case kValueStream:
        return SetItemValue(desc, value.stream);
    case kValueTable:
        return SetItemValue(desc, value.table);
    case kValueNull:
        return SetItemNull(desc);
    default:
        SetItemNull(desc);
        return 0;
    }
}

int SetItemValue(XItemDataDesc *desc, const XVariable *value)
{
    if (!value)
        return SetItemNull(desc);
    return SetCarried(desc, value->GetType(), value->GetValue());
}

int SetItemValue(XItemDataDesc *desc, const XDataNode *node)
{
    if (!node || node->isNull)
        return SetItemNull(desc);
    return SetCarried(desc, node->type, node->value);
}

// ---- Reading ----------------------------------------------------------------------

int GetItemValue(const XItemDataDesc *desc, XRowBuffer *buffer, uint32_t tag)
{
    XDataNode *node = buffer->MallocNode();
    node->id = desc->id;
    node->dataClass = desc->dataClass;
    node->size = desc->size;
    node->type = desc->type == kValueText2 ? kValueText : desc->type;
    node->tag = tag;
    if (desc->isNull)
        return 1;
    switch (desc->type) {
    case kValueText:
    case kValueText2:
        if (!desc->value.text)
            return 1;
        node->length = Strlen(desc->value.text);
        break;
    case kValueBytes:
        if (!desc->value.bytes)
            return 1;
        node->length = GetBlockLength(desc->value.bytes);
        break;
    case kValueStream:
        if (desc->value.stream)
            desc->value.stream->AddRef();
        break;
    case kValueTable:
        if (desc->value.table)
            desc->value.table->AddRef();
        break;
    default:
        break;
    }
    std::memcpy(&node->value, &desc->value, sizeof(node->value));
    node->hold = kNodeBorrows;
    node->isNull = 0;
    return 1;
}
