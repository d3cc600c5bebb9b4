// The tab order of a form: the items that take input, ordered by tab index and, among
// equal indexes, by the depth-first walk of the form.
//
// An item takes input when its low nibble of item flags is exactly visible and accepts
// editing (neither disabled nor read-only), and it and every owner are visible and none
// is disabled or not focusable: focus in a hidden page would type into fields nobody
// sees. The walk does not go into containers with kItemNoDescend.

#include "pagekit/core/page_viewer.h"

#include "corekit/containers/xfinder.h"

namespace {

constexpr uint32_t kTabNibble = kItemVisible | kItemEditable;

bool TakesInput(const XPageItem *item)
{
    return (item->itemFlags & 0xF) == kTabNibble && item->IsVisible() && item->IsFocusable();
}

// One pass over the walk that keeps the candidate nearest after current (forward) or
// before it (backward) in (tab index, walk) order, and the first (last) candidate overall
// for the wrap. Entries met before current lie before it in the walk; current itself is
// never a result.
XPageItem *FindTabItem(XPageViewer *root, const XPageItem *current, bool forward)
{
    const int32_t index = current != nullptr ? current->tabIndex : 0;
    bool found = false;
    XPageItem *best = nullptr, *wrap = nullptr;
    XFinder finder;
    for (XPageItem *item = root->GetNextSuber(0, &finder); item != nullptr;
         item = root->GetNextSuber(kWalkContinue, &finder)) {
        if (item == current) {
            found = true;
            continue;
        }
        if (!TakesInput(item))
            continue;
        const int32_t at = item->tabIndex;
        // Later entries win ties going backward, earlier ones going forward.
        if (wrap == nullptr || (forward ? at < wrap->tabIndex : at >= wrap->tabIndex))
            wrap = item;
        if (current == nullptr)
            continue;
        // Forward: after current in (index, walk) order; backward: before it.
        const bool after = found ? at >= index : at > index;
        if (forward && after && (best == nullptr || at < best->tabIndex))
            best = item;
        if (!forward && !after && (best == nullptr || at >= best->tabIndex))
            best = item;
    }
    return found && best != nullptr ? best : wrap;
}

} // namespace

XPageItem *XPageViewer::GetNextTabItem(XPageItem *current)
{
    return FindTabItem(this, current, true);
}

XPageItem *XPageViewer::GetPrevTabItem(XPageItem *current)
{
    return FindTabItem(this, current, false);
}
