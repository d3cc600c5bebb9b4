// The condition tree: built from the condition list with AND/OR precedence and
// brackets, resolved through the binder by each condition's availability rule, and
// simplified once the TRUE, FALSE and DROPPED conditions are known.
//
// Joins: any non-zero join code is valid and a larger code binds tighter, so the codes
// of a list order its groups: "A [3] B [2] C" is (A OR B) AND C. A group of code 2 is
// an AND, a group of any other code an OR, both when it is simplified and when it is
// written. Join 0 before another condition has no meaning and fails the build.
//
// Brackets: a group opened by "(" stays marked open until its ")" is read. The builder
// never climbs out of an open group when it looks for the place of the next condition,
// and ")" closes exactly the innermost open group, whatever precedence groups were made
// inside it, so that "x AND (a AND b OR c)" keeps a AND b OR c together.
//
// Simplifying: a group whose members were all dropped is dropped itself, rather than
// becoming TRUE. Its conditions asked to be ignored, so it must not decide the group
// around it: "x OR (a AND b)" with a and b dropped searches for x, not for every row.
#include <cstring>

#include "corekit/memory/memory.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/text/xstring.h"
#include "datakit/query_lists.h"
#include "datakit/query_template.h"

using namespace query_lists;

namespace {

constexpr uint32_t kMarkBracket = 1; // group opened by "("
constexpr uint32_t kMarkOpen = 2;    // its ")" not read yet
// Brackets open at one time; keeps the tree shallow enough for recursive walks.
constexpr uint32_t kMaxOpenBrackets = 64;

bool IsState(uint32_t code)
{
    return code == kWhereTrue || code == kWhereFalse || code == kWhereDropped;
}

// ---- Tree surgery ---------------------------------------------------------------------

XWhereTree *NewNode(uint32_t code)
{
    XWhereTree *node = NewItem<XWhereTree>();
    node->code = code;
    return node;
}

// Inserts node after sibling, under sibling's parent.
void InsertAfter(XWhereTree *sibling, XWhereTree *node)
{
    node->parent = sibling->parent;
    node->nextSibling = sibling->nextSibling;
    sibling->nextSibling = node;
}

void InsertFirst(XWhereTree *parent, XWhereTree *node)
{
    node->parent = parent;
    node->nextSibling = parent->firstChild;
    parent->firstChild = node;
}

// Puts replacement where node stands (node is detached, its subtree kept).
void ReplaceNode(XWhereTree *node, XWhereTree *replacement)
{
    XWhereTree *parent = node->parent;
    replacement->parent = parent;
    replacement->nextSibling = node->nextSibling;
    if (parent) {
        XWhereTree **slot = &parent->firstChild;
        while (*slot != node)
            slot = &(*slot)->nextSibling;
        *slot = replacement;
    }
    node->parent = nullptr;
    node->nextSibling = nullptr;
}

// node moves into a new group with `code` that takes its place.
XWhereTree *PushDown(XWhereTree *node, uint32_t code)
{
    XWhereTree *group = NewNode(code);
    ReplaceNode(node, group);
    InsertFirst(group, node);
    return group;
}

// The members of an open bracket group move into a new group with the bracket's code;
// the bracket keeps only that group and takes `code`.
XWhereTree *WrapMembers(XWhereTree *bracket, uint32_t code)
{
    XWhereTree *group = NewNode(bracket->code);
    group->firstChild = bracket->firstChild;
    for (XWhereTree *c = group->firstChild; c; c = c->nextSibling)
        c->parent = group;
    bracket->firstChild = nullptr;
    InsertFirst(bracket, group);
    bracket->code = code;
    return group;
}

XWhereTree *TopOf(XWhereTree *node)
{
    while (node && node->parent)
        node = node->parent;
    return node;
}

// ---- Building -------------------------------------------------------------------------

class TreeBuilder
{
public:
    ~TreeBuilder() { ReleaseWhereTree(TopOf(m_current)); }

