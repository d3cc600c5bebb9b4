// Script values: variables, row buffers, row maps and row grids, their ownership of
// text, bytes and references, and the table's archive form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/scriptkit/xdata_node.h"
#include "platform/scriptkit/xrow_buffer.h"
#include "platform/scriptkit/xrow_grider.h"
#include "platform/scriptkit/xrow_map.h"
#include "platform/scriptkit/xvariable.h"

namespace {

uint32_t Refs(IArchive *a)
{
    uint32_t n = a->AddRef();
    a->Release();
    return n - 1;
}

uint32_t Refs(XRowGrider *g)
{
    uint32_t n = g->AddRef();
    g->Release();
    return n - 1;
}

XRowGrider *Table(std::initializer_list<uint16_t> types)
{
    std::vector<XGridColumn_t> cols;
    uint32_t id = 1;
    for (uint16_t t : types) {
        XGridColumn_t c{};
        c.id = id++;
        c.type = t;
        c.size = 8;
        c.name[0] = u'c';
        cols.push_back(c);
    }
    XRowGrider *g = XRowGrider::Malloc();
    g->SetItemDesc(cols.data(), nullptr, static_cast<uint32_t>(cols.size()));
    return g;
}

TEST(XVariableTest, OwnsCopiesAndReferences)
{
    XVariable v;
    EXPECT_TRUE(v.IsNull());
    char16_t text[] = u"abc";
    v.SetString(text);
    text[0] = u'x';
    EXPECT_EQ(std::u16string(u"abc"), v.GetString());
    EXPECT_EQ(3u, v.GetLength());
    XVariable copy(v);
    EXPECT_NE(v.GetString(), copy.GetString());
    v.SetFloater(2.75);
    EXPECT_EQ(2, v.GetInteger());
    EXPECT_EQ(nullptr, v.GetString());
    v.SetBytes("\x01\x02", 2);
    EXPECT_EQ(2u, GetBlockLength(v.GetBytes()));
    v.SetString(nullptr);
    EXPECT_TRUE(v.IsNull());

    XMemoArchive *a = XMemoArchive::Malloc();
    v.SetStream(a);
    EXPECT_EQ(2u, Refs(a));
    v.SetStream(a); // the one already held
    EXPECT_EQ(2u, Refs(a));
    {
        XVariable other = v;
        EXPECT_EQ(3u, Refs(a));
    }
    v.SetNull();
    EXPECT_EQ(1u, Refs(a));
    a->Release();

    XDataNode node;
    InitDataNode(&node);
    node.type = 99;
    node.isNull = 0;
    EXPECT_EQ(0, v.SetValue(&node));
    EXPECT_TRUE(v.IsNull());
    node.type = kValueText2;
    node.value.text = u"t";
    EXPECT_EQ(1, v.SetValue(&node));
    EXPECT_EQ(kValueText, v.GetType());
}

TEST(XRowBufferTest, NodesAndUnits)
{
    XRowBuffer buffer;
    XDataNode *fresh = buffer.MallocNode();
    EXPECT_EQ(kValueNull, fresh->type);
    EXPECT_EQ(1, fresh->isNull);
    XRowGrider *g = Table({kValueInteger});
    std::u16string text = u"copied";
    buffer.AddDataUnit(7);
    buffer.AddDataUnit(1.5);
    buffer.AddDataUnit(text.c_str());
    buffer.AddDataUnit(g);
    buffer.AddDataUnit(static_cast<const char16_t *>(nullptr));
    buffer.AddNullUnit();
    text[0] = u'X';
    ASSERT_EQ(7u, buffer.GetCount());
    EXPECT_EQ(7, buffer.GetDataNode(1)->value.integer);
    EXPECT_EQ(1.5, buffer.GetDataNode(2)->value.floater);
    EXPECT_EQ(std::u16string(u"copied"), buffer.GetDataNode(3)->value.text);
    EXPECT_EQ(2u, Refs(g));
    EXPECT_TRUE(IsNullNode(buffer.GetDataNode(5)));
    EXPECT_TRUE(IsNullNode(buffer.GetDataNode(6)));
    EXPECT_EQ(nullptr, buffer.GetDataNode(7));
    EXPECT_EQ(buffer.GetDataNode(1), buffer.GetNodeArray() + 1);
    for (int i = 0; i < 100; ++i) // growth keeps the values
        buffer.AddDataUnit(int64_t{i});
    EXPECT_EQ(std::u16string(u"copied"), buffer.GetDataNode(3)->value.text);
    buffer.ClearBuffer();
    EXPECT_EQ(1u, Refs(g));
    g->Release();
}

TEST(XRowMapTest, KeyedAndPlainEntries)
{
    XRowMap *map = XRowMap::Malloc();
    map->AppendItem(u"k")->SetInteger(1);
    map->AppendItem()->SetString(u"v");
    EXPECT_EQ(2u, map->GetCount());
    EXPECT_EQ(1, map->FindItem(u"k")->GetInteger());
    EXPECT_EQ(nullptr, map->FindItem(u"K"));
    EXPECT_EQ(nullptr, map->GetKey(1));
    EXPECT_EQ(nullptr, map->GetItem(2));
    XVariable holder;
    holder.SetRowMap(map);
    map->Release();
    EXPECT_EQ(kValueArray, holder.GetType());
    EXPECT_EQ(std::u16string(u"v"), holder.GetRowMap()->GetItem(1)->GetString());
}

TEST(XRowGriderTest, CellsConvertAndRefuse)
{
    XRowGrider *g = Table({kValueInteger, kValueText2, kValueFloater, kValueTime, kValueBytes});
    uint32_t r = g->AppendRow();
    EXPECT_EQ(1, g->SetCellValue(r, 0, 2.9));
    EXPECT_EQ(1, g->SetCellValue(r, 1, u"text"));
    EXPECT_EQ(1, g->SetCellValue(r, 2, int64_t{3}));
    EXPECT_EQ(0, g->SetCellValue(r, 3, u"2024-01-01"));
    EXPECT_EQ(0, g->SetCellValue(r, 5, int64_t{1}));
    EXPECT_EQ(0, g->SetCellValue(r + 1, 0, int64_t{1}));
    EXPECT_EQ(0, g->SetCellValue(r, 0, g)); // never inside itself
    XDataNode node;
    InitDataNode(&node);
    ASSERT_EQ(1, g->GetCellValue(r, 0, &node));
    EXPECT_EQ(2, node.value.integer);
    ASSERT_EQ(1, g->GetCellValue(r, 1, &node));
    EXPECT_EQ(kValueText, node.type);
    EXPECT_EQ(4u, node.length);
    ASSERT_EQ(1, g->GetCellValue(r, 3, &node));
    EXPECT_TRUE(IsNullNode(&node));
    EXPECT_EQ(1u, g->GetColumn(3)->id + 0 - 3);
    uint32_t flags[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(0, g->SetItemKape(flags, 4));
    EXPECT_EQ(1, g->SetItemKape(flags, 5));
    EXPECT_EQ(5u, g->GetColumn(4)->flags);
    EXPECT_EQ(1, g->AddGrider(g, 0)); // appending itself doubles the rows
    EXPECT_EQ(2u, g->GetRowCount());
    EXPECT_EQ(std::u16string(u"text"), g->GetCellData(1, 1)->text);
    EXPECT_EQ(1, g->DeleteRow(0));
    EXPECT_EQ(0, g->DeleteRow(1));
    g->Release();
}

std::string Save(const XRowGrider *g)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    EXPECT_NE(0, g->SaveStorage(12289, &w));
    std::string bytes(out.GetMaxSize(), '\0');
    out.InitReader();
    out.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return bytes;
}

int Load(XRowGrider *g, const std::string &bytes)
{
    XByteArchive in;
    in.SetBuffer(const_cast<char *>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    XMF_Archive r(&in);
    return g->FromStorage(&r, 12289);
}

TEST(XRowGriderTest, StorageRoundTripAndDamage)
{
    XRowGrider *g =
        Table({kValueInteger, kValueText, kValueFloater, kValueTime, kValueBytes, kValueStream});
    uint32_t r = g->AppendRow();
    g->SetCellValue(r, 0, int64_t{-5});
    g->SetCellValue(r, 1, u"中文");
    g->SetCellValue(r, 2, 0.25);
    g->SetCellValue(r, 3, DATETIME_t{2001, 2, 3, 4, 5, 6, 7});
    uint8_t block[7] = {3, 0, 0, 0, 'a', 'b', 'c'};
    g->SetCellValue(r, 4, block);
    XMemoArchive *s = XMemoArchive::Malloc();
    s->Write("xyz", 3);
    g->SetCellValue(r, 5, s);
    s->Release();
    g->SetLineMarker(g->AppendRow(), kLineSubtotal);
    std::string bytes = Save(g);
    XRowGrider *back = XRowGrider::Malloc();
    ASSERT_EQ(1, Load(back, bytes));
    EXPECT_EQ(Save(g), Save(back));
    EXPECT_EQ(kLineSubtotal, back->GetLineMarker(1));
    EXPECT_EQ(std::u16string(u"中文"), back->GetCellData(0, 1)->text);
    EXPECT_EQ(3u, back->GetCellData(0, 5)->stream->GetMaxSize());
    // Every cut of the document is refused and leaves the table as it was.
    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_EQ(0, Load(back, bytes.substr(0, n))) << n;
        ASSERT_EQ(2u, back->GetRowCount());
    }
    g->Release();
    back->Release();
}

} // namespace

