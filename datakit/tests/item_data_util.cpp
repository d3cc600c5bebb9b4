#include "item_data_util.h"

#include <cstring>

#include "corekit/text/strings.h"

void DescDeleter::operator()(XItemDataDesc *d) const
{
    ReleaseItemDesc(d);
    ReleaseItemNode(d);
}

DescPtr MakeDesc(uint16_t type, uint16_t size, const char16_t *name)
{
    DescPtr d(MallocItemDesc());
    d->type = type;
    d->size = size;
    Strncpy(d->name, name, kItemNameUnits);
    return d;
}

XItemDataDesc *AddColumn(XItemDataDesc *table, uint16_t type, uint16_t size, const char16_t *name)
{
    XItemDataDesc *last = table;
    while (last->next)
        last = last->next;
    XItemDataDesc *col = MallocItemDesc();
    col->type = type;
    col->size = size;
    Strncpy(col->name, name, kItemNameUnits);
    last->next = col;
    return col;
}

std::vector<uint8_t> Block(const std::string &bytes)
{
    std::vector<uint8_t> block(4 + bytes.size());
    uint32_t n = static_cast<uint32_t>(bytes.size());
    std::memcpy(block.data(), &n, 4);
    std::memcpy(block.data() + 4, bytes.data(), bytes.size());
    return block;
}

std::u16string TextOf(const XItemDataDesc *d)
{
    if (d->isNull || !d->value.text)
        return u"<null>";
    return d->value.text;
}

#include <gtest/gtest.h>

#include "corekit/archive/iarchive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "platform/scriptkit/xdata_node.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

std::u16string Opt(const char16_t *s)
{
    return s ? std::u16string(s) : u"<none>";
}

std::string StreamBytes(IArchive *a)
{
    std::string out(a->GetMaxSize(), '\0');
    a->InitReader();
    if (!out.empty())
        a->Read(out.data(), static_cast<uint32_t>(out.size()));
    return out;
}

void ExpectSameTable(const XRowGrider *a, const XRowGrider *b)
{
    ASSERT_EQ(a->GetColCount(), b->GetColCount());
    ASSERT_EQ(a->GetRowCount(), b->GetRowCount());
    for (uint32_t r = 0; r < a->GetRowCount(); ++r) {
        EXPECT_EQ(a->GetLineMarker(r), b->GetLineMarker(r));
        for (uint32_t c = 0; c < a->GetColCount(); ++c) {
            XDataNode x, y;
            InitDataNode(&x);
            InitDataNode(&y);
            a->GetCellValue(r, c, &x);
            b->GetCellValue(r, c, &y);
            EXPECT_EQ(x.type, y.type);
            EXPECT_EQ(IsNullNode(&x), IsNullNode(&y)) << r << "," << c;
            bool scalar = x.type != kValueBytes && x.type != kValueStream && x.type != kValueTable;
            if (!IsNullNode(&x) && !IsNullNode(&y) && x.type == kValueText) {
                EXPECT_EQ(std::u16string(x.value.text), std::u16string(y.value.text));
            } else if (!IsNullNode(&x) && !IsNullNode(&y) && scalar) {
                EXPECT_EQ(x.value.integer, y.value.integer);
            }
            ClearDataNode(&x);
            ClearDataNode(&y);
        }
    }
}

} // namespace