    bool Add(XQueryWhere *item, bool last)
    {
        if (item->lbox > kMaxBrackets || item->rbox > kMaxBrackets)
            return false;
        if (!OpenAndPlace(item))
            return false;
        for (uint16_t i = 0; i < item->rbox; ++i)
            if (!CloseBracket())
                return false;
        if (last)
            return true;
        if (item->join == 0)
            return false; // no join to place the next condition by
        m_prev = PlaceOfNext(m_current, item->join);
        return true;
    }

    // The finished tree, handed to the caller.
    XWhereTree *Take()
    {
        XWhereTree *root = TopOf(m_current);
        m_current = nullptr;
        return root;
    }

private:
    bool OpenAndPlace(XQueryWhere *item)
    {
        XWhereTree *group = nullptr;
        for (uint16_t i = 0; i < item->lbox; ++i) {
            if (++m_open > kMaxOpenBrackets)
                return false;
            XWhereTree *g = NewNode(0);
            g->mark = kMarkBracket | kMarkOpen;
            Attach(group, g);
            group = g;
        }
        XWhereTree *leaf = NewNode(0);
        leaf->item = item;
        Attach(group, leaf);
        m_current = leaf;
        return true;
    }

    // As first child of group, else as next sibling of the previous node.
    void Attach(XWhereTree *group, XWhereTree *node)
    {
        if (group)
            InsertFirst(group, node);
        else if (m_prev)
            InsertAfter(m_prev, node);
        if (!m_current)
            m_current = node; // keeps the tree reachable for the destructor
    }

    bool CloseBracket()
    {
        XWhereTree *p = m_current->parent;
        while (p && !(p->mark & kMarkOpen))
            p = p->parent;
        if (!p)
            return false;
        p->mark &= ~kMarkOpen;
        --m_open;
        m_current = p;
        return true;
    }

    // The node after which the next condition goes, joined by j.
    static XWhereTree *PlaceOfNext(XWhereTree *node, uint32_t j)
    {
        for (;;) {
            XWhereTree *p = node->parent;
            if (!p) {
                XWhereTree *group = NewNode(j);
                InsertFirst(group, node);
                return node;
            }
            if (p->code == 0) {
                p->code = j;
                return node;
            }
            if (p->code == j)
                return node;
            if (p->code < j) {
                PushDown(node, j);
                return node;
            }
            if (p->mark & kMarkOpen)
                return WrapMembers(p, j);
            node = p;
        }
    }

    XWhereTree *m_current = nullptr;
    XWhereTree *m_prev = nullptr;
    uint32_t m_open = 0;
};

// ---- Simplifying ------------------------------------------------------------------------

// Decides a group from its members' states, bottom-up: an AND group (code 2) is decided
// by a FALSE member, any other group, written as an OR, by a TRUE one. A group whose
// members were all dropped is dropped itself (see the top of the file).
void Simplify(XWhereTree *node)
{
    if (!node->firstChild)
        return;
    for (XWhereTree *c = node->firstChild; c;) {
        XWhereTree *next = c->nextSibling;
        Simplify(c);
        c = next;
    }
    const bool isOr = node->code != kJoinAnd;
    const uint32_t decides = isOr ? kWhereTrue : kWhereFalse;
    const uint32_t neutral = isOr ? kWhereFalse : kWhereTrue;
    bool removedNeutral = false;
    XWhereTree **slot = &node->firstChild;
    while (XWhereTree *c = *slot) {
        if (c->code == decides) {
            ReleaseWhereTree(node->firstChild);
            node->firstChild = nullptr;
            node->code = decides;
            return;
        }
        if (c->code == neutral || c->code == kWhereDropped) {
            removedNeutral |= c->code == neutral;
            *slot = c->nextSibling;
            c->nextSibling = nullptr;
            ReleaseWhereTree(c);
            continue;
        }
        slot = &c->nextSibling;
    }
    XWhereTree *first = node->firstChild;
    if (!first) {
        node->code = removedNeutral ? neutral : kWhereDropped;
        return;
    }
    if (first->nextSibling)
        return;
    // The one member left takes the group's place: the group takes over its content,
    // so the parent's links stay as they are.
    node->code = first->code;
    node->leftText = first->leftText;
    node->rightText = first->rightText;
    node->item = first->item;
    node->firstChild = first->firstChild;
    for (XWhereTree *c = node->firstChild; c; c = c->nextSibling)
        c->parent = node;
    MemFree(first);
}

} // namespace

