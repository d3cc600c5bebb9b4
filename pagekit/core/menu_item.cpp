#include "pagekit/core/menu_item.h"

void SetupMenuItem(XMenuItem *item, unsigned code, uint32_t flags, const char16_t *text)
{
    if (item == nullptr)
        return;
    *item = XMenuItem{};
    item->code = code;
    item->flags = flags;
    item->text = text;
}
