// The page item without a window: places on three levels, style to flags, extent,
// scroll bars, state changes and the tree walks.

#include <gtest/gtest.h>

#include "corekit/containers/xfinder.h"
#include "pagekit/core/tests/page_fixture.h"

namespace {

// root (300 x 200) > a (spaces 6, scrolled 5, 7) > b (spaces 3, scrolled 2, 4) > c and
// the fixed item f.
struct ThreeLevels
{
    XPageViewer root;
    XPageOwner *a = Placed(new XPageOwner, 10, 20, 200, 150);
    XPageOwner *b = Placed(new XPageOwner, 30, 40, 100, 80);
    XPageItem *c = Placed(new XPageItem, 85, 13, 20, 10);
    XPageItem *f = Placed(new XPageItem, 4, 6, 15, 15);

    ThreeLevels()
    {
        Placed(&root, 0, 0, 300, 200);
        a->ApplyStyle(0, "margin:2px;border:1px solid #000000;padding:3px;");
        b->ApplyStyle(0, "margin:1px;border:2px solid #000000;");
        c->ApplyStyle(0, "padding:1px;");
        f->itemFlags |= kItemFixed;
        root.AddItem(a);
        a->AddItem(b);
        b->AddItem(c);
        b->AddItem(f);
        root.OnCreateItem();
        a->scroll = {5, 7, 400, 400};
        b->scroll = {2, 4, 300, 300};
    }
};

TEST(PageItemPlace, EveryModeOnThreeLevels)
{
    ThreeLevels t;
    ASSERT_TRUE(SameBound(t.a->body, Bound(6, 6, 188, 138))) << Show(t.a->body);
    ASSERT_TRUE(SameBound(t.b->body, Bound(3, 3, 94, 74))) << Show(t.b->body);
    struct Case
    {
        XPageItem *item;
        int mode;
        BOUND_t want;
    } cases[] = {
        {t.c, kPlaceOwner, {85, 13, 20, 10}},
        {t.c, kPlaceWindow, {127, 71, 20, 10}},
        {t.c, kPlaceBody, {86, 14, 18, 8}},
        {t.c, kPlaceBodyWindow, {128, 72, 18, 8}},
        {t.c, kPlaceOwnerSize, {41, 59, 100, 80}},
        {t.c, kPlaceVisible, {127, 71, 11, 10}}, // cut by b's body at x 138
        {t.c, kPlaceVisibleBody, {128, 72, 10, 8}},
        {t.c, kPlaceVisibleOwner, {85, 13, 11, 10}},
        {t.c, kPlaceScrolled, {85, 13, 20, 10}},
        {t.b, kPlaceWindow, {41, 59, 100, 80}},
        {t.b, kPlaceVisible, {41, 59, 100, 80}},
        {t.f, kPlaceWindow, {45, 65, 15, 15}}, // against b's place origin, not scrolled
        {t.f, kPlaceVisible, {45, 65, 15, 15}},
        {t.f, kPlaceScrolled, {3, 7, 15, 15}}, // 4 + 2 - 3, 6 + 4 - 3
        {&t.root, kPlaceOwnerSize, {0, 0, 300, 200}},
    };
    for (const Case &k : cases) {
        BOUND_t got = {-1, -1, -1, -1};
        ASSERT_TRUE(k.item->GetPlace(k.mode, &got));
        EXPECT_TRUE(SameBound(got, k.want)) << "mode " << k.mode << ": " << Show(got);
    }
    BOUND_t untouched = {9, 9, 9, 9};
    EXPECT_EQ(0, t.c->GetPlace(9, &untouched));
    EXPECT_TRUE(SameBound(untouched, Bound(9, 9, 9, 9)));

    POINT_t origin;
    ASSERT_TRUE(t.c->GetPlace(kPlaceVisibleBody, &origin)); // child-space origin
    EXPECT_EQ(128, origin.x);
    EXPECT_EQ(72, origin.y);
    EXPECT_EQ(0, t.c->GetPlace(kPlaceVisible, &origin));
}

TEST(PageItemPlace, FixPlaceConvertsBothWays)
{
    ThreeLevels t;
    struct Case
    {
        XPageItem *item;
        int mode;
        POINT_t in;
        POINT_t want;
    } cases[] = {
        {t.c, kFixWindowToOwner, {60, 80}, {18, 22}}, {t.c, kFixOwnerToWindow, {18, 22}, {60, 80}},
        {t.c, kFixWindowToItem, {60, 80}, {-67, 9}},  {t.c, kFixItemToWindow, {-67, 9}, {60, 80}},
        {t.c, kFixWindowToChild, {60, 80}, {-68, 8}}, {t.c, kFixChildToWindow, {-68, 8}, {60, 80}},
        {t.f, kFixWindowToOwner, {60, 80}, {19, 21}}, {t.f, kFixFixedToScrolled, {4, 6}, {3, 7}},
    };
    for (const Case &k : cases) {
        POINT_t at = k.in;
        ASSERT_TRUE(k.item->FixPlace(k.mode, &at));
        EXPECT_EQ(k.want.x, at.x) << "mode " << k.mode;
        EXPECT_EQ(k.want.y, at.y) << "mode " << k.mode;
    }
    BOUND_t bound = {60, 80, 5, 6};
    ASSERT_TRUE(t.c->FixPlace(kFixWindowToItem, &bound));
    EXPECT_TRUE(SameBound(bound, Bound(-67, 9, 5, 6)));
    EXPECT_EQ(0, t.c->FixPlace(7, &bound));
}

TEST(PageItemStyle, WidthsAndHeightsFromEveryUnit)
{
    struct Case
    {
        const char *style;
        int width;
        int height;
        int mask;
    } cases[] = {
        {"width:33px;", 33, 10, 0x32},
        {"width:50%;height:25%;", 120, 30, 0x32}, // of the owner's 240 x 120 body
        {"width:33.3%;", 79, 10, 0x32},           // 79.92 truncated
        {"width:12pt;", 16, 10, 0x32},            // 12 / 0.75
        {"width:10.5pt;", 14, 10, 0x32},          // 14.0
        {"width:2em;font-size:13px;", 26, 10, 0x32},
        {"width:1.5rem;", 18, 10, 0x32}, // form font 12
        {"height:2.26px;", 40, 2, 0x32},
        {"color:#ff0000;", 40, 10, 0},
        {"visibility:hidden;", 40, 10, 0x22},
        {"overflow-x:auto;", 40, 10, 0x10},
        {"disabled:1;", 40, 10, 0x01},
    };
    for (const Case &k : cases) {
        XPageViewer root;
        Placed(&root, 0, 0, 240, 120);
        auto *item = Placed(new XPageItem, 0, 0, 40, 10);
        root.AddItem(item);
        root.OnCreateItem();
        item->itemStyle.ParseStyle(k.style);
        EXPECT_EQ(k.mask, item->ApplyItemStyle()) << k.style;
        EXPECT_EQ(k.width, item->place.width) << k.style;
        EXPECT_EQ(k.height, item->place.height) << k.style;
    }
}

TEST(PageItemStyle, FlagsFromTheNormalState)
{
    XPageViewer root;
    auto *item = new XPageItem;
    root.AddItem(item);
    root.OnCreateItem();
    item->itemStyle.ParseStyle("overflow-x:scroll;overflow-y:extend;layout-x:right;"
                               "layout-y:extend;wrapmode:block;");
    item->ApplyItemStyle();
    EXPECT_EQ(kOverflowScroll, GetStyleField(item->itemFlags, kItemOverflowX));
    EXPECT_EQ(kOverflowExtend, GetStyleField(item->itemFlags, kItemOverflowY));
    EXPECT_EQ(kLayoutEnd, GetStyleField(item->itemFlags, kItemLayoutX));
    EXPECT_EQ(kLayoutExtend, GetStyleField(item->itemFlags, kItemLayoutY));
    EXPECT_EQ(kWrapBlock, GetStyleField(item->itemFlags, kItemWrapMode));

    // The item's own width clears a layout-x of extend; fixed makes the item absolute.
    item->itemStyle.ParseStyle("layout-x:extend;width:20px;");
    item->itemFlags |= kItemFixed;
    item->ApplyItemStyle();
    EXPECT_EQ(kLayoutNone, GetStyleField(item->itemFlags, kItemLayoutX));
    EXPECT_TRUE(item->itemFlags & kItemAbsolute);

    item->itemStyle.ParseStyle("readonly:1;");
    item->ApplyItemStyle();
    EXPECT_TRUE(item->itemFlags & kItemReadOnly);
}

TEST(PageItemStyle, PercentWithoutOwnerChangesNothing)
{
    XPageViewer root;
    Placed(&root, 0, 0, 50, 60);
    root.OnCreateItem();
    root.itemStyle.ParseStyle("width:50%;");
    root.ApplyItemStyle();
    EXPECT_EQ(50, root.place.width);
}

TEST(PageItemExtent, ExtendAxisGrowsToTheContent)
{
    XPageViewer root;
    auto *item = Placed(new XPageItem, 0, 0, 0, 20);
    item->ApplyStyle(0, "margin:1px;border:1px solid #000000;padding:2px;overflow-x:extend;");
    root.AddItem(item);
    root.OnCreateItem();
    item->ApplyItemStyle();
    item->scroll.width = 100;
    EXPECT_EQ(1, item->CalcExtentSize(0));
    EXPECT_EQ(108, item->place.width); // 100 + 2 x (1 + 1 + 2)
    EXPECT_EQ(108, item->minWidth);
    EXPECT_EQ(0, item->CalcExtentSize(0));
}

TEST(PageItemScroll, BarsFollowTheOverflowNibbles)
{
    struct Case
    {
        const char *overflow;
        int extentW;
        int extentH;
        bool horz;
        bool vert;
        BOUND_t body;
    } cases[] = {
        // 100 x 80 box: auto/auto, 10 px too narrow and enough height: only the horizontal
        // bar, 17 px of height lost.
        {"overflow:auto;", 110, 50, true, false, {0, 0, 100, 63}},
        {"overflow:auto;", 110, 70, true, true, {0, 0, 83, 63}}, // 70 > 80 - 17
        {"overflow:auto;", 80, 90, false, true, {0, 0, 83, 80}},
        {"overflow:auto;", 90, 90, true, true, {0, 0, 83, 63}}, // narrowed below 90
        {"overflow:auto;", 90, 70, false, false, {0, 0, 100, 80}},
        {"overflow:auto;", 95, 81, true, true, {0, 0, 83, 63}}, // the bar makes room short
        {"overflow-x:auto;overflow-y:scroll;", 90, 10, true, true, {0, 0, 83, 63}},
        {"overflow-x:hidden;overflow-y:auto;", 500, 70, false, false, {0, 0, 100, 80}},
        {"overflow-x:scroll;overflow-y:auto;", 10, 70, true, true, {0, 0, 83, 63}},
        {"overflow:scroll;", 0, 0, true, true, {0, 0, 83, 63}},
    };
    for (const Case &k : cases) {
        XPageViewer root;
        auto *item = Placed(new XPageItem, 0, 0, 100, 80);
        item->ApplyStyle(0, k.overflow);
        root.AddItem(item);
        root.OnCreateItem();
        item->ApplyItemStyle();
        item->SetScrollSize(k.extentW, k.extentH);
        EXPECT_EQ(k.horz, (item->itemFlags & kItemHorzBar) != 0) << k.overflow << k.extentW;
        EXPECT_EQ(k.vert, (item->itemFlags & kItemVertBar) != 0) << k.overflow << k.extentW;
        EXPECT_TRUE(SameBound(item->body, k.body)) << k.overflow << " " << Show(item->body);
    }
}

TEST(PageItemScroll, PositionsAreClamped)
{
    XPageViewer root;
    auto *item = Placed(new XPageItem, 0, 0, 100, 80);
    item->ApplyStyle(0, "overflow:auto;");
    root.AddItem(item);
    root.OnCreateItem();
    item->ApplyItemStyle();
    item->SetScrollSize(300, 50); // horizontal bar only: body 100 x 63
    struct Case
    {
        int axis;
        int pos;
        int want;
    } cases[] = {
        {1, -5, 0}, {0, -5, 0}, {0, 150, 150}, {0, 500, 200}, {1, 10, 0}, {2, 10, 0},
    };
    for (const Case &k : cases) {
        item->SetScrollPos(k.axis, k.pos);
        EXPECT_EQ(k.want, item->GetScrollPos(k.axis)) << k.axis << " " << k.pos;
    }
    // An extent below the body gives 0, not less.
    item->SetScrollPos(0, 120);
    item->SetScrollSize(50, 50);
    EXPECT_EQ(0, item->GetScrollPos(0));
    EXPECT_EQ(0, item->GetScrollSize(2));
}

TEST(PageItemState, ChangesNotifyOncePerChange)
{
    SeenLog log;
    XPageViewer root;
    auto *item = new RecordingItem(&log, "item");
    root.AddItem(item);
    root.OnCreateItem();
    item->ShowItem(0);
    item->ShowItem(0);
    item->ShowItem(1);
    item->EnableItem(0);
    item->EnableItem(0);
    item->EnableItem(1);
    EXPECT_EQ((std::vector<int>{kUpdateHidden, kUpdateShown, kUpdateDisabled, kUpdateEnabled}),
              item->updates);

    // Before creation only the flag changes.
    auto *loose = new RecordingItem(&log, "loose");
    loose->ShowItem(0);
    EXPECT_FALSE(loose->itemFlags & kItemVisible);
    EXPECT_TRUE(loose->updates.empty());
    delete loose;
}

TEST(PageItemState, HitTestAndChainQueries)
{
    XPageViewer root;
    Placed(&root, 0, 0, 100, 100);
    auto *owner = Placed(new XPageOwner, 10, 10, 50, 50);
    auto *child = Placed(new XPageItem, 5, 5, 10, 10);
    root.AddItem(owner);
    owner->AddItem(child);
    root.OnCreateItem();
    EXPECT_EQ(child, root.HitItem(20, 20));
    EXPECT_EQ(owner, root.HitItem(40, 40));
    child->ShowItem(0);
    EXPECT_EQ(nullptr, child->HitItem(8, 8));
    EXPECT_EQ(owner, root.HitItem(20, 20));
    child->ShowItem(1);
    child->EnableItem(0);
    EXPECT_EQ(nullptr, child->HitItem(8, 8));
    child->EnableItem(1);

    owner->EnableItem(0);
    EXPECT_FALSE(child->IsEnable());
    EXPECT_FALSE(child->IsFocusable());
    child->itemFlags |= kItemEditable;
    EXPECT_FALSE(child->IsEditable());
    owner->EnableItem(1);
    EXPECT_TRUE(child->IsEditable());
    child->SetReadOnly(1);
    EXPECT_FALSE(child->IsEditable());
    owner->ShowItem(0);
    EXPECT_FALSE(child->IsVisible());
    EXPECT_TRUE(root.IsChildItem(child));
    EXPECT_TRUE(child->IsChildItem(child));
    EXPECT_FALSE(child->IsChildItem(owner));
}

TEST(PageItemState, NameIsCutOnACharacterBoundary)
{
    XPageItem item;
    item.SetItemName(u"0123456789abcdefXYZ");
    EXPECT_EQ(std::u16string(u"0123456789abcdef"), std::u16string(item.name));
    item.SetItemName(u"0123456789abcde\U0001F600");
    EXPECT_EQ(std::u16string(u"0123456789abcde"), std::u16string(item.name));
    item.SetItemName(u"0123456789abcd\U0001F600");
    EXPECT_EQ(std::u16string(u"0123456789abcd\U0001F600"), std::u16string(item.name));
    item.SetItemName(nullptr);
    EXPECT_EQ(std::u16string(), std::u16string(item.name));
}

TEST(PageItemStyle, UpdateStyleDescModes)
{
    XPageViewer root;
    auto *item = Placed(new XPageItem, 0, 0, 40, 30);
    root.AddItem(item);
    root.OnCreateItem();
    ASSERT_NE(0u, item->style.touchedGroups);
    item->style.fontSize = 99; // a marker that a resolution overwrites
    item->UpdateStyleDesc(0);
    EXPECT_EQ(99, item->style.fontSize);
    item->UpdateStyleDesc(1);
    EXPECT_EQ(99, item->style.fontSize);
    item->stateFlags |= kItemStateHovered;
    item->UpdateStyleDesc(1);
    EXPECT_EQ(12, item->style.fontSize);
    EXPECT_EQ(kItemStateHovered, item->style.stateCode);
    item->style.fontSize = 99;
    item->UpdateStyleDesc(2);
    EXPECT_EQ(12, item->style.fontSize);

    // 0x10 recomputes the body from the place.
    item->ApplyStyle(0, "padding:4px;");
    item->body = {0, 0, 0, 0};
    item->UpdateStyleDesc(0x10);
    EXPECT_TRUE(SameBound(item->body, Bound(4, 4, 32, 22))) << Show(item->body);
    // Disabled and read-only resolve with 0x8.
    item->EnableItem(0);
    item->UpdateStyleDesc(1);
    EXPECT_EQ(kItemStateHovered | kItemStateLocked, item->style.stateCode);
}

TEST(PageItemWalk, SubersGoDepthFirstAndSkipClosedContainers)
{
    XPageViewer root;
    auto named = [](XPageItem *item, const char16_t *name, uint32_t kind) {
        item->SetItemName(name);
        item->kind = kind;
        return item;
    };
    auto *a = static_cast<XPageOwner *>(named(new XPageOwner, u"a", 0x91));
    auto *b = named(new XPageItem, u"b", 0x12);
    auto *c = static_cast<XPageOwner *>(named(new XPageOwner, u"c", 0x52));
    auto *d = named(new XPageItem, u"d", 0x12);
    auto *e = static_cast<XPageOwner *>(named(new XPageOwner, u"e", 0x91));
    auto *g = named(new XPageItem, u"g", 0x12);
    auto *h = named(new XPageItem, u"h", 0x21);
    root.AddItem(a);
    a->AddItem(b);
    a->AddItem(c);
    c->AddItem(d);
    root.AddItem(e);
    e->AddItem(g);
    root.AddItem(h);
    e->itemFlags |= kItemNoDescend;

    XFinder finder;
    std::u16string walk;
    for (XPageItem *item = root.GetNextSuber(0, &finder); item != nullptr;
         item = root.GetNextSuber(kWalkContinue, &finder))
        walk += item->name;
    EXPECT_EQ(u"abcdeh", walk);
    walk.clear();
    for (XPageItem *item = root.GetPrevSuber(0, &finder); item != nullptr;
         item = root.GetPrevSuber(kWalkContinue, &finder))
        walk += item->name;
    EXPECT_EQ(u"heacdb", walk);
}

} // namespace
