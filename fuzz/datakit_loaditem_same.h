#pragma once
// Comparisons for the descriptor fuzz targets: whether a chain read back after a write
// holds what was written, field by field, for the fields each stored form carries.

#include <cstdint>
#include <cstring>
#include <vector>

#include "corekit/archive/iarchive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/text/strings.h"
#include "datakit/item_data_desc.h"
#include "datakit/item_data_store.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/xrow_grider.h"

namespace loaditem_same {

// Two owned texts: both absent, or equal.
inline bool SameText(const char16_t *a, const char16_t *b)
{
    return (!a && !b) || (a && b && Strcmp(a, b) == 0);
}

// The whole content of a stream (it is rewound first).
inline std::vector<uint8_t> Content(IArchive *stream)
{
    std::vector<uint8_t> bytes(stream ? stream->GetMaxSize() : 0);
    if (!bytes.empty() &&
        (!stream->InitReader() || !stream->Read(bytes.data(), static_cast<uint32_t>(bytes.size()))))
        bytes.clear();
    return bytes;
}

// A table as its storage section writes it.
inline std::vector<uint8_t> Stored(const XRowGrider *table)
{
    XMemoArchive out;
    XMF_Archive writer(&out);
    if (table && !table->SaveStorage(kItemTableSection, &writer))
        return {};
    return Content(&out);
}

inline bool SameValue(const XItemDataDesc *a, const XItemDataDesc *b)
{
    switch (a->type) {
    case kValueInteger:
    case kValueFloater: // by bits, so that NaN equals itself
        return a->value.integer == b->value.integer;
    case kValueTime:
        return std::memcmp(&a->value.time, &b->value.time, sizeof(DATETIME_t)) == 0;
    case kValueText:
    case kValueText2:
        return SameText(a->value.text ? a->value.text : u"", b->value.text ? b->value.text : u"");
    case kValueBytes: {
        uint32_t na = a->value.bytes ? GetBlockLength(a->value.bytes) : 0;
        uint32_t nb = b->value.bytes ? GetBlockLength(b->value.bytes) : 0;
        return na == nb &&
               (na == 0 || std::memcmp(a->value.bytes + 4, b->value.bytes + 4, na) == 0);
    }
    case kValueStream:
        return Content(a->value.stream) == Content(b->value.stream);
    case kValueTable:
        return Stored(a->value.table) == Stored(b->value.table);
    default:
        return true;
    }
}

// Everything the archive form carries, for every descriptor of both chains.
inline bool SameStored(const XItemDataDesc *a, const XItemDataDesc *b)
{
    for (; a && b; a = a->next, b = b->next) {
        if (a->id != b->id || a->dataClass != b->dataClass || a->type != b->type ||
            a->size != b->size || a->modified != b->modified || a->isNull != b->isNull ||
            a->flags != b->flags || a->extra != b->extra ||
            Strncmp(a->name, b->name, kItemNameUnits - 1) != 0 || !SameText(a->keyer, b->keyer) ||
            !SameText(a->defValue, b->defValue))
            return false;
        if (!a->isNull && !SameValue(a, b))
            return false;
    }
    return !a && !b;
}

// What the XML form carries: id, type, size, name, class and default, and the keyer of
// the columns.
inline bool SameXmlFields(const XItemDataDesc *a, const XItemDataDesc *b)
{
    for (const XItemDataDesc *root = a; a && b; a = a->next, b = b->next) {
        if (a->id != b->id || a->type != b->type || a->size != b->size ||
            a->dataClass != b->dataClass || Strncmp(a->name, b->name, kItemNameUnits - 1) != 0 ||
            !SameText(a->defValue, b->defValue) || (a != root && !SameText(a->keyer, b->keyer)))
            return false;
    }
    return !a && !b;
}

} // namespace loaditem_same
