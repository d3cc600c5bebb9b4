// The child list of owners: inserting around nodes, refusals that keep the tree sound,
// moves, cursors, hit order, and creation of children.

#include <gtest/gtest.h>

#include "pagekit/core/tests/page_fixture.h"

namespace {

XPageItem *Named(const char16_t *name)
{
    auto *item = new XPageItem;
    item->SetItemName(name);
    return item;
}

std::u16string Order(const XPageOwner &owner)
{
    std::u16string out;
    for (const void *cursor = nullptr; XPageItem *item = owner.GetNextItem(&cursor);)
        out += item->name;
    return out;
}

std::u16string Backwards(const XPageOwner &owner)
{
    std::u16string out;
    for (const void *cursor = nullptr; XPageItem *item = owner.GetPrevItem(&cursor);)
        out += item->name;
    return out;
}

TEST(PageOwner, InsertAroundNodes)
{
    XPageOwner owner;
    const void *b = owner.AddItem(Named(u"b"));
    owner.InsertItem(Named(u"a"), nullptr, 0);           // front
    owner.InsertItem(Named(u"d"), nullptr, 1);           // end
    owner.InsertItem(Named(u"c"), b, 1);                 // after b
    const void *e = owner.InsertItem(Named(u"e"), b, 0); // before b
    EXPECT_EQ(u"aebcd", Order(owner));
    EXPECT_EQ(u"dcbea", Backwards(owner));
    EXPECT_EQ(5u, owner.GetCounter());
    EXPECT_EQ(u"e", std::u16string(XPageOwner::GetNodeItem(e)->name));
    const void *cursor = nullptr;
    XPageItem *first = owner.GetNextItem(&cursor);
    owner.InsertItem(Named(u"f"), owner.GetItemNode(first), 0); // before the first
    EXPECT_EQ(u"faebcd", Order(owner));
}

TEST(PageOwner, RefusalsKeepTheTreeSound)
{
    XPageOwner owner;
    XPageOwner other;
    auto *child = new XPageOwner;
    auto *grandchild = new XPageItem;
    owner.AddItem(child);
    child->AddItem(grandchild);
    const void *foreign = other.AddItem(Named(u"x"));
    auto *loose = Named(u"l");

    EXPECT_EQ(nullptr, owner.InsertItem(loose, foreign, 1)); // a node of another list
    EXPECT_EQ(nullptr, other.AddItem(grandchild));           // has an owner already
    EXPECT_EQ(nullptr, child->AddItem(&owner));              // its own owner: a cycle
    EXPECT_EQ(nullptr, owner.AddItem(&owner));               // itself
    EXPECT_EQ(nullptr, owner.AddItem(nullptr));
    EXPECT_EQ(1u, owner.GetCounter());
    EXPECT_EQ(nullptr, loose->owner);
    EXPECT_EQ(0, owner.DropNode(loose));
    EXPECT_EQ(0, owner.DeleteItem(grandchild)); // not a direct child
    EXPECT_EQ(0, owner.MoveItem(loose, 1));
    delete loose;

    // A detached subtree cannot take its former owner either.
    ASSERT_EQ(1, owner.DropNode(child));
    EXPECT_EQ(nullptr, child->owner);
    auto *top = new XPageOwner;
    top->AddItem(child);
    EXPECT_EQ(nullptr, child->AddItem(top));
    EXPECT_EQ(top, child->owner);
    delete top;
}

TEST(PageOwner, MovesAtBothEnds)
{
    struct Case
    {
        const char16_t *move;
        unsigned where;
        int result;
        const char16_t *order;
    } cases[] = {
        {u"a", kMoveBack, 0, u"abcd"},    {u"d", kMoveEnd, 0, u"abcd"},
        {u"d", kMoveForward, 0, u"abcd"}, {u"a", kMoveFront, 0, u"abcd"},
        {u"b", kMoveBack, 1, u"bacd"},    {u"c", kMoveForward, 1, u"abdc"},
        {u"c", kMoveFront, 1, u"cabd"},   {u"a", 7, 1, u"bcda"},
        {u"a", kMoveForward, 1, u"bacd"},
    };
    for (const Case &k : cases) {
        XPageOwner owner;
        XPageItem *items[4];
        const char16_t *names[] = {u"a", u"b", u"c", u"d"};
        for (int i = 0; i < 4; ++i)
            owner.AddItem(items[i] = Named(names[i]));
        XPageItem *moved = items[k.move[0] - u'a'];
        EXPECT_EQ(k.result, owner.MoveItem(moved, k.where)) << char(k.move[0]) << k.where;
        EXPECT_EQ(std::u16string(k.order), Order(owner)) << char(k.move[0]) << k.where;
        EXPECT_EQ(4u, owner.GetCounter());
    }
}

TEST(PageOwner, HitOrderIsLastToFirst)
{
    XPageViewer root;
    Placed(&root, 0, 0, 100, 100);
    auto *bottom = Placed(Named(u"bottom"), 10, 10, 50, 50);
    auto *top = Placed(Named(u"top"), 30, 30, 50, 50);
    root.AddItem(bottom);
    root.AddItem(top);
    root.OnCreateItem();
    EXPECT_EQ(top, root.HitItem(40, 40));
    EXPECT_EQ(bottom, root.HitItem(15, 15));
    EXPECT_EQ(&root, root.HitItem(95, 5));
    EXPECT_EQ(nullptr, root.HitItem(150, 5));
    // A fixed child lies over a scrolled body, at the owner's place origin.
    auto *fixed = Placed(Named(u"fixed"), 0, 0, 20, 20);
    fixed->itemFlags |= kItemFixed;
    root.AddItem(fixed);
    root.scroll = {30, 30, 300, 300};
    EXPECT_EQ(fixed, root.HitItem(5, 5));
    EXPECT_EQ(top, root.HitItem(25, 25)); // 55, 55 in the child space
}

TEST(PageOwner, ChildrenAreCreatedWithTheTreeAndTakeItsForm)
{
    SeenLog log;
    XPageViewer root;
    auto *owner = new RecordingOwner(&log, "owner");
    auto *early = new RecordingItem(&log, "early");
    owner->AddItem(early);
    root.AddItem(owner);
    EXPECT_FALSE(early->itemFlags & kItemCreated);
    root.OnCreateItem();
    EXPECT_TRUE(early->itemFlags & kItemCreated);
    EXPECT_EQ(&root, early->GetShellkit());
    auto *late = new XPageItem;
    owner->AddItem(late);
    EXPECT_TRUE(late->itemFlags & kItemCreated);
    EXPECT_EQ(&root, late->form);

    // Codes 2 and above go on to the children; dropping tells the child first.
    owner->OnUpdateItem(kUpdateShown);
    EXPECT_EQ((std::vector<int>{kUpdateShown}), early->updates);
    EXPECT_EQ(1, owner->DropItem(early));
    EXPECT_EQ((std::vector<int>{kUpdateShown, kUpdateRemoved}), early->updates);
    EXPECT_EQ(nullptr, early->owner);
    delete early;
    owner->ClearItem();
    EXPECT_EQ(0u, owner->GetCounter());
}

} // namespace