namespace {

TEST(XRowGriderTest, TablesInsideCellsAreStoredToALimitedDepth)
{
    XRowGrider *inner = Table({kValueText});
    inner->SetCellValue(inner->AppendRow(), 0, u"inside");
    XRowGrider *outer = Table({kValueInteger, kValueTable});
    uint32_t r = outer->AppendRow();
    outer->SetCellValue(r, 0, int64_t{1});
    outer->SetCellValue(r, 1, inner);
    XRowGrider *back = XRowGrider::Malloc();
    ASSERT_EQ(1, Load(back, Save(outer)));
    const XScriptValue_t *cell = back->GetCellData(0, 1);
    ASSERT_NE(nullptr, cell);
    EXPECT_EQ(std::u16string(u"inside"), cell->table->GetCellData(0, 0)->text);

    // A cycle through two tables is cut at the depth limit instead of recursing forever.
    XRowGrider *loop = Table({kValueTable});
    loop->SetCellValue(loop->AppendRow(), 0, outer);
    inner->Release();
    XRowGrider *holder = Table({kValueTable});
    holder->SetCellValue(holder->AppendRow(), 0, loop);
    outer->SetCellValue(0, 1, holder); // outer -> holder -> loop -> outer
    std::string bytes = Save(outer);
    XRowGrider *cut = XRowGrider::Malloc();
    ASSERT_EQ(1, Load(cut, bytes));
    const XRowGrider *walk = cut;
    uint32_t depth = 0;
    for (const XScriptValue_t *v; (v = walk->GetCellData(0, walk->GetColCount() - 1));)
        walk = v->table, ++depth;
    EXPECT_EQ(XRowGrider::kMaxDepth, depth);
    outer->SetCellNull(0, 1); // break the cycle so that everything is freed
    holder->Release();
    loop->Release();
    outer->Release();
    back->Release();
    cut->Release();
}

} // namespace
