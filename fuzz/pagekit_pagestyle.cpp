// XPageStyle over arbitrary page style sheets: rules parsed, matched against a small form
// and resolved for every item in several states, then dropped while the items live on.
// The input is the sheet; after a byte 0x01, the rest is also the item style text of one
// item.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pagekit/core/item_style.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"

namespace {

using Form = XPageViewer;

void Resolve(XPageItem *item)
{
    for (uint32_t flags : {0x0u, 0x1u, 0x2u, 0x4u, 0x10u, 0xA0u}) {
        item->stateFlags = flags;
        item->UpdateStyleDesc(2);
        if (!(item->style.touchedGroups & kStyleResolved))
            std::abort();
        item->IsSolidRender();
        item->itemStyle.CheckStyle(flags);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const size_t split = input.find('\x01');
    const std::string sheet = input.substr(0, split);
    const std::string own = split == std::string::npos ? "" : input.substr(split + 1);

    Form root;
    root.GetPageStyle()->ParseStyle(sheet.c_str());
    auto *a = new XPageOwner;
    a->kind = 0x81;
    a->classList = "a b";
    a->typeName = "box";
    a->SetItemName(u"na");
    auto *b = new XPageItem;
    b->kind = 0x12;
    b->classList = "c";
    b->typeName = "editClass";
    auto *c = new XPageOwner;
    c->kind = 0x81;
    c->classList = "c d";
    auto *d = new XPageItem;
    d->classList = "a";
    d->SetItemName(u"名");
    d->ApplyStyle(0, own.c_str());
    auto *e = new XPageItem;
    e->typeName = "row";
    root.AddItem(a);
    a->AddItem(b);
    a->AddItem(c);
    c->AddItem(d);
    root.AddItem(e);
    root.OnCreateItem();
    for (XPageItem *item : {static_cast<XPageItem *>(a), b, static_cast<XPageItem *>(c), d, e})
        Resolve(item);
    // The rules go; the items' matches lapse with them.
    root.GetPageStyle()->ClearStyle();
    Resolve(d);
    return 0;
}