void ReleaseWhereTree(XWhereTree *tree)
{
    while (tree) {
        XWhereTree *next = tree->nextSibling;
        ReleaseWhereTree(tree->firstChild);
        MemFree(tree);
        tree = next;
    }
}

// ---- Template members ---------------------------------------------------------------

int32_t XQueryTemplate::MakeWhereTree()
{
    FreeTree();
    TreeBuilder builder;
    for (XQueryWhere *w = m_whereList; w; w = w->next)
        if (!builder.Add(w, w->next == nullptr))
            return kQueryTreeBuild;
    m_whereTree = builder.Take();
    if (m_whereTree)
        m_whereTree->parent = nullptr;
    return 0;
}

int32_t XQueryTemplate::MakeWhereTree(XMemoHelper *memo)
{
    int32_t hr = MakeWhereTree();
    if (hr == 0 && m_whereTree)
        hr = ResolveTree(m_whereTree, memo);
    if (hr != 0)
        FreeTree();
    return hr;
}

int32_t XQueryTemplate::ResolveTree(XWhereTree *node, XMemoHelper *memo)
{
    node->mark = 0;
    if (!node->firstChild)
        return ResolveLeaf(node, memo);
    if (!node->firstChild->nextSibling)
        return kQueryTreeShape;
    for (XWhereTree *c = node->firstChild; c; c = c->nextSibling)
        if (int32_t hr = ResolveTree(c, memo))
            return hr;
    return 0;
}

// Availability rule of a missing Body (kape false) or Kape (kape true): the state the
// leaf takes, 0 to keep the text the binder left (mode 4, Kape), or 1 for an error.
static uint32_t MissingState(uint16_t mode, bool kape)
{
    switch (mode) {
    case kModeFalse:
        return kWhereFalse;
    case kModeRequired:
        return 1;
    case kModeTrue:
        return kWhereTrue;
    case kModeUnless:
        return kape ? 0 : kWhereDropped;
    default:
        return kWhereDropped;
    }
}

int32_t XQueryTemplate::ResolveLeaf(XWhereTree *leaf, XMemoHelper *memo)
{
    XQueryWhere *item = leaf->item;
    if (!item || IsState(leaf->code))
        return item ? 0 : kQueryTreeShape;
    if (!item->kape)
        return kQueryWhereKape;
    leaf->leftText = item->body;
    if (item->body) {
        int32_t hr = Bind(item->body);
        if (hr == kQueryNotAvailable) {
            uint32_t state = MissingState(item->mode, false);
            if (state == 1)
                return hr;
            leaf->code = state;
            return 0;
        }
        if (hr < 0)
            return hr;
        if (hr > 0)
            leaf->leftText =
                memo->StrClone(m_workText->GetString() ? m_workText->GetString() : u"");
    }
    int32_t hr = Bind(item->kape);
    leaf->rightText = item->kape;
    if (hr == kQueryNotAvailable) {
        uint32_t state = MissingState(item->mode, true);
        if (state == 1)
            return hr;
        if (state != 0) {
            leaf->code = state;
            return 0;
        }
        hr = 1; // mode 4 goes on with whatever the binder left
    } else if (hr < 0) {
        return hr;
    } else if (hr > 0 && item->mode == kModeUnless) {
        leaf->code = kWhereDropped;
        return 0;
    }
    if (hr > 0)
        leaf->rightText = memo->StrClone(m_workText->GetString() ? m_workText->GetString() : u"");
    return 0;
}

int XQueryTemplate::ComputeWhereTree()
{
    if (!m_whereTree)
        return 0;
    Simplify(m_whereTree);
    if (m_whereTree->code == kWhereFalse)
        return 1;
    if (m_whereTree->code == kWhereTrue || m_whereTree->code == kWhereDropped)
        FreeTree();
    return 0;
}
