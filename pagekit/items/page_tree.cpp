// The tree item's nodes: links and the walk, insertion and removal, values and states,
// checks, expansion, selection and search.

#include "pagekit/items/page_tree.h"

#include <algorithm>
#include <cstring>

#include "corekit/memory/memory.h"
#include "corekit/text/strings.h"
#include "pagekit/core/page_edit.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Item flags of the tree: overflow auto on both axes.
constexpr uint32_t kTreeItemFlags = 0x22000;
// Repaint bit: measure again at the next paint.
constexpr uint32_t kRepaintMeasure = 0x10;

char16_t *CopyText(const char16_t *text)
{
    return StrAlloc(text != nullptr ? text : u"");
}

size_t Length(const char16_t *text)
{
    return text != nullptr ? std::char_traits<char16_t>::length(text) : 0;
}

} // namespace

XPageTree::XPageTree(uint32_t itemKind)
{
    kind = itemKind;
    extraFlags = kTreeLines;
    itemFlags |= kTreeItemFlags;
}

XPageTree::~XPageTree()
{
    // The base deletes the editor after this body; nothing of it is used here.
    EndDrag();
    while (m_root != nullptr)
        DeleteNode(m_root);
}

XPageItem *XPageTree::GetNextItem(int flags, XFinder *finder)
{
    return XPageOwner::GetNextItem(flags, finder);
}

XPageItem *XPageTree::GetPrevItem(int flags, XFinder *finder)
{
    return XPageOwner::GetPrevItem(flags, finder);
}

unsigned XPageTree::GetItemText(char16_t *text, unsigned cap)
{
    return XPageOwner::GetItemText(text, cap);
}

void XPageTree::SetItemText(const char16_t *text)
{
    XPageOwner::SetItemText(text);
}

int XPageTree::IsDragEnable(XTreeItem *, unsigned int)
{
    return 1;
}

// ---------------------------------------------------------------------------------------
// Notifications and bookkeeping
// ---------------------------------------------------------------------------------------

void XPageTree::Notify(uint32_t code, XTreeItem *node, uint32_t param, void *other, uint32_t *state)
{
    XMessage_t message = {};
    message.code = code;
    message.state = kMsgHandled;
    message.key = param;
    message.item = this;
    message.other = other;
    message.value = reinterpret_cast<uintptr_t>(node);
    DispatchMessage(&message);
    if (state != nullptr)
        *state = message.state;
}

void XPageTree::Changed()
{
    m_repaint |= kRepaintMeasure;
    Invalidate(nullptr, 0);
}

void XPageTree::ResetWidths(XTreeItem *sub)
{
    if (sub == nullptr) {
        for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n))
            n->width = 0;
        return;
    }
    sub->width = 0;
    for (XTreeItem *n = GetNextSuber(sub, nullptr); n != nullptr; n = GetNextSuber(sub, n))
        n->width = 0;
}

uint32_t XPageTree::ComputeLayer(const XTreeItem *node) const
{
    uint32_t layer = 0;
    for (const XTreeItem *p = node->parent; p != nullptr; p = p->parent)
        ++layer;
    return layer;
}

bool XPageTree::IsShown(const XTreeItem *node) const
{
    for (const XTreeItem *p = node->parent; p != nullptr; p = p->parent) {
        if (!(p->state & kTreeExpanded))
            return false;
    }
    return true;
}

XTreeItem *XPageTree::FirstOfRing(const XTreeItem *node) const
{
    return node->parent != nullptr ? node->parent->child : m_root;
}

void XPageTree::SetFirstOfRing(XTreeItem *parent, XTreeItem *node)
{
    if (parent != nullptr)
        parent->child = node;
    else
        m_root = node;
}

// ---------------------------------------------------------------------------------------
// Links and the walk
// ---------------------------------------------------------------------------------------

XTreeItem *XPageTree::GetChildItem(XTreeItem *node) const
{
    return node != nullptr ? node->child : nullptr;
}

XTreeItem *XPageTree::GetParentItem(XTreeItem *node) const
{
    return node != nullptr ? node->parent : nullptr;
}

XTreeItem *XPageTree::GetNextItem(XTreeItem *node) const
{
    if (node == nullptr || node->next == FirstOfRing(node))
        return nullptr;
    return node->next;
}

