// The tree item's nodes without a window: insertion next to neighbours and its refusals,
// the two walks, counters, check propagation, moves and switches, value buffers, search,
// deletion with its notifications and binder releases, node heights, widths and the hit
// test at each part's edges.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <cairo.h>

#include "pagekit/items/page_tree.h"
#include "pagekit/items/tests/tree_fixture.h"
#include "platform/panekit/icon/icon_drawer.h"

namespace {

// The pre-order walk as "caption:layer:first:visible".
std::vector<std::string> Walk(XPageTree &tree, XTreeItem *sub = nullptr)
{
    std::vector<std::string> out;
    XTreeItem *n = sub == nullptr ? tree.GetNextSuber(nullptr) : tree.GetNextSuber(sub, nullptr);
    while (n != nullptr) {
        out.push_back(Narrow(n->text) + ":" + std::to_string(n->layer) + ":" +
                      std::to_string(n->firstMark) + ":" + std::to_string(n->visible));
        n = sub == nullptr ? tree.GetNextSuber(n) : tree.GetNextSuber(sub, n);
    }
    return out;
}

// Captions in pre-order.
std::string Order(XPageTree &tree)
{
    std::string out;
    for (XTreeItem *n = tree.GetNextSuber(nullptr); n != nullptr; n = tree.GetNextSuber(n))
        out += (out.empty() ? "" : " ") + Narrow(n->text);
    return out;
}

// a (b (c d) e) f
struct Sample
{
    XPageTree tree;
    XTreeItem *a, *b, *c, *d, *e, *f;
    Sample()
    {
        a = Add(tree, u"a");
        b = Add(tree, u"b", a);
        c = Add(tree, u"c", b);
        d = Add(tree, u"d", b);
        e = Add(tree, u"e", a);
        f = Add(tree, u"f");
    }
};

TEST(PageTree, InsertsNextToNeighboursAndRefusesForeignOnes)
{
    XPageTree tree;
    TreeNotes notes;
    notes.Attach(&tree);
    XTreeItem *m = Add(tree, u"m");
    XTreeItem *z = Add(tree, u"z");
    XTreeItem *first = tree.InsertBefore(u"a", 0, 0, nullptr, nullptr, nullptr); // first root
    XTreeItem *n = tree.InsertAfter(u"n", 0, 0, nullptr, nullptr, m);
    XTreeItem *y = tree.InsertBefore(u"y", 0, 0, nullptr, nullptr, z);
    XTreeItem *kid = Add(tree, u"k", m);
    tree.InsertBefore(u"j", 0, 0, nullptr, m, kid);
    tree.InsertAfter(u"l", 0, 0, nullptr, m, kid);
    EXPECT_EQ("a m j k l n y z", Order(tree));
    EXPECT_EQ(first, tree.GetRootItem());
    EXPECT_EQ(8u, notes.notes.size());
    EXPECT_EQ(kTreeOnInsertItem, notes.notes.front().code);
    EXPECT_EQ(m, notes.notes.front().node);

    // A neighbour that is not a child of the parent would splice two rings.
    EXPECT_EQ(nullptr, tree.InsertAfter(u"x", 0, 0, nullptr, nullptr, kid));
    EXPECT_EQ(nullptr, tree.InsertBefore(u"x", 0, 0, nullptr, m, n));
    EXPECT_EQ(nullptr, tree.InsertAfter(u"x", 0, 0, nullptr, y, z));
    EXPECT_EQ(8u, tree.GetCounter());

    // Ring ends.
    EXPECT_EQ(nullptr, tree.GetPrevItem(first));
    EXPECT_EQ(nullptr, tree.GetNextItem(z));
    EXPECT_EQ(y, tree.GetPrevItem(z));
    EXPECT_EQ(nullptr, tree.GetNextItem(tree.GetChildItem(m)->prev));
    EXPECT_EQ(m, tree.GetParentItem(kid));
    EXPECT_EQ(1u, tree.GetItemLayer(kid));
    EXPECT_EQ(1, tree.IsChildItem(m, kid));
    EXPECT_EQ(0, tree.IsChildItem(kid, m));
    EXPECT_EQ(0, tree.IsChildItem(n, kid));

    // A handler that deletes the node it hears of: the insert gives null.
    notes.onNote = [&](XMessage_t *msg) {
        if (msg->code == kTreeOnInsertItem)
            tree.DeleteItem(reinterpret_cast<XTreeItem *>(msg->value));
    };
    EXPECT_EQ(nullptr, Add(tree, u"gone", m));
    EXPECT_EQ(8u, tree.GetCounter());
}

TEST(PageTree, WalksSetLayersFirstMarksAndVisibility)
{
    Sample s;
    EXPECT_EQ((std::vector<std::string>{"a:0:1:1", "b:1:1:0", "c:2:1:0", "d:2:0:0", "e:1:0:0",
                                        "f:0:0:1"}),
              Walk(s.tree));
    EXPECT_EQ(6u, s.tree.GetCounter());
    EXPECT_EQ(2u, s.tree.GetVisibleCounter());
    s.tree.ExpandItem(s.a, 1);
    EXPECT_EQ(4u, s.tree.GetVisibleCounter());
    s.tree.ExpandItem(s.b, 2);
    EXPECT_EQ(6u, s.tree.GetVisibleCounter());
    // The restricted walk stays below its node.
    EXPECT_EQ((std::vector<std::string>{"c:2:1:1", "d:2:0:1"}), Walk(s.tree, s.b));
    EXPECT_EQ((std::vector<std::string>{"b:1:1:1", "c:2:1:1", "d:2:0:1", "e:1:0:1"}),
              Walk(s.tree, s.a));
    EXPECT_TRUE(Walk(s.tree, s.f).empty());
    s.tree.ExpandItem(s.a, 2); // collapse: b keeps its own expanded bit
    EXPECT_EQ(2u, s.tree.GetVisibleCounter());
    EXPECT_EQ(unsigned{kTreeExpanded}, s.tree.GetItemState(s.b) & kTreeExpanded);
    s.tree.ExpandTree(nullptr, 1);
    EXPECT_EQ(6u, s.tree.GetVisibleCounter());
    s.tree.ExpandTree(s.b, 0);
    EXPECT_EQ(4u, s.tree.GetVisibleCounter());
    EXPECT_EQ(unsigned{kTreeExpanded}, s.tree.GetItemState(s.a) & kTreeExpanded);
}

TEST(PageTree, ChecksPropagateBothWays)
{
    struct Case
    {
        const char *what;
        std::vector<std::pair<char, unsigned>> ops; // node, op
        const char *states;                         // a b c d e f: 0, x checked, p partly
    };
    const Case cases[] = {
        {"parent checks every descendant", {{'a', 1}}, "xxxxx0"},
        {"one child off makes the parent partly", {{'a', 1}, {'c', 0}}, "pp0xx0"},
        {"all children off unchecks the parent", {{'a', 1}, {'c', 0}, {'d', 0}}, "p000x0"},
        {"and with the last one the root", {{'a', 1}, {'c', 0}, {'d', 0}, {'e', 0}}, "000000"},
        {"children checked one by one", {{'c', 1}, {'d', 1}, {'e', 1}}, "xxxxx0"},
        {"toggle of a partly checked node checks it", {{'c', 1}, {'b', 2}}, "pxxx00"},
        {"toggle twice", {{'f', 2}, {'f', 2}}, "000000"},
        {"unchecking an unchecked node does nothing", {{'b', 0}}, "000000"},
    };
    for (const Case &k : cases) {
        Sample s;
        XTreeItem *nodes[] = {s.a, s.b, s.c, s.d, s.e, s.f};
        for (auto [name, op] : k.ops)
            s.tree.CheckItem(nodes[name - 'a'], op);
        std::string states;
        for (XTreeItem *n : nodes) {
            const unsigned st = s.tree.GetItemState(n);
            states += st & kTreeChecked ? 'x' : st & kTreePartChecked ? 'p' : '0';
        }
        EXPECT_EQ(k.states, states) << k.what;
    }

    // Inserting an unchecked child under a checked parent makes it partly checked; deleting
    // it again checks it; a parent that loses its last child keeps its bits.
    Sample s;
    s.tree.CheckItem(s.a, 1);
    XTreeItem *g = Add(s.tree, u"g", s.b);
    EXPECT_EQ(unsigned{kTreePartChecked}, s.tree.GetItemState(s.b) & 0x30);
    EXPECT_EQ(unsigned{kTreePartChecked}, s.tree.GetItemState(s.a) & 0x30);
    s.tree.DeleteItem(g);
    EXPECT_EQ(unsigned{kTreeChecked}, s.tree.GetItemState(s.a) & 0x30);
    s.tree.DeleteItem(s.c);
    s.tree.DeleteItem(s.d);
    EXPECT_EQ(unsigned{kTreeChecked}, s.tree.GetItemState(s.b) & 0x30);
    // UpdateState of a leaf changes nothing.
    EXPECT_EQ(0, s.tree.UpdateState(s.b));
    // The caller's bits survive checking; SetItemState writes the whole word.
    s.tree.SetItemState(s.f, 0x4001);
    s.tree.CheckItem(s.f, 1);
    EXPECT_EQ(0x4011u, s.tree.GetItemState(s.f));
}

TEST(PageTree, MovesAndSwitchesKeepTheRings)
{
    Sample s;
    // MoveItem: the other node, or null at the end of the ring.
    EXPECT_EQ(nullptr, s.tree.MoveItem(s.f, 1));
    EXPECT_EQ(nullptr, s.tree.MoveItem(s.a, 0));
    EXPECT_EQ(nullptr, s.tree.MoveItem(nullptr, 1));
    EXPECT_EQ("a b c d e f", Order(s.tree));
    EXPECT_EQ(s.d, s.tree.MoveItem(s.c, 1));
    EXPECT_EQ("a b d c e f", Order(s.tree));
    EXPECT_EQ(s.d, s.tree.MoveItem(s.c, 0));
    EXPECT_EQ(s.f, s.tree.MoveItem(s.a, 1));
    EXPECT_EQ("f a b c d e", Order(s.tree));
    EXPECT_EQ(s.f, s.tree.GetRootItem());
    EXPECT_EQ(s.f, s.tree.MoveItem(s.a, 0));
    EXPECT_EQ("a b c d e f", Order(s.tree));

    struct Case
    {
        char x, y;
        int result;
        const char *order;
    };
    const Case cases[] = {
        {'a', 'a', 0, "a b c d e f"}, // equal
        {'a', 'c', 0, "a b c d e f"}, // ancestor
        {'d', 'b', 0, "a b c d e f"}, // descendant
        {'c', 'd', 1, "a b d c e f"}, // neighbours
        {'c', 'e', 1, "a b e d c f"}, // different parents
        {'b', 'f', 1, "a f e b c d"}, // a subtree with a root
        {'a', 'f', 1, "f a b c d e"}, // the roots
    };
    for (const Case &k : cases) {
        Sample t;
        XTreeItem *nodes[] = {t.a, t.b, t.c, t.d, t.e, t.f};
        EXPECT_EQ(k.result, t.tree.SwitchNode(nodes[k.x - 'a'], nodes[k.y - 'a'])) << k.x << k.y;
        EXPECT_EQ(k.order, Order(t.tree)) << k.x << k.y;
        EXPECT_EQ(6u, t.tree.GetCounter());
    }
    EXPECT_EQ(0, s.tree.SwitchNode(nullptr, s.a));
    // Layers follow a switch.
    s.tree.SwitchNode(s.c, s.f);
    Walk(s.tree);
    EXPECT_EQ(0u, s.tree.GetItemLayer(s.c));
    EXPECT_EQ(2u, s.tree.GetItemLayer(s.f));
    EXPECT_EQ(s.b, s.tree.GetParentItem(s.f));
}

TEST(PageTree, ValueBuffersNumbersAndTexts)
{
    XPageTree tree;
    const char16_t number[] = {0, 0x4321, 0x8765, 0xCBA9, 0x0FED, 0};
    XTreeItem *n = tree.InsertAfter(u"n", 0, 0, number, nullptr, nullptr);
    XTreeItem *t = tree.InsertAfter(u"t", 0, 0,
                                    u"\x01"
                                    u"code",
                                    nullptr, nullptr);
    XTreeItem *empty = tree.InsertAfter(u"e", 0, 0, u"\x1", nullptr, nullptr);
    XTreeItem *none = tree.InsertAfter(u"x", 0, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(0x0FEDCBA987654321ull, tree.GetItemValue(n));
    EXPECT_EQ(nullptr, n->valueText);
    EXPECT_EQ("code", Narrow(t->valueText));
    EXPECT_EQ(nullptr, empty->valueText); // a tag and an empty text: no value text
    EXPECT_EQ(0u, tree.GetItemValue(none));

    struct Case
    {
        XTreeItem *node;
        unsigned size;
        std::u16string out; // what the buffer holds ('#': untouched)
    };
    const std::u16string num = {0, 0x4321, 0x8765, 0xCBA9, 0x0FED};
    const Case cases[] = {
        {n, 4, u"#######"},
        {n, 5, num + u"##"},
        {n, 7, num + u"##"},
        {t, 1, u"#######"},
        {t, 2, std::u16string(u"\x1") + char16_t(0) + u"#####"},
        {t, 4,
         std::u16string(u"\x1"
                        u"co") +
             char16_t(0) + u"###"},
        {t, 7,
         std::u16string(u"\x1"
                        u"code") +
             char16_t(0) + u"#"},
    };
    for (const Case &k : cases) {
        std::u16string buf(7, u'#');
        tree.GetItemValue(k.node, buf.data(), k.size);
        EXPECT_EQ(k.out, buf) << k.size;
    }
    // Setting a number frees the text; the text form replaces the number.
    tree.SetItemValue(t, uint64_t{42});
    EXPECT_EQ(nullptr, t->valueText);
    EXPECT_EQ(t, tree.SearchItem(uint64_t{42}));
    tree.SetItemValue(n, u"\x02"
                         u"key");
    EXPECT_EQ(n, tree.SearchItem(u"key"));
    EXPECT_EQ(nullptr, tree.SearchItem(u"ke"));
    EXPECT_EQ(nullptr, tree.SearchItem(uint64_t{0x0FEDCBA987654321ull}));
    EXPECT_EQ(empty, tree.SearchItem(uint64_t{0})); // first numeric 0 in pre-order
}

TEST(PageTree, SearchNameIgnoresAsciiCase)
{
    XPageTree tree;
    XTreeItem *a = Add(tree, u"Orders");
    XTreeItem *b = Add(tree, u"Order lines", a);
    XTreeItem *c = Add(tree, u"客户", a);
    EXPECT_EQ(a, tree.SearchName(u"orders"));
    EXPECT_EQ(b, tree.SearchName(u"ORDER *"));
    EXPECT_EQ(c, tree.SearchName(u"客?"));
    EXPECT_EQ(nullptr, tree.SearchName(u"x*"));
    EXPECT_EQ(nullptr, tree.SearchName(nullptr));
}

TEST(PageTree, DeletionNotifiesAndReleasesEachBinderOnce)
{
    Released::List().clear();
    int binders[8];
    {
        Sample s;
        TreeNotes notes;
        notes.Attach(&s.tree);
        s.tree.SetRelease(&Released::Proc);
        XTreeItem *nodes[] = {s.a, s.b, s.c, s.d, s.e, s.f};
        for (int i = 0; i < 6; ++i)
            s.tree.SetItemBinder(nodes[i], &binders[i]);
        s.tree.SetItemBinder(s.f, &binders[5]); // the same binder: nothing released
        EXPECT_TRUE(Released::List().empty());
        s.tree.SetItemBinder(s.f, &binders[6]);
        EXPECT_EQ((std::vector<void *>{&binders[5]}), Released::List());

        // The selection below the deleted node goes first.
        s.tree.SelectItem(s.c);
        EXPECT_EQ(s.a, s.tree.GetRootItem());
        EXPECT_EQ(unsigned{kTreeExpanded}, s.tree.GetItemState(s.b) & kTreeExpanded);
        EXPECT_EQ(unsigned{kTreeSelected}, s.tree.GetItemState(s.c) & kTreeSelected);
        notes.notes.clear();
        s.tree.DeleteItem(s.b);
        EXPECT_EQ((std::vector<uint32_t>{kTreeOnKillChoice, kTreeOnDeleteItem}), notes.Codes());
        EXPECT_EQ(nullptr, notes.notes[0].node);
        EXPECT_EQ(s.b, notes.notes[1].node);
        EXPECT_EQ(nullptr, s.tree.GetChoiceItem());
        EXPECT_EQ(3u, s.tree.GetCounter());
        EXPECT_EQ(4u, Released::List().size()); // with the binder replaced above
        s.tree.DeleteItem(nullptr);

        // A handler that deletes all from OnSelChange: the selection is not left dangling.
        notes.onNote = [&](XMessage_t *m) {
            if (m->code == kTreeOnSelChange)
                s.tree.DeleteAllItem();
        };
        s.tree.SelectItem(s.e);
        EXPECT_EQ(nullptr, s.tree.GetRootItem());
        EXPECT_EQ(nullptr, s.tree.GetChoiceItem());
        EXPECT_EQ(0u, s.tree.GetCounter());
        notes.onNote = nullptr;
        Add(s.tree, u"left");
        s.tree.SetItemBinder(s.tree.GetRootItem(), &binders[7]);
    }
    // Each binder released once, the one left by the destructor.
    std::vector<void *> list = Released::List();
    std::sort(list.begin(), list.end());
    EXPECT_EQ(8u, list.size());
    EXPECT_EQ(list.end(), std::adjacent_find(list.begin(), list.end()));
}

TEST(PageTree, DeleteHandlerDeletingTheNodeItself)
{
    Sample s;
    TreeNotes notes;
    notes.Attach(&s.tree);
    notes.onNote = [&](XMessage_t *m) {
        if (m->code == kTreeOnDeleteItem) {
            notes.onNote = nullptr;
            s.tree.DeleteItem(reinterpret_cast<XTreeItem *>(m->value));
        }
    };
    s.tree.DeleteItem(s.b);
    EXPECT_EQ("a e f", Order(s.tree));
}

TEST(PageTree, NodeHeightsAndWidths)
{
    XIconDrawer icons; // a 20-pixel strip of two icons
    cairo_surface_t *strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 20);
    ASSERT_TRUE(icons.LoadSurface(strip, 0));
    cairo_surface_destroy(strip);

    struct Case
    {
        unsigned space;
        bool withIcons;
        unsigned height;
    };
    const Case cases[] = {{0, false, 14}, {3, false, 18}, {4, false, 18},
                          {0, true, 22},  {4, true, 26},  {5, true, 28}};
    for (const Case &k : cases) {
        XPageTree tree;
        tree.SetItemSpace(k.space);
        if (k.withIcons)
            tree.SetIconWare(&icons);
        EXPECT_EQ(k.height, tree.GetItemHeight()) << k.space << k.withIcons;
    }

    // Cached widths: layer x 20 + caption + 20 (+ 13 checks) (+ icon width) + 8.
    XPageTree tree;
    XTreeItem *root = Add(tree, u"");
    XTreeItem *kid = Add(tree, u"", root);
    tree.ExpandItem(root, 1);
    BOUND_t place;
    ASSERT_TRUE(tree.GetItemPlace(kid, &place));
    EXPECT_EQ(40, place.x);
    EXPECT_EQ(14, place.y);
    EXPECT_EQ(48u, kid->width);
    tree.extraFlags |= kTreeCheckBox;
    tree.SetIconWare(&icons); // resets the widths
    ASSERT_TRUE(tree.GetItemPlace(kid, &place));
    EXPECT_EQ(52, place.x);
    EXPECT_EQ(22, place.y);
    EXPECT_EQ(48u + 13 + 20, kid->width);
    // A caption measures; a longer one is wider, and a text change measures again.
    tree.SetItemText(kid, u"ab");
    ASSERT_TRUE(tree.GetItemPlace(kid, &place));
    const unsigned two = kid->width;
    EXPECT_GT(two, 81u);
    tree.SetItemText(kid, u"abab");
    tree.GetItemPlace(kid, &place);
    EXPECT_GT(kid->width, two);
    // A larger font measures every caption again and makes the rows taller.
    const unsigned before = kid->width;
    tree.ApplyStyle(0, "font-size:24px;");
    tree.UpdateStyleDesc(2); // resolved again (a created item does so itself)
    ASSERT_TRUE(tree.GetItemPlace(kid, &place));
    EXPECT_GT(kid->width, before);
    EXPECT_EQ(26u, tree.GetItemHeight()); // 24 + 2, above the icons
    tree.ApplyStyle(1, "");
    tree.UpdateStyleDesc(2);
    ASSERT_TRUE(tree.GetItemPlace(kid, &place));
    EXPECT_EQ(before, kid->width);
    EXPECT_EQ(22u, tree.GetItemHeight());
    // The content: the widest node, rows x height + 3.
    EXPECT_EQ(1, tree.CalcScrollSize(0, nullptr));
    EXPECT_EQ(static_cast<int>(kid->width), tree.GetScrollSize(0));
    EXPECT_EQ(2 * 22 + 3, tree.GetScrollSize(1));
    tree.ExpandItem(root, 0);
    EXPECT_EQ(0, tree.GetItemPlace(kid, &place)); // not shown
    EXPECT_EQ(22 + 3, tree.GetScrollSize(1));
    tree.DeleteAllItem();
    EXPECT_EQ(0, tree.GetScrollSize(0));
    EXPECT_EQ(0, tree.GetScrollSize(1));
}

TEST(PageTree, HitTestAtEachPartsEdge)
{
    struct Case
    {
        bool checks;
        int x, y;
        const char *node;
        unsigned part;
    };
    // Rows are 14 high: a at 0, b (layer 1) at 14, c at 28; nothing from 42.
    const Case cases[] = {
        {false, 0, 0, "a", kTreeHitButton},   {false, 19, 13, "a", kTreeHitButton},
        {false, 20, 0, "a", kTreeHitCaption}, {false, 500, 0, "a", kTreeHitCaption},
        {false, 19, 14, "b", kTreeHitNone},   {false, 20, 14, "b", kTreeHitButton},
        {false, 39, 27, "b", kTreeHitButton}, {false, 40, 27, "b", kTreeHitCaption},
        {false, 5, 42, "", kTreeHitNone},     {false, 5, -1, "", kTreeHitNone},
        {true, 19, 0, "a", kTreeHitButton},   {true, 20, 0, "a", kTreeHitCheck},
        {true, 32, 0, "a", kTreeHitCheck},    {true, 33, 0, "a", kTreeHitCaption},
        {true, 52, 14, "b", kTreeHitCheck},   {true, 53, 14, "b", kTreeHitCaption},
        {true, 20, 28, "c", kTreeHitButton},
    };
    for (const Case &k : cases) {
        XPageTree tree;
        if (k.checks)
            tree.extraFlags |= kTreeCheckBox;
        XTreeItem *a = Add(tree, u"a");
        XTreeItem *b = Add(tree, u"b", a);
        Add(tree, u"c", a);
        Add(tree, u"hidden", b);
        tree.ExpandItem(a, 1);
        unsigned part = 99;
        XTreeItem *hit = tree.HitTest(k.x, k.y, &part);
        EXPECT_EQ(k.node, Narrow(hit != nullptr ? hit->text : nullptr)) << k.x << "," << k.y;
        EXPECT_EQ(k.part, part) << k.x << "," << k.y;
    }
}

} // namespace
