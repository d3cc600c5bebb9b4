// XML form of item data descriptors: element "data", one empty "item" per column.
#include <cstring>

#include "corekit/encoding/encoding.h"
#include "corekit/memory/memory.h"
#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"
#include "datakit/item_data_store.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_node.h"

namespace {

// The UTF-8 name cut to 31 units (never between the halves of a surrogate pair).
void ReadName(const char *utf8, char16_t *name)
{
    name[0] = 0;
    uint32_t need = UStrToWStr(utf8, -1, nullptr, 0);
    if (need == 0)
        return;
    char16_t *wide = StrAlloc(need + 1);
    uint32_t n = UStrToWStr(utf8, -1, wide, need + 1);
    if (n >= kItemNameUnits)
        n = kItemNameUnits - 1;
    if (n && wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF)
        --n;
    std::memcpy(name, wide, n * sizeof(char16_t));
    name[n] = 0;
    MemFree(wide);
}

// A heap copy of the UTF-8 attribute text (MemFree), replacing *slot.
void ReadText(const char *utf8, char16_t **slot)
{
    char16_t *text = StrMalloc(utf8, 1);
    MemFree(*slot);
    *slot = text;
}

void ReadAttributes(XItemDataDesc *desc, XML_Node *node, bool withKeyer)
{
    if (const char *s = node->GetAttribute("id"))
        desc->id = static_cast<uint32_t>(ToInt64(s));
    if (const char *s = node->GetAttribute("type")) {
        auto type = static_cast<uint16_t>(ToInt64(s));
        if (type == kLegacyTableType)
            type = kValueTable;
        if (type != desc->type)
            ClearItemDesc(desc); // the held value belongs to the old type
        desc->type = type;
    }
    if (const char *s = node->GetAttribute("size"))
        desc->size = static_cast<uint16_t>(ToInt64(s));
    if (const char *s = node->GetAttribute("name"))
        ReadName(s, desc->name);
    if (const char *s = node->GetAttribute("class"))
        desc->dataClass = static_cast<uint32_t>(ToInt64(s));
    if (const char *s = node->GetAttribute("default"))
        ReadText(s, &desc->defValue);
    if (!withKeyer)
        return;
    if (const char *s = node->GetAttribute("keyer"))
        ReadText(s, &desc->keyer);
}

int WriteAttributes(const XItemDataDesc *desc, XDomWriter *writer, bool withKeyer)
{
    char16_t name[kItemNameUnits];
    std::memcpy(name, desc->name, sizeof(name));
    name[kItemNameUnits - 1] = 0;
    int ok = writer->WriteNumber("id", desc->id) && writer->WriteNumber("type", desc->type) &&
             writer->WriteNumber("size", desc->size) && writer->WriteString(u"name", name);
    if (ok && desc->dataClass)
        ok = writer->WriteNumber("class", desc->dataClass);
    if (ok && withKeyer && desc->keyer)
        ok = writer->WriteString(u"keyer", desc->keyer);
    if (ok && desc->defValue)
        ok = writer->WriteString(u"default", desc->defValue);
    return ok;
}

} // namespace

int LoadItemDesc(XItemDataDesc *desc, XML_Node *node)
{
    ReadAttributes(desc, node, false);
    XItemDataDesc *last = desc;
    while (last->next)
        last = last->next;
    for (XML_Node *child = node->GetNextItem(nullptr); child; child = node->GetNextItem(child)) {
        XItemDataDesc *column = MallocItemDesc();
        ReadAttributes(column, child, true);
        last->next = column;
        last = column;
    }
    return 1;
}

int SaveItemDesc(const XItemDataDesc *desc, XDomWriter *writer)
{
    if (!writer->BeginMarker("data") || !WriteAttributes(desc, writer, false))
        return 0;
    if (!desc->next)
        return writer->EndOfMarker(1);
    if (!writer->EndOfMarker(0))
        return 0;
    for (const XItemDataDesc *col = desc->next; col; col = col->next)
        if (!writer->BeginMarker("item") || !WriteAttributes(col, writer, true) ||
            !writer->EndOfMarker(1))
            return 0;
    return writer->CloseMarker("data");
}