XTreeItem *XPageTree::GetPrevItem(XTreeItem *node) const
{
    if (node == nullptr || node == FirstOfRing(node))
        return nullptr;
    return node->prev;
}

XTreeItem *XPageTree::GetNextSuber(XTreeItem *node)
{
    return GetNextSuber(nullptr, node);
}

XTreeItem *XPageTree::GetNextSuber(XTreeItem *sub, XTreeItem *node)
{
    if (node == nullptr) {
        XTreeItem *first = sub != nullptr ? sub->child : m_root;
        if (first == nullptr)
            return nullptr;
        first->layer = sub != nullptr ? sub->layer + 1 : 0;
        first->firstMark = 1;
        first->visible = sub == nullptr || (sub->visible && (sub->state & kTreeExpanded)) ? 1 : 0;
        return first;
    }
    if (node->child != nullptr) {
        XTreeItem *c = node->child;
        c->layer = node->layer + 1;
        c->firstMark = 1;
        c->visible = node->visible && (node->state & kTreeExpanded) ? 1 : 0;
        return c;
    }
    for (XTreeItem *n = node; n != nullptr && n != sub; n = n->parent) {
        XTreeItem *sibling = n->next;
        if (sibling != FirstOfRing(n)) {
            sibling->layer = n->layer;
            sibling->firstMark = 0;
            sibling->visible = n->visible;
            return sibling;
        }
    }
    return nullptr;
}

int XPageTree::IsChildItem(const XTreeItem *ancestor, const XTreeItem *node) const
{
    if (ancestor == nullptr || node == nullptr)
        return 0;
    for (const XTreeItem *p = node->parent; p != nullptr; p = p->parent) {
        if (p == ancestor)
            return 1;
    }
    return 0;
}

unsigned XPageTree::GetCounter()
{
    unsigned count = 0;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n))
        ++count;
    return count;
}

unsigned XPageTree::GetVisibleCounter()
{
    unsigned count = 0;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n))
        count += n->visible;
    return count;
}

XTreeItem *XPageTree::SearchName(const char16_t *pattern)
{
    if (pattern == nullptr)
        return nullptr;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (LikeCompare(n->text, pattern, 1))
            return n;
    }
    return nullptr;
}

XTreeItem *XPageTree::SearchItem(uint64_t value)
{
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (n->valueText == nullptr && n->value == value)
            return n;
    }
    return nullptr;
}

