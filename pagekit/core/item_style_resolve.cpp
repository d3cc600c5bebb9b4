// The cascade of one item: which descriptors contribute to a resolution, in which order.
//
//   1. own variants: the child or after variant of bits 4-7 (with 0x1000 nothing more),
//      disabled (0x8), active (0x4), hover (0x2), focus (0x1), state 1 (flags 0 or 1),
//      then the own descriptor;
//   2. the matched page rules, last matching rule first, each when its state applies;
//   3. the kind defaults in the order of step 1;
//   4. the owner's resolved text fields (not for a form root);
//   5. the page style's completion (fixed defaults without a page style).

#include <iterator>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/item_style.h"
#include "pagekit/core/item_style_cascade.h"
#include "pagekit/core/page_item.h"
#include "pagekit/core/page_message.h"
#include "pagekit/core/page_style.h"

namespace {

constexpr uint32_t kChildBits = kItemStateChildMask;

// The state codes of step 1 for the flags, in cascade order; returns their number.
unsigned StateOrder(uint32_t flags, uint32_t (&codes)[7])
{
    unsigned n = 0;
    if (flags & kChildBits)
        codes[n++] = flags & kChildBits;
    if (flags & kItemStateOnlyChild)
        return n;
    // Flag bits and the state code of the variant each selects, in cascade order.
    static constexpr uint32_t kFlagStates[][2] = {{kItemStateLocked, kStateDisabled},
                                                  {kItemStatePressed, kStateActive},
                                                  {kItemStateHovered, kStateHover},
                                                  {kItemStateFocused, kStateFocus}};
    for (const auto &entry : kFlagStates) {
        if (flags & entry[0])
            codes[n++] = entry[1];
    }
    if (flags == 0 || flags == kItemStateFocused)
        codes[n++] = 1;
    codes[n++] = kStateNormal;
    return n;
}

// Whether a matched rule of a state code applies to a resolution for the flags.
bool RuleApplies(uint32_t code, uint32_t flags)
{
    const uint32_t child = flags & kChildBits;
    if (flags & kItemStateOnlyChild)
        return child != 0 && code == child;
    switch (code) {
    case kStateNormal:
        return child == 0;
    case 1:
        return flags == 0;
    case kStateFocus:
        return (flags & kItemStateFocused) != 0;
    case kStateHover:
        return (flags & kItemStateHovered) != 0;
    case kStateActive:
        return (flags & kItemStatePressed) != 0;
    case kStateDisabled:
        return (flags & kItemStateLocked) != 0;
    default:
        return code == child;
    }
}

XStyleDesc *FindState(XStyleDesc *chain, uint32_t code)
{
    for (XStyleDesc *v = chain; v != nullptr; v = v->nextState) {
        if (v->stateCode == code)
            return v;
    }
    return nullptr;
}

// Calls visit on the descriptors of steps 1-3 in cascade order until it returns true.
template <typename Visit>
void VisitCascade(XStyleDesc *own, const XStyleMatch *matches, uint32_t matchCount,
                  XStyleDesc *defaults, uint32_t flags, Visit &&visit)
{
    uint32_t codes[7];
    const unsigned n = StateOrder(flags, codes);
    for (unsigned i = 0; i < n; ++i) {
        // The own descriptor is the normal state; its chain holds the other states only.
        XStyleDesc *v = codes[i] == kStateNormal ? own : FindState(own->nextState, codes[i]);
        if (v != nullptr && visit(v))
            return;
    }
    for (uint32_t i = 0; i < matchCount; ++i) {
        if (RuleApplies(matches[i].state, flags) && visit(matches[i].rule))
            return;
    }
    for (unsigned i = 0; i < n; ++i) {
        XStyleDesc *v = FindState(defaults, codes[i]);
        if (v != nullptr && visit(v))
            return;
    }
}

} // namespace

int XItemStyle::GetStyle(uint32_t flags, XPageItem *owner, XStyleDesc *out)
{
    if (out == nullptr)
        return 0;
    InitStyleDesc(out);
    out->stateCode = flags;
    StyleCascade cascade(out, Helper());
    uint32_t matchCount = 0;
    const XStyleMatch *matches = GetMatches(&matchCount);
    VisitCascade(&m_own, matches, matchCount, m_defaults, flags, [&](XStyleDesc *d) {
        cascade.Take(d);
        return false;
    });
    const bool root = m_item != nullptr && m_item->kind == kKindViewer;
    if (owner != nullptr && owner != m_item && !root) {
        owner->UpdateStyleDesc(0); // step 4 reads its resolved descriptor
        cascade.Inherit(&owner->style);
    }
    if (m_page != nullptr)
        m_page->GetPageStyle(out);
    else
        CompleteStyleDesc(out, nullptr, nullptr);
    out->touchedGroups = kStyleResolved;
    return cascade.Contributed();
}

int XItemStyle::IsSolidRender(uint32_t flags)
{
    const XStyleDesc *back = nullptr;
    const XStyleDesc *opacity = nullptr;
    uint32_t matchCount = 0;
    const XStyleMatch *matches = GetMatches(&matchCount);
    VisitCascade(&m_own, matches, matchCount, m_defaults, flags, [&](XStyleDesc *d) {
        if (back == nullptr && IsStyleFieldSet(d->backWord, kBackKind))
            back = d;
        if (opacity == nullptr && d->opacity != -1)
            opacity = d;
        return back != nullptr && opacity != nullptr;
    });
    if (back == nullptr || (opacity != nullptr && opacity->opacity != 10000))
        return 0;
    switch (GetStyleField(back->backWord, kBackKind)) {
    case kBackColor:
        return back->backColor < 0x1000000 ? 1 : 0;
    case kBackPicture:
    case kBackGradient:
        return 1;
    default:
        return 0;
    }
}