void ExpectSameDesc(const XItemDataDesc *a, const XItemDataDesc *b)
{
    for (; a && b; a = a->next, b = b->next) {
        SCOPED_TRACE(std::string("type ") + std::to_string(a->type));
        EXPECT_EQ(a->id, b->id);
        EXPECT_EQ(a->dataClass, b->dataClass);
        EXPECT_EQ(a->type, b->type);
        EXPECT_EQ(a->size, b->size);
        EXPECT_EQ(a->modified, b->modified);
        EXPECT_EQ(a->isNull, b->isNull);
        EXPECT_EQ(a->flags, b->flags);
        EXPECT_EQ(a->extra, b->extra);
        EXPECT_EQ(std::u16string(a->name), std::u16string(b->name));
        EXPECT_EQ(Opt(a->keyer), Opt(b->keyer));
        EXPECT_EQ(Opt(a->defValue), Opt(b->defValue));
        if (a->isNull || b->isNull)
            continue;
        switch (a->type) {
        case kValueText:
        case kValueText2:
            EXPECT_EQ(TextOf(a), TextOf(b));
            break;
        case kValueBytes:
            ASSERT_EQ(GetBlockLength(a->value.bytes), GetBlockLength(b->value.bytes));
            EXPECT_EQ(
                0, std::memcmp(a->value.bytes, b->value.bytes, 4 + GetBlockLength(a->value.bytes)));
            break;
        case kValueStream:
            EXPECT_EQ(StreamBytes(a->value.stream), StreamBytes(b->value.stream));
            break;
        case kValueTable:
            ExpectSameTable(a->value.table, b->value.table);
            break;
        default:
            EXPECT_EQ(a->value.integer, b->value.integer);
            break;
        }
    }
    EXPECT_EQ(a == nullptr, b == nullptr) << "chains of different length";
}

DescPtr MakeEveryType()
{
    DescPtr table = MakeDesc(kValueTable, 0, u"表格");
    table->id = 100;
    table->dataClass = 0x20;
    table->extra = 0xA5A5A5A5;
    XItemDataDesc *i = AddColumn(table.get(), kValueInteger, 8, u"整数");
    SetItemValue(i, int64_t{-1234567890123});
    XItemDataDesc *t = AddColumn(table.get(), kValueText, 20, u"text");
    SetItemValue(t, u"a<b>&\"c\"\t\r\n中文");
    XItemDataDesc *f = AddColumn(table.get(), kValueFloater, 8, u"double");
    SetItemValue(f, -0.1);
    XItemDataDesc *tm = AddColumn(table.get(), kValueTime, 8, u"time");
    SetItemValue(tm, DATETIME_t{2024, 2, 29, 23, 59, 58, 99});
    XItemDataDesc *b = AddColumn(table.get(), kValueBytes, 16, u"bytes");
    SetItemValue(b, Block(std::string("\0\x01\xFFxyz", 6)).data());
    XItemDataDesc *t2 = AddColumn(table.get(), kValueText2, 8, u"text2");
    SetItemValue(t2, u"");
    XItemDataDesc *s = AddColumn(table.get(), kValueStream, 0, u"stream");
    XMemoArchive *a = XMemoArchive::Malloc();
    a->Write("stream bytes", 12);
    SetItemValue(s, static_cast<IArchive *>(a));
    a->Release();
    AddColumn(table.get(), kValueInteger, 2, u"null");
    int k = 0;
    for (XItemDataDesc *c = table->next; c; c = c->next, ++k) {
        c->id = 200 + k;
        c->flags = 15 + k;
        c->dataClass = k % 2;
        if (k % 3 == 0)
            c->keyer = StrAlloc(u"key");
        if (k % 2 == 0)
            c->defValue = StrAlloc(u"默认");
    }

    XGridColumn_t cols[3] = {};
    cols[0].type = kValueInteger;
    cols[0].size = 8;
    cols[1].type = kValueText;
    cols[1].size = 20;
    cols[2].type = kValueFloater;
    cols[2].size = 8;
    XRowGrider *g = XRowGrider::Malloc();
    g->SetItemDesc(cols, nullptr, 3);
    g->AppendRow();
    g->SetCellValue(0, 0, int64_t{1});
    g->SetCellValue(0, 1, u"A");
    g->AppendRow();
    g->SetCellValue(1, 1, u"B");
    g->SetCellValue(1, 2, 2.5);
    g->SetLineMarker(1, kLineTotal);
    DescPtr plain = MakeDesc(kValueTable, 0);
    SetItemValue(plain.get(), g); // held without a chain
    table->value.table = plain->value.table;
    table->value.table->AddRef();
    table->isNull = 0;
    g->Release();
    return table;
}