XTreeItem *XPageTree::SearchItem(const char16_t *value)
{
    if (value == nullptr)
        return nullptr;
    for (XTreeItem *n = GetNextSuber(nullptr); n != nullptr; n = GetNextSuber(n)) {
        if (n->valueText != nullptr && std::u16string_view(n->valueText) == value)
            return n;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Insertion
// ---------------------------------------------------------------------------------------

XTreeItem *XPageTree::InsertNode(const char16_t *text, unsigned image, unsigned expandImage,
                                 const char16_t *value, XTreeItem *parent, XTreeItem *neighbour,
                                 bool after)
{
    // A neighbour of another ring would splice two rings together.
    if (neighbour != nullptr && neighbour->parent != parent)
        return nullptr;
    auto *node = new XTreeItem{};
    node->text = CopyText(text);
    node->image = static_cast<uint16_t>(image);
    node->expandImage = static_cast<uint16_t>(expandImage);
    node->parent = parent;
    node->layer = parent != nullptr ? ComputeLayer(node) : 0;
    SetItemValue(node, value);
    XTreeItem *first = parent != nullptr ? parent->child : m_root;
    if (first == nullptr) {
        node->next = node->prev = node;
        SetFirstOfRing(parent, node);
        return node;
    }
    // Linked in before `before`; without a neighbour after the last (before the first).
    XTreeItem *before = neighbour == nullptr ? first : after ? neighbour->next : neighbour;
    node->next = before;
    node->prev = before->prev;
    before->prev->next = node;
    before->prev = node;
    if (!after && before == first)
        SetFirstOfRing(parent, node);
    return node;
}

XTreeItem *XPageTree::InsertNotified(const char16_t *text, unsigned image, unsigned expandImage,
                                     const char16_t *value, XTreeItem *parent, XTreeItem *neighbour,
                                     bool after)
{
    XTreeItem *node = InsertNode(text, image, expandImage, value, parent, neighbour, after);
    if (node == nullptr)
        return nullptr;
    UpdateAncestors(parent);
    Changed();
    Watch watch(this, node);
    Notify(kTreeOnInsertItem, node);
    return watch.Get(); // null when a receiver deleted it
}

XTreeItem *XPageTree::InsertAfter(const char16_t *text, unsigned image, unsigned expandImage,
                                  const char16_t *value, XTreeItem *parent, XTreeItem *neighbour)
{
    return InsertNotified(text, image, expandImage, value, parent, neighbour, true);
}

XTreeItem *XPageTree::InsertBefore(const char16_t *text, unsigned image, unsigned expandImage,
                                   const char16_t *value, XTreeItem *parent, XTreeItem *neighbour)
{
    return InsertNotified(text, image, expandImage, value, parent, neighbour, false);
}

// ---------------------------------------------------------------------------------------
// Removal
// ---------------------------------------------------------------------------------------

void XPageTree::DropNode(XTreeItem *node)
{
    XTreeItem *first = FirstOfRing(node);
    if (node->next == node) {
        SetFirstOfRing(node->parent, nullptr);
    } else {
        node->prev->next = node->next;
        node->next->prev = node->prev;
        if (first == node)
            SetFirstOfRing(node->parent, node->next);
    }
    node->next = node->prev = node;
}

void XPageTree::FreeNode(XTreeItem *node)
{
    for (XTreeItem **slot : m_watches) {
        if (*slot == node)
            *slot = nullptr;
    }
    if (m_choice == node)
        m_choice = nullptr;
    if (m_editNode == node)
        HideEditor();
    if (m_target == node)
        EndDrag();
    if (node->binder != nullptr && m_release != nullptr)
        m_release(node->binder);
    MemFree(node->text);
    MemFree(node->valueText);
    delete node;
}

void XPageTree::DeleteSuber(XTreeItem *node)
{
    while (node->child != nullptr) {
        XTreeItem *c = node->child;
        DropNode(c);
        DeleteSuber(c);
        FreeNode(c);
    }
}

void XPageTree::DeleteNode(XTreeItem *node)
{
    // A drag of a node in the subtree ends with it.
    if (m_drag != 0 && m_choice != nullptr && (m_choice == node || IsChildItem(node, m_choice)))
        EndDrag();
    DropNode(node);
    DeleteSuber(node);
    FreeNode(node);
}

void XPageTree::DeleteItem(XTreeItem *node)
{
    if (node == nullptr)
        return;
    Watch watch(this, node);
    if (m_choice != nullptr && (m_choice == node || IsChildItem(node, m_choice))) {
        EndDrag(); // the dragged node goes
        SelectItem(nullptr);
        if (watch.Get() == nullptr)
            return;
    }
    Notify(kTreeOnDeleteItem, node);
    if (watch.Get() == nullptr)
        return;
    XTreeItem *parent = node->parent;
    DeleteNode(node);
    UpdateAncestors(parent);
    Changed();
}

void XPageTree::DeleteAllItem()
{
    const bool selected = m_choice != nullptr;
    EndDrag();
    while (m_root != nullptr)
        DeleteNode(m_root);
    SetScrollSize(0, 0);
    Changed();
    if (selected)
        Notify(kTreeOnKillChoice, nullptr);
}

// ---------------------------------------------------------------------------------------
// Moves
// ---------------------------------------------------------------------------------------

XTreeItem *XPageTree::MoveItem(XTreeItem *node, int forward)
{
    if (node == nullptr)
        return nullptr;
    XTreeItem *other = forward != 0 ? GetNextItem(node) : GetPrevItem(node);
    if (other == nullptr)
        return nullptr;
    XTreeItem *parent = node->parent;
    XTreeItem *first = FirstOfRing(node);
    // Unlink, then link in on the other side of the neighbour.
    node->prev->next = node->next;
    node->next->prev = node->prev;
    XTreeItem *before = forward != 0 ? other->next : other;
    node->next = before;
    node->prev = before->prev;
    before->prev->next = node;
    before->prev = node;
    if (first == node)
        SetFirstOfRing(parent, other);
    else if (first == other)
        SetFirstOfRing(parent, node);
    Changed();
    return other;
}

void XPageTree::Replace(XTreeItem *old, XTreeItem *with)
{
    with->parent = old->parent;
    if (old->next == old) {
        with->next = with->prev = with;
    } else {
        with->next = old->next;
        with->prev = old->prev;
        with->prev->next = with;
        with->next->prev = with;
    }
    if (FirstOfRing(old) == old)
        SetFirstOfRing(old->parent, with);
    old->next = old->prev = old;
    old->parent = nullptr;
}

int XPageTree::SwitchNode(XTreeItem *a, XTreeItem *b)
{
    if (a == nullptr || b == nullptr || a == b || IsChildItem(a, b) || IsChildItem(b, a))
        return 0;
    XTreeItem *pa = a->parent, *pb = b->parent;
    XTreeItem hold{};
    Replace(a, &hold);
    Replace(b, a);
    Replace(&hold, b);
    a->layer = ComputeLayer(a);
    b->layer = ComputeLayer(b);
    ResetWidths(a);
    ResetWidths(b);
    UpdateAncestors(pa);
    UpdateAncestors(pb);
    Changed();
    return 1;
}

// ---------------------------------------------------------------------------------------
// Fields
// ---------------------------------------------------------------------------------------

const char16_t *XPageTree::GetItemText(XTreeItem *node) const
{
    return node != nullptr ? node->text : nullptr;
}

void XPageTree::SetItemText(XTreeItem *node, const char16_t *text)
{
    if (node == nullptr)
        return;
    char16_t *copy = CopyText(text);
    MemFree(node->text);
    node->text = copy;
    node->width = 0;
    Changed();
}

unsigned XPageTree::GetItemImage(XTreeItem *node) const
{
    return node != nullptr ? node->image : 0;
}

void XPageTree::SetItemImage(XTreeItem *node, unsigned image)
{
    if (node == nullptr)
        return;
    node->image = node->expandImage = static_cast<uint16_t>(image);
    Changed();
}

unsigned XPageTree::GetItemLayer(XTreeItem *node) const
{
    return node != nullptr ? node->layer : 0;
}

unsigned XPageTree::GetItemState(XTreeItem *node) const
{
    if (node == nullptr)
        return 0;
    return node->state | (node == m_choice ? kTreeSelected : 0u);
}

void XPageTree::SetItemState(XTreeItem *node, unsigned long state)
{
    if (node == nullptr)
        return;
    node->state = static_cast<uint16_t>(state);
    Changed();
}

unsigned XPageTree::GetItemStyle(XTreeItem *node) const
{
    return node != nullptr ? node->style : 0;
}

void XPageTree::SetItemStyle(XTreeItem *node, unsigned itemStyleWord)
{
    if (node != nullptr)
        node->style = static_cast<uint16_t>(itemStyleWord);
}

void *XPageTree::GetItemBinder(XTreeItem *node) const
{
    return node != nullptr ? node->binder : nullptr;
}

void XPageTree::SetItemBinder(XTreeItem *node, void *binder)
{
    if (node == nullptr || node->binder == binder)
        return;
    if (node->binder != nullptr && m_release != nullptr)
        m_release(node->binder);
    node->binder = binder;
}

uint64_t XPageTree::GetItemValue(XTreeItem *node) const
{
    return node != nullptr ? node->value : 0;
}

void XPageTree::GetItemValue(XTreeItem *node, char16_t *buffer, unsigned size) const
{
    if (node == nullptr || buffer == nullptr)
        return;
    if (node->valueText == nullptr) {
        if (size < 5)
            return;
        buffer[0] = 0;
        for (int i = 0; i < 4; ++i)
            buffer[1 + i] = static_cast<char16_t>(node->value >> (16 * i));
        return;
    }
    if (size < 2)
        return;
    buffer[0] = 1;
    const size_t n = std::min<size_t>(Length(node->valueText), size - 2);
    std::memcpy(buffer + 1, node->valueText, n * sizeof(char16_t));
    buffer[1 + n] = 0;
}

void XPageTree::SetItemValue(XTreeItem *node, const char16_t *value)
{
    if (node == nullptr)
        return;
    MemFree(node->valueText);
    node->valueText = nullptr;
    node->value = 0;
    if (value == nullptr)
        return;
    if (value[0] == 0) {
        for (int i = 0; i < 4; ++i)
            node->value |= uint64_t{static_cast<uint16_t>(value[1 + i])} << (16 * i);
        return;
    }
    if (value[1] != 0)
        node->valueText = StrAlloc(value + 1);
}

void XPageTree::SetItemValue(XTreeItem *node, uint64_t value)
{
    if (node == nullptr)
        return;
    MemFree(node->valueText);
    node->valueText = nullptr;
    node->value = value;
}

// ---------------------------------------------------------------------------------------
// Checks, expansion, selection
// ---------------------------------------------------------------------------------------

int XPageTree::UpdateState(XTreeItem *node)
{
    if (node == nullptr || node->child == nullptr)
        return 0;
    bool all = true, none = true;
    XTreeItem *c = node->child;
    do {
        if (c->state & kTreePartChecked) {
            all = none = false;
            break;
        }
        if (c->state & kTreeChecked)
            none = false;
        else
            all = false;
        c = c->next;
    } while (c != node->child);
    const uint32_t bits = all ? uint32_t{kTreeChecked} : none ? 0u : uint32_t{kTreePartChecked};
    const uint16_t state =
        static_cast<uint16_t>((node->state & ~(kTreeChecked | kTreePartChecked)) | bits);
    if (state == node->state)
        return 0;
    node->state = state;
    return 1;
}

void XPageTree::UpdateAncestors(XTreeItem *parent)
{
    for (XTreeItem *p = parent; p != nullptr && UpdateState(p); p = p->parent) {
    }
}

void XPageTree::CheckItem(XTreeItem *node, unsigned op)
{
    if (node == nullptr)
        return;
    bool check = op == 1;
    if (op >= 2)
        check = !(node->state & kTreeChecked);
    if (check ? (node->state & kTreeChecked) != 0
              : (node->state & (kTreeChecked | kTreePartChecked)) == 0)
        return;
    auto apply = [check](XTreeItem *n) {
        n->state = static_cast<uint16_t>((n->state & ~(kTreeChecked | kTreePartChecked)) |
                                         (check ? uint32_t{kTreeChecked} : 0u));
    };
    apply(node);
    for (XTreeItem *n = GetNextSuber(node, nullptr); n != nullptr; n = GetNextSuber(node, n))
        apply(n);
    UpdateAncestors(node->parent);
    Invalidate(nullptr, 0);
}

void XPageTree::ExpandItem(XTreeItem *node, unsigned op)
{
    if (node == nullptr)
        return;
    const bool expand = op == 1 || (op >= 2 && !(node->state & kTreeExpanded));
    const uint16_t state = expand ? static_cast<uint16_t>(node->state | kTreeExpanded)
                                  : static_cast<uint16_t>(node->state & ~kTreeExpanded);
    if (state == node->state)
        return;
    node->state = state;
    Changed();
    CalcExtentSize(0);
}

void XPageTree::ExpandTree(XTreeItem *node, unsigned op)
{
    auto apply = [op](XTreeItem *n) {
        n->state = op != 0 ? static_cast<uint16_t>(n->state | kTreeExpanded)
                           : static_cast<uint16_t>(n->state & ~kTreeExpanded);
    };
    if (node != nullptr)
        apply(node);
    for (XTreeItem *n = GetNextSuber(node, nullptr); n != nullptr; n = GetNextSuber(node, n))
        apply(n);
    Changed();
    CalcExtentSize(0);
}

void XPageTree::SelectItem(XTreeItem *node)
{
    if (node == m_choice)
        return;
    if (node == nullptr) {
        m_choice = nullptr;
        Invalidate(nullptr, 0);
        Notify(kTreeOnKillChoice, nullptr);
        return;
    }
    if (!IsShown(node)) {
        for (XTreeItem *p = node->parent; p != nullptr; p = p->parent)
            p->state |= kTreeExpanded;
        Changed();
        CalcExtentSize(0);
    }
    m_choice = node;
    EnsureVisible(node);
    Invalidate(nullptr, 0);
    Notify(kTreeOnSelChange, node);
}
