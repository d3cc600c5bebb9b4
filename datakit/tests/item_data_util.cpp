#include "item_data_util.h"

#include <cstring>

#include "corekit/strings.h"

void DescDeleter::operator()(XItemDataDesc *d) const
{
    ReleaseItemDesc(d);
    ReleaseItemNode(d);
}

DescPtr MakeDesc(uint16_t type, uint16_t size, const char16_t *name)
{
    DescPtr d(MallocItemDesc());
    d->type = type;
    d->size = size;
    Strncpy(d->name, name, kItemNameUnits);
    return d;
}

XItemDataDesc *AddColumn(XItemDataDesc *table, uint16_t type, uint16_t size,
                         const char16_t *name)
{
    XItemDataDesc *last = table;
    while (last->next)
        last = last->next;
    XItemDataDesc *col = MallocItemDesc();
    col->type = type;
    col->size = size;
    Strncpy(col->name, name, kItemNameUnits);
    last->next = col;
    return col;
}

std::vector<uint8_t> Block(const std::string &bytes)
{
    std::vector<uint8_t> block(4 + bytes.size());
    uint32_t n = static_cast<uint32_t>(bytes.size());
    std::memcpy(block.data(), &n, 4);
    std::memcpy(block.data() + 4, bytes.data(), bytes.size());
    return block;
}

std::u16string TextOf(const XItemDataDesc *d)
{
    if (d->isNull || !d->value.text)
        return u"<null>";
    return d->value.text;
}
