// The XML and archive forms of descriptors: round trips of every type, the older
// layouts, and refused or damaged input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "datakit/item_data_store.h"
#include "item_data_util.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/dockit/xml_archive.h"
#include "platform/dockit/xml_node.h"
#include "platform/scriptkit/xrow_grider.h"

namespace {

std::string SaveXml(const XItemDataDesc *d)
{
    XDomWriter w(0);
    EXPECT_EQ(1, SaveItemDesc(d, &w) ? 1 : 0);
    return std::string(w.GetString(), w.GetLength());
}

DescPtr LoadXml(const std::string &xml)
{
    XML_Archive doc;
    DescPtr d(MallocItemDesc());
    if (!doc.ParseBuffer(xml.data(), static_cast<uint32_t>(xml.size()), 1))
        return d;
    EXPECT_EQ(1, LoadItemDesc(d.get(), doc.GetRootItem()));
    return d;
}

std::string SaveArchive(const XItemDataDesc *d, uint16_t code = 0x55)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    EXPECT_NE(0, SaveItemDesc(code, d, &w));
    std::string bytes(out.GetMaxSize(), '\0');
    out.InitReader();
    out.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return bytes;
}

// Reads the section start, then the descriptor; returns LoadItemDesc's result.
int LoadArchive(const std::string &bytes, XItemDataDesc *d)
{
    XByteArchive in;
    in.SetBuffer(const_cast<char *>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    XMF_Archive r(&in);
    uint16_t code = 0;
    if (r.ReadHeader(&code) != XMF_Archive::kSectionStart)
        return -1;
    return LoadItemDesc(d, &r);
}

// Little-endian pieces of hand-made archives.
std::string U16(uint16_t v)
{
    return std::string(reinterpret_cast<char *>(&v), 2);
}
std::string U32(uint32_t v)
{
    return std::string(reinterpret_cast<char *>(&v), 4);
}
std::string Units(const std::u16string &s)
{
    return std::string(reinterpret_cast<const char *>(s.data()), s.size() * 2);
}
std::string Section(uint16_t code, const std::string &body)
{
    return "\x02" + U16(code) + body + "\x03" + U16(code);
}
std::string Prop(uint16_t code, const std::string &data)
{
    return "\x01" + U16(code) + U32(static_cast<uint32_t>(data.size())) + data;
}
std::string Counted(const std::u16string &s)
{
    return U32(static_cast<uint32_t>(s.size() + 1)) + Units(s) + std::string(2, '\0');
}

// Property 4097's fixed fields and strings for a descriptor of `type`.
std::string Fixed(uint16_t type, uint16_t isNull, const std::u16string &name = u"n")
{
    return U32(9) + U32(3) + U16(type) + U16(8) + U16(0) + U16(isNull) + U32(15) + U32(0) +
           Counted(name) + U32(0) + U32(0);
}

TEST(ItemDataXmlTest, RoundTripsEveryTypeAndColumn)
{
    DescPtr d = MakeEveryType();
    std::string xml = SaveXml(d.get());
    EXPECT_EQ(0u, xml.find("<data id=\"100\" type=\"129\" size=\"0\" name=\"表格\" class=\"32\">"));
    EXPECT_NE(std::string::npos, xml.find("<item id=\"200\" type=\"1\" size=\"8\" name=\"整数\" "
                                          "keyer=\"key\" default=\"默认\"/>"));
    DescPtr back = LoadXml(xml);
    // The XML form holds the definitions only: compare those.
    const XItemDataDesc *a = d.get(), *b = back.get();
    for (; a && b; a = a->next, b = b->next) {
        EXPECT_EQ(a->id, b->id);
        EXPECT_EQ(a->type, b->type);
        EXPECT_EQ(a->size, b->size);
        EXPECT_EQ(a->dataClass, b->dataClass);
        EXPECT_EQ(std::u16string(a->name), std::u16string(b->name));
        EXPECT_EQ(a->keyer != nullptr && a != d.get(), b->keyer != nullptr);
        EXPECT_EQ(a->defValue != nullptr, b->defValue != nullptr);
    }
    EXPECT_TRUE(a == nullptr && b == nullptr);
    EXPECT_EQ(xml, SaveXml(back.get()));
}

TEST(ItemDataXmlTest, EmptyElementWithoutChainAndReadingRules)
{
    DescPtr d = MakeDesc(kValueText, 12, u"x");
    EXPECT_EQ("<data id=\"0\" type=\"2\" size=\"12\" name=\"x\"/>", SaveXml(d.get()));
    DescPtr back = LoadXml("<data ID='7' TYPE='143' Size='4' name='" + std::string(40, 'n') +
                           "' Class='2' DEFAULT='d'><x keyer='k' type='1'/><y/></data>");
    EXPECT_EQ(7u, back->id);
    EXPECT_EQ(kValueTable, back->type);
    EXPECT_EQ(4, back->size);
    EXPECT_EQ(2u, back->dataClass);
    EXPECT_EQ(std::u16string(31, u'n'), std::u16string(back->name));
    EXPECT_EQ(std::u16string(u"d"), std::u16string(back->defValue));
    EXPECT_EQ(nullptr, back->keyer); // keyer belongs to columns
    ASSERT_NE(nullptr, back->next);
    EXPECT_EQ(std::u16string(u"k"), std::u16string(back->next->keyer));
    EXPECT_EQ(kValueInteger, back->next->type);
    ASSERT_NE(nullptr, back->next->next);
    EXPECT_EQ(1, back->next->next->isNull);
    EXPECT_EQ(15u, back->next->next->flags);
}

TEST(ItemDataArchiveTest, RoundTripsEveryTypeWithItsValue)
{
    DescPtr d = MakeEveryType();
    DescPtr back(MallocItemDesc());
    ASSERT_EQ(1, LoadArchive(SaveArchive(d.get()), back.get()));
    ExpectSameDesc(d.get(), back.get());
    // Each type alone, null and not null.
    for (XItemDataDesc *c = d->next; c; c = c->next) {
        XItemDataDesc *keep = c->next;
        c->next = nullptr;
        for (int null = 0; null < 2; ++null) {
            int16_t was = c->isNull;
            c->isNull = static_cast<int16_t>(null ? 1 : was);
            DescPtr one(MallocItemDesc());
            EXPECT_EQ(1, LoadArchive(SaveArchive(c), one.get()));
            ExpectSameDesc(c, one.get());
            c->isNull = was;
        }
        c->next = keep;
    }
}

TEST(ItemDataArchiveTest, DeclaredSizeCountsStringsAndValue)
{
    DescPtr d = MakeDesc(kValueText, 10, u"ab");
    d->keyer = StrAlloc(u"k");
    SetItemValue(d.get(), u"xyz");
    std::string bytes = SaveArchive(d.get(), 7);
    uint32_t size;
    std::memcpy(&size, bytes.data() + 6, 4);
    EXPECT_EQ(38u + 2 * (2 + 2 + 0) + 8, size);
    EXPECT_EQ(3u + 7 + size + 3, bytes.size());
}

TEST(ItemDataArchiveTest, OlderLayoutsLoad)
{
    std::string legacy =
        Section(1, Prop(1, U32(42)) + Prop(2, U32(5)) + Prop(4, U16(143)) + Prop(5, U16(16)) +
                       Prop(6, Units(u"旧名") + U16(0)) + Prop(7, U32(3)) + Prop(9, U32(0xBEEF)) +
                       Prop(18, Units(u"def")) + Prop(19, Units(u"key")) + Prop(30, "skipped") +
                       Section(4, Prop(1, U32(1))));
    std::string second = Section(1, Prop(4, U16(2)) + Prop(6, Units(std::u16string(40, u'z'))));
    DescPtr d(MallocItemDesc());
    ASSERT_EQ(1, LoadArchive(Section(9, legacy + second), d.get()));
    EXPECT_EQ(42u, d->id);
    EXPECT_EQ(5u, d->dataClass);
    EXPECT_EQ(kValueTable, d->type);
    EXPECT_EQ(16, d->size);
    EXPECT_EQ(std::u16string(u"旧名"), std::u16string(d->name));
    EXPECT_EQ(3u, d->flags);
    EXPECT_EQ(0xBEEFu, d->extra);
    EXPECT_EQ(std::u16string(u"def"), std::u16string(d->defValue));
    EXPECT_EQ(std::u16string(u"key"), std::u16string(d->keyer));
    ASSERT_NE(nullptr, d->next);
    EXPECT_EQ(std::u16string(31, u'z'), std::u16string(d->next->name));
    // Type 143 in the current layout is a table too.
    XRowGrider *empty = XRowGrider::Malloc();
    XMemoArchive table;
    XMF_Archive w(&table);
    empty->SaveStorage(kItemTableSection, &w);
    empty->Release();
    std::string tableBytes(table.GetMaxSize(), '\0');
    table.InitReader();
    table.Read(tableBytes.data(), static_cast<uint32_t>(tableBytes.size()));
    DescPtr t(MallocItemDesc());
    ASSERT_EQ(1, LoadArchive(Section(9, Prop(4097, Fixed(143, 0)) + tableBytes), t.get()));
    EXPECT_EQ(kValueTable, t->type);
    ASSERT_NE(nullptr, t->value.table);
}

TEST(ItemDataArchiveTest, TextOfSizeZeroIsEmptyAndUnterminatedTextIsClosed)
{
    DescPtr d(MallocItemDesc());
    ASSERT_EQ(1, LoadArchive(Section(9, Prop(4097, Fixed(kValueText, 0))), d.get()));
    EXPECT_EQ(0, d->isNull);
    EXPECT_EQ(u"", TextOf(d.get()));
    ASSERT_EQ(1,
              LoadArchive(Section(9, Prop(4097, Fixed(kValueText, 0) + Units(u"abc"))), d.get()));
    EXPECT_EQ(u"abc", TextOf(d.get()));
}

TEST(ItemDataArchiveTest, MalformedPropertiesAreRefusedAndLeaveTheDescriptor)
{
    const std::string cases[] = {
        Prop(4097, Fixed(kValueInteger, 0) + "1234567"),            // value cut short
        Prop(4097, Fixed(kValueInteger, 0).substr(0, 20)),          // fixed fields cut
        Prop(4097, Fixed(kValueText, 1).substr(0, 28) + U32(1000)), // name count too big
        Prop(4097, Fixed(kValueBytes, 0) + U32(10) + "abc"),        // block longer than property
        Prop(4097, Fixed(kValueTable, 0)),                          // table section missing
        Prop(4097, Fixed(kValueTable, 0)) + Section(kItemTableSection, Prop(1, U32(1) + U32(1))),
        Prop(4098, Fixed(kValueInteger, 1)), // another property code
        std::string("\x01\x01\x10\xFF\xFF\xFF\x7F", 7) +
            Fixed(kValueInteger, 1), // size past the end
    };
    for (const std::string &body : cases) {
        DescPtr d = MakeDesc(kValueText, 10, u"keep");
        SetItemValue(d.get(), u"value");
        EXPECT_EQ(0, LoadArchive(Section(9, body), d.get())) << testing::PrintToString(body);
        EXPECT_EQ(std::u16string(u"keep"), std::u16string(d->name));
        EXPECT_EQ(u"value", TextOf(d.get()));
        EXPECT_EQ(kValueText, d->type);
    }
    // Descriptors read before the damage stay in the chain; a missing end gives 0.
    DescPtr d(MallocItemDesc());
    std::string good = Prop(4097, Fixed(kValueInteger, 1));
    EXPECT_EQ(0, LoadArchive("\x02" + U16(9) + good + good, d.get()));
    ASSERT_NE(nullptr, d->next);
    EXPECT_EQ(nullptr, d->next->next);
    EXPECT_EQ(0, LoadArchive(Section(9, good + good.substr(0, 9)), d.get()));
    EXPECT_EQ(nullptr, d->next); // the chain was released first
}

} // namespace
