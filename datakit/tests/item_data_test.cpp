// Descriptor lifecycle, setters with their 0/1/2 results, reading into row buffers, and
// comparison of values, packed rows and data nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "datakit/item_data_desc.h"
#include "item_data_util.h"
#include "platform/scriptkit/xdata_node.h"
#include "platform/scriptkit/xrow_buffer.h"
#include "platform/scriptkit/xrow_grider.h"
#include "platform/scriptkit/xrow_map.h"
#include "platform/scriptkit/xvariable.h"

namespace {

XRowGrider *MakeTable(std::initializer_list<uint16_t> types)
{
    std::vector<XGridColumn_t> cols;
    for (uint16_t t : types) {
        XGridColumn_t c{};
        c.type = t;
        c.size = 8;
        cols.push_back(c);
    }
    XRowGrider *g = XRowGrider::Malloc();
    g->SetItemDesc(cols.data(), nullptr, static_cast<uint32_t>(cols.size()));
    return g;
}

TEST(ItemDataTest, CreatesAndInitialises)
{
    DescPtr d(MallocItemDesc());
    EXPECT_EQ(0, d->type);
    EXPECT_EQ(15u, d->flags);
    EXPECT_EQ(1, d->isNull);
    EXPECT_EQ(nullptr, d->next);
    InitItemDesc(d.get());
    EXPECT_EQ(kValueText, d->type);
    EXPECT_EQ(32, d->size);
    EXPECT_EQ(15u, d->flags);
    EXPECT_EQ(1, d->isNull);
}

TEST(ItemDataTest, SizeOfDescDoublesTextWidths)
{
    struct
    {
        uint16_t type, size;
        uint32_t width;
    } cases[] = {
        {kValueText, 10, 20},  {kValueText2, 10, 20}, {kValueInteger, 4, 4},
        {kValueFloater, 8, 8}, {kValueBytes, 30, 30}, {kValueTime, 8, 8},
    };
    for (auto &c : cases) {
        DescPtr d = MakeDesc(c.type, c.size);
        EXPECT_EQ(c.width, SizeOfDesc(d.get())) << c.type;
    }
}

TEST(ItemDataTest, TextSetterResultsAndCut)
{
    DescPtr d = MakeDesc(kValueText, 32);
    EXPECT_EQ(1, SetItemValue(d.get(), static_cast<const char16_t *>(nullptr)));
    EXPECT_EQ(0, d->modified);
    EXPECT_EQ(2, SetItemValue(d.get(), u"abc"));
    EXPECT_EQ(1, d->modified);
    EXPECT_EQ(0, d->isNull);
    EXPECT_EQ(1, SetItemValue(d.get(), u"abc"));
    EXPECT_EQ(2, SetItemValue(d.get(), u"ABC")); // case-sensitive
    std::u16string forty(40, u'x');
    EXPECT_EQ(2, SetItemValue(d.get(), forty.c_str()));
    EXPECT_EQ(std::u16string(31, u'x'), TextOf(d.get()));
    EXPECT_EQ(1, SetItemValue(d.get(), forty.c_str())); // the same after the cut
    EXPECT_EQ(2, SetItemValue(d.get(), static_cast<const char16_t *>(nullptr)));
    EXPECT_EQ(1, d->isNull);
    EXPECT_NE(nullptr, d->value.text);           // the buffer stays for reuse
    EXPECT_EQ(2, SetItemValue(d.get(), u"abc")); // leaving null is a change
    EXPECT_EQ(0, SetItemValue(d.get(), 5));      // numbers are no text
    EXPECT_EQ(u"abc", TextOf(d.get()));
}

TEST(ItemDataTest, TextOfSizeZeroIsUnlimitedAndSelfAssignmentKeepsText)
{
    DescPtr d = MakeDesc(kValueText2, 0);
    std::u16string big(300, u'q');
    EXPECT_EQ(2, SetItemValue(d.get(), big.c_str()));
    EXPECT_EQ(big, TextOf(d.get()));
    EXPECT_EQ(1, SetItemValue(d.get(), d->value.text));
    EXPECT_EQ(2, SetItemValue(d.get(), d->value.text + 290)); // a tail of its own buffer
    EXPECT_EQ(std::u16string(10, u'q'), TextOf(d.get()));
}

TEST(ItemDataTest, IntegerWidthsAndConversions)
{
    struct
    {
        uint16_t size;
        int64_t in;
        int64_t stored;
    } cases[] = {
        {2, 70000, 4464}, {3, -32769, 32767},        {4, 0x1'0000'0005ll, 5},
        {4, -1, -1},      {8, INT64_MIN, INT64_MIN}, {8, 0x7FFF'FFFF'FFFF'FFFFll, INT64_MAX},
    };
    for (auto &c : cases) {
        DescPtr d = MakeDesc(kValueInteger, c.size);
        EXPECT_EQ(2, SetItemValue(d.get(), c.in));
        EXPECT_EQ(c.stored, d->value.integer) << c.size << " " << c.in;
        EXPECT_EQ(1, SetItemValue(d.get(), c.in));
    }
    DescPtr d = MakeDesc(kValueInteger, 2);
    EXPECT_EQ(2, SetItemValue(d.get(), 1e9)); // saturates instead of wrapping
    EXPECT_EQ(32767, d->value.integer);
    EXPECT_EQ(2, SetItemValue(d.get(), -2.9));
    EXPECT_EQ(-2, d->value.integer);
    EXPECT_EQ(2, SetItemValue(d.get(), std::nan("")));
    EXPECT_EQ(0, d->value.integer);
    EXPECT_EQ(0, SetItemValue(d.get(), u"12"));
    DescPtr f = MakeDesc(kValueFloater, 8);
    EXPECT_EQ(2, SetItemValue(f.get(), 3));
    EXPECT_EQ(3.0, f->value.floater);
    EXPECT_EQ(2, SetItemValue(f.get(), int64_t{1} << 53));
    EXPECT_EQ(1, SetItemValue(f.get(), 9007199254740992.0));
}

TEST(ItemDataTest, TimeBytesStreamAndTypeMismatch)
{
    DescPtr t = MakeDesc(kValueTime, 8);
    EXPECT_EQ(2, SetItemValue(t.get(), u"2024-02-29 13:05:09"));
    EXPECT_EQ(2024, t->value.time.wYear);
    EXPECT_EQ(29, t->value.time.bDay);
    EXPECT_EQ(1, SetItemValue(t.get(), t->value.time));
    EXPECT_EQ(0, SetItemValue(t.get(), u"not a time"));
    EXPECT_EQ(29, t->value.time.bDay);
    EXPECT_EQ(0, SetItemValue(t.get(), 1.5));

    DescPtr b = MakeDesc(kValueBytes, 4);
    auto block = Block("abcdef");
    EXPECT_EQ(2, SetItemValue(b.get(), block.data()));
    EXPECT_EQ(4u, GetBlockLength(b->value.bytes));
    EXPECT_EQ(0, std::memcmp(b->value.bytes + 4, "abcd", 4));
    EXPECT_EQ(1, SetItemValue(b.get(), block.data()));
    EXPECT_EQ(2, SetItemValue(b.get(), Block("xy").data()));
    EXPECT_EQ(2u, GetBlockLength(b->value.bytes));

    DescPtr s = MakeDesc(kValueStream, 0);
    XMemoArchive *a = XMemoArchive::Malloc();
    EXPECT_EQ(2, SetItemValue(s.get(), static_cast<IArchive *>(a)));
    EXPECT_EQ(3u, a->AddRef()); // ours, the descriptor's and this one
    a->Release();
    // Setting the stream already held keeps it alive.
    EXPECT_EQ(2, SetItemValue(s.get(), static_cast<IArchive *>(a)));
    EXPECT_EQ(3u, a->AddRef());
    a->Release();
    a->Release(); // ours; the descriptor holds the last one
    EXPECT_EQ(0u, s->value.stream->GetMaxSize());
    EXPECT_EQ(2, SetItemNull(s.get()));
    EXPECT_EQ(nullptr, s->value.stream);
    EXPECT_EQ(1, SetItemNull(s.get()));
    EXPECT_EQ(0, SetItemValue(b.get(), static_cast<IArchive *>(nullptr)));
}

TEST(ItemDataTest, TablesWithAndWithoutColumnChain)
{
    DescPtr plain = MakeDesc(kValueTable, 0);
    XRowGrider *g = MakeTable({kValueInteger, kValueText});
    g->AppendRow();
    EXPECT_EQ(2, SetItemValue(plain.get(), g));
    EXPECT_EQ(g, plain->value.table);
    EXPECT_EQ(2, SetItemValue(plain.get(), g)); // the same table stays alive
    EXPECT_EQ(1u, plain->value.table->GetRowCount());

    DescPtr chained = MakeDesc(kValueTable, 0);
    AddColumn(chained.get(), kValueInteger, 8, u"A");
    AddColumn(chained.get(), kValueText, 16, u"B");
    AddColumn(chained.get(), kValueFloater, 8, u"C");
    EXPECT_EQ(2, SetItemValue(chained.get(), g)); // 2 columns against 3: rows appended
    XRowGrider *held = chained->value.table;
    ASSERT_NE(nullptr, held);
    EXPECT_NE(g, held);
    EXPECT_EQ(3u, held->GetColCount());
    EXPECT_EQ(1u, held->GetRowCount());
    EXPECT_EQ(2, SetItemValue(chained.get(), g));
    EXPECT_EQ(held, chained->value.table);
    EXPECT_EQ(2u, held->GetRowCount());

    XRowGrider *three = MakeTable({kValueInteger, kValueText, kValueFloater});
    EXPECT_EQ(2, SetItemValue(chained.get(), three)); // matching width replaces
    EXPECT_EQ(three, chained->value.table);

    uint32_t flags[2] = {7, 9};
    DescPtr viaGrider = MakeDesc(kValueTable, 0);
    EXPECT_EQ(2, SetItemGrider(viaGrider.get(), g, nullptr, flags, 2));
    EXPECT_EQ(9u, g->GetColumn(1)->flags);
    DescPtr text = MakeDesc(kValueText, 4);
    EXPECT_EQ(0, SetItemGrider(text.get(), g, nullptr, flags, 2));
    g->Release();
    three->Release();
}

TEST(ItemDataTest, CarriersDispatchOnTheirType)
{
    DescPtr d = MakeDesc(kValueInteger, 8);
    XVariable v;
    v.SetInteger(-5);
    EXPECT_EQ(2, SetItemValue(d.get(), &v));
    EXPECT_EQ(-5, d->value.integer);
    v.SetNull();
    EXPECT_EQ(2, SetItemValue(d.get(), &v));
    EXPECT_EQ(1, d->isNull);
    EXPECT_EQ(1, SetItemValue(d.get(), static_cast<const XVariable *>(nullptr)));
    v.SetInteger(4);
    SetItemValue(d.get(), &v);
    EXPECT_EQ(2, SetItemValue(d.get(), static_cast<const XDataNode *>(nullptr)));

    XRowMap *map = XRowMap::Malloc();
    v.SetRowMap(map);
    map->Release();
    SetItemValue(d.get(), int64_t{1});
    EXPECT_EQ(0, SetItemValue(d.get(), &v)); // arrays are no item value: null, 0
    EXPECT_EQ(1, d->isNull);

    DescPtr text = MakeDesc(kValueText2, 10);
    XDataNode node;
    InitDataNode(&node);
    node.type = kValueText;
    node.isNull = 0;
    node.value.text = u"node";
    EXPECT_EQ(2, SetItemValue(text.get(), &node));
    EXPECT_EQ(u"node", TextOf(text.get()));
    node.isNull = 1;
    EXPECT_EQ(2, SetItemValue(text.get(), &node));
    EXPECT_EQ(1, text->isNull);
}

TEST(ItemDataTest, GetItemValueFillsANode)
{
    XRowBuffer buffer;
    DescPtr t = MakeDesc(kValueText2, 10);
    t->id = 7;
    t->dataClass = 3;
    SetItemValue(t.get(), u"hi");
    DescPtr n = MakeDesc(kValueInteger, 4);
    DescPtr s = MakeDesc(kValueStream, 0);
    XMemoArchive *a = XMemoArchive::Malloc();
    SetItemValue(s.get(), static_cast<IArchive *>(a));
    a->Release();
    EXPECT_EQ(1, GetItemValue(t.get(), &buffer, 0x55));
    EXPECT_EQ(1, GetItemValue(n.get(), &buffer, 0));
    EXPECT_EQ(1, GetItemValue(s.get(), &buffer, 0));
    const XDataNode *node = buffer.GetDataNode(0);
    EXPECT_EQ(kValueText, node->type);
    EXPECT_EQ(7u, node->id);
    EXPECT_EQ(3u, node->dataClass);
    EXPECT_EQ(10, node->size);
    EXPECT_EQ(0x55u, node->tag);
    EXPECT_EQ(t->value.text, node->value.text);
    EXPECT_EQ(2u, node->length);
    EXPECT_TRUE(IsNullNode(buffer.GetDataNode(1)));
    EXPECT_EQ(kValueInteger, buffer.GetDataNode(1)->type);
    EXPECT_EQ(3u, a->AddRef()); // descriptor + node + ours
    a->Release();
    buffer.ClearBuffer();
    EXPECT_EQ(2u, a->AddRef());
    a->Release();
}

TEST(ItemDataTest, CopyItemDescCopiesDefinitionAndValue)
{
    DescPtr src = MakeDesc(kValueBytes, 10, u"S");
    src->id = 4;
    src->dataClass = 6;
    SetItemValue(src.get(), Block("xyz").data());
    DescPtr dst = MakeDesc(kValueText, 5, u"D");
    SetItemValue(dst.get(), u"old");
    CopyItemDesc(dst.get(), src.get());
    EXPECT_EQ(kValueBytes, dst->type);
    EXPECT_EQ(4u, dst->id);
    EXPECT_EQ(6u, dst->dataClass);
    EXPECT_EQ(std::u16string(u"D"), std::u16string(dst->name));
    ASSERT_EQ(0, dst->isNull);
    EXPECT_NE(src->value.bytes, dst->value.bytes);
    EXPECT_EQ(0, std::memcmp(src->value.bytes, dst->value.bytes, 7));

    DescPtr stream = MakeDesc(kValueStream, 0);
    XMemoArchive *a = XMemoArchive::Malloc();
    SetItemValue(stream.get(), static_cast<IArchive *>(a));
    a->Release();
    CopyItemDesc(dst.get(), stream.get());
    EXPECT_EQ(kValueStream, dst->type);
    EXPECT_EQ(1, dst->isNull);
    CopyItemDesc(dst.get(), nullptr);
    EXPECT_EQ(1, dst->isNull);
}

TEST(ItemDataTest, ReleaseAndClearKeepWhatTheyShould)
{
    DescPtr d = MakeDesc(kValueTable, 0, u"T");
    XItemDataDesc *col = AddColumn(d.get(), kValueText, 8, u"c");
    col->keyer = StrAlloc(u"k");
    SetItemValue(col, u"v");
    XRowGrider *g = MakeTable({kValueInteger});
    SetItemValue(d.get(), g);
    g->Release();
    ClearItemDesc(d.get());
    EXPECT_EQ(1, d->isNull);
    EXPECT_EQ(0u, d->capacity);
    EXPECT_EQ(col, d->next);
    ReleaseItemDesc(d.get());
    EXPECT_EQ(nullptr, d->next);
    EXPECT_EQ(std::u16string(u"T"), std::u16string(d->name));
}

// ---- Comparison ----------------------------------------------------------------------

TEST(ItemDataCompareTest, SingleValues)
{
    DescPtr i16 = MakeDesc(kValueInteger, 2);
    int64_t a = -1, b = 1;
    EXPECT_EQ(-1, CompareSuber(&a, 0, &b, 0, i16.get()));
    EXPECT_EQ(-1, CompareSuber(&a, 1, &b, 0, i16.get()));
    EXPECT_EQ(1, CompareSuber(&a, 0, &b, 1, i16.get()));
    EXPECT_EQ(0, CompareSuber(&a, 1, &b, 1, i16.get()));
    DescPtr i64 = MakeDesc(kValueInteger, 8);
    int64_t big = int64_t{1} << 40, small = 1;
    EXPECT_EQ(1, CompareSuber(&big, 0, &small, 0, i64.get()));
    DescPtr text = MakeDesc(kValueText, 8);
    EXPECT_EQ(-1, CompareSuber(u"a", 0, u"z", 0, text.get())); // not the raw difference
    EXPECT_EQ(1, CompareSuber(u"ab", 0, u"a", 0, text.get()));
    EXPECT_EQ(0, CompareSuber(u"ab", 0, u"ab", 0, text.get()));
    DescPtr dbl = MakeDesc(kValueFloater, 8);
    double x = 0.5, y = -0.5;
    EXPECT_EQ(1, CompareSuber(&x, 0, &y, 0, dbl.get()));
    DescPtr time = MakeDesc(kValueTime, 8);
    DATETIME_t t1{2020, 1, 2, 0, 0, 0, 0}, t2{2020, 1, 1, 23, 0, 0, 0};
    EXPECT_EQ(1, CompareSuber(&t1, 0, &t2, 0, time.get()));
    DescPtr bytes = MakeDesc(kValueBytes, 8);
    EXPECT_EQ(2, CompareSuber(&a, 0, &b, 0, bytes.get()));
}

// A packed row of (int64, text2 size 3, int16, double).
struct PackedRow
{
    uint8_t bytes[8 + 6 + 2 + 8] = {};
    PackedRow(int64_t a, const char16_t *t, int16_t c, double d)
    {
        std::memcpy(bytes, &a, 8);
        std::memcpy(bytes + 8, t, std::char_traits<char16_t>::length(t) * 2);
        std::memcpy(bytes + 14, &c, 2);
        std::memcpy(bytes + 16, &d, 8);
    }
};

TEST(ItemDataCompareTest, PackedRowsAndNodes)
{
    DescPtr cols = MakeDesc(kValueInteger, 8);
    AddColumn(cols.get(), kValueText2, 3, u"t");
    AddColumn(cols.get(), kValueInteger, 2, u"c");
    AddColumn(cols.get(), kValueFloater, 8, u"d");
    PackedRow base(int64_t{1} << 33, u"abc", 5, 1.5); // the text fills its width, no terminator
    struct
    {
        PackedRow other;
        int expected;
    } cases[] = {
        {PackedRow(int64_t{1} << 33, u"abc", 5, 1.5), 0},
        {PackedRow(int64_t{1} << 32, u"abc", 5, 1.5), 1}, // only the high word differs
        {PackedRow(int64_t{1} << 33, u"abd", 5, 1.5), -1},
        {PackedRow(int64_t{1} << 33, u"ab", 5, 1.5), 1},
        {PackedRow(int64_t{1} << 33, u"abc", -5, 1.5), 1},
        {PackedRow(int64_t{1} << 33, u"abc", 5, 2.5), -1}, // found after the type-14 width
    };
    for (auto &c : cases)
        EXPECT_EQ(c.expected,
                  CompareSuber(base.bytes, nullptr, c.other.bytes, nullptr, cols.get(), 4));
    uint8_t nullsA[4] = {0, 1, 0, 0}, nullsB[4] = {0, 1, 0, 0}, none[4] = {};
    EXPECT_EQ(-1, CompareSuber(base.bytes, nullsA, base.bytes, none, cols.get(), 4));
    EXPECT_EQ(0, CompareSuber(base.bytes, nullsA, cases[3].other.bytes, nullsB, cols.get(), 2));

    DescPtr withBytes = MakeDesc(kValueBytes, 4);
    uint8_t raw[4] = {1, 2, 3, 4};
    EXPECT_EQ(2, CompareSuber(raw, nullptr, raw, nullptr, withBytes.get(), 1));

    XDataNode nodes[4];
    for (auto &n : nodes) {
        InitDataNode(&n);
        n.isNull = 0;
    }
    nodes[0].type = kValueInteger;
    nodes[0].value.integer = int64_t{1} << 33;
    nodes[1].type = kValueText;
    nodes[1].value.text = u"abc";
    nodes[2].type = kValueInteger;
    nodes[2].value.integer = 5;
    nodes[3].type = kValueFloater;
    nodes[3].value.floater = 1.5;
    EXPECT_EQ(0, CompareSuber(base.bytes, nullptr, cols.get(), nodes, 4));
    nodes[0].value.integer = (int64_t{1} << 33) + 1;
    EXPECT_EQ(-1, CompareSuber(base.bytes, nullptr, cols.get(), nodes, 4));
    nodes[0].value.integer = int64_t{1} << 33;
    nodes[3].type = kValueInteger;
    EXPECT_EQ(2, CompareSuber(base.bytes, nullptr, cols.get(), nodes, 4));
    InitDataNode(&nodes[1]);
    EXPECT_EQ(1, CompareSuber(base.bytes, nullptr, cols.get(), nodes, 4));
}

} // namespace

namespace {

// Every value type passes from a descriptor through a data node into a table cell and
// back into a descriptor unchanged.
TEST(ItemDataTest, ValuesPassThroughNodesAndTablesUnchanged)
{
    DescPtr every = MakeEveryType();
    for (const XItemDataDesc *src = every.get(); src; src = src->next) {
        SCOPED_TRACE(src->type);
        XRowBuffer buffer;
        GetItemValue(src, &buffer, 0);
        XGridColumn_t col{};
        col.type = src->type;
        col.size = src->size;
        XRowGrider *g = XRowGrider::Malloc();
        g->SetItemDesc(&col, nullptr, 1);
        g->AppendRow();
        ASSERT_EQ(1, g->SetCellValue(0, 0, buffer.GetDataNode(0)));
        XDataNode cell;
        InitDataNode(&cell);
        g->GetCellValue(0, 0, &cell);
        DescPtr back = MakeDesc(src->type, src->size);
        SetItemValue(back.get(), &cell);
        ClearDataNode(&cell);
        g->Release();
        ASSERT_EQ(src->isNull, back->isNull);
        if (src->isNull)
            continue;
        if (src->type == kValueText || src->type == kValueText2)
            EXPECT_EQ(TextOf(src), TextOf(back.get()));
        else if (src->type == kValueBytes)
            EXPECT_EQ(0, std::memcmp(src->value.bytes, back->value.bytes,
                                     4 + GetBlockLength(src->value.bytes)));
        else if (src->type == kValueStream)
            EXPECT_EQ(src->value.stream, back->value.stream);
        else
            EXPECT_EQ(src->value.integer, back->value.integer);
    }
}

} // namespace
