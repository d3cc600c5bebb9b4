// The tab order of a form: the items that take input, ordered by tab index and, among
// equal indexes, by the depth-first walk of the form.
//
// An item takes input when its low nibble of item flags is exactly visible and accepts
// editing (neither disabled nor read-only), and it and every owner are visible and none
// is disabled or not focusable: focus in a hidden page would type into fields nobody
// sees. The walk does not go into containers with kItemNoDescend.

#include "pagekit/core/page_viewer.h"

#include <vector>

#include "corekit/containers/xfinder.h"

namespace {

constexpr uint32_t kTabNibble = kItemVisible | kItemEditable;

bool TakesInput(const XPageItem *item)
{
    return (item->itemFlags & 0xF) == kTabNibble && item->IsVisible() && item->IsFocusable();
}

// One candidate: its tab index and its place in the walk.
struct TabEntry
{
    XPageItem *item;
    int32_t index;
    size_t walk;
};

// (index, walk) order: the tab order itself.
bool Before(const TabEntry &a, const TabEntry &b)
{
    return a.index != b.index ? a.index < b.index : a.walk < b.walk;
}

// The candidates in walk order, and current's entry (walk position of current even when
// it takes no input; found false when current is not in the form).
std::vector<TabEntry> CollectTabItems(XPageViewer *root, const XPageItem *current, TabEntry *self,
                                      bool *found)
{
    std::vector<TabEntry> out;
    *found = false;
    XFinder finder;
    size_t walk = 0;
    for (XPageItem *item = root->GetNextSuber(0, &finder); item != nullptr;
         item = root->GetNextSuber(kWalkContinue, &finder), ++walk) {
        if (item == current) {
            *self = {item, item->tabIndex, walk};
            *found = true;
            continue;
        }
        if (TakesInput(item))
            out.push_back({item, item->tabIndex, walk});
    }
    return out;
}

} // namespace

XPageItem *XPageViewer::GetNextTabItem(XPageItem *current)
{
    TabEntry self = {nullptr, 0, 0};
    bool found = false;
    const std::vector<TabEntry> items = CollectTabItems(this, current, &self, &found);
    const TabEntry *best = nullptr;
    const TabEntry *first = nullptr;
    for (const TabEntry &entry : items) {
        if (first == nullptr || Before(entry, *first))
            first = &entry;
        if (found && Before(self, entry) && (best == nullptr || Before(entry, *best)))
            best = &entry;
    }
    if (best == nullptr)
        best = first;
    return best != nullptr ? best->item : nullptr;
}

XPageItem *XPageViewer::GetPrevTabItem(XPageItem *current)
{
    TabEntry self = {nullptr, 0, 0};
    bool found = false;
    const std::vector<TabEntry> items = CollectTabItems(this, current, &self, &found);
    const TabEntry *best = nullptr;
    const TabEntry *last = nullptr;
    for (const TabEntry &entry : items) {
        if (last == nullptr || Before(*last, entry))
            last = &entry;
        if (found && Before(entry, self) && (best == nullptr || Before(*best, entry)))
            best = &entry;
    }
    if (best == nullptr)
        best = last;
    return best != nullptr ? best->item : nullptr;
}
