// Query templates through their XML form and both archive forms.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "datakit/query_template.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xmf_archive.h"
#include "platform/dockit/xml_archive.h"
#include "query_util.h"

namespace {

// ---- Generated templates ------------------------------------------------------------------

// Texts with what XML and archives must carry: markup characters, quotes, white space
// that attributes normalise, CJK and a surrogate pair.
const char16_t *const kPieces[] = {u"T.A", u"<", u">",    u"&", u"\"", u"'", u"\t",   u"\n",
                                   u"\r",  u" ", u"客户", u"😀", u"=",  u"%", u"[12]", u"x"};

char16_t *RandomText(std::mt19937 &rng)
{
    switch (rng() % 4) {
    case 0:
        return nullptr;
    case 1:
        return StrAlloc(u"");
    default: {
        std::u16string s;
        for (unsigned n = 1 + rng() % 8; n; --n)
            s += kPieces[rng() % std::size(kPieces)];
        return StrAlloc(s.c_str());
    }
    }
}

template <class T> T *Append(void *head)
{
    T *item = static_cast<T *>(MemAlloc(sizeof(T)));
    std::memset(item, 0, sizeof(T));
    T **slot = static_cast<T **>(head);
    while (*slot)
        slot = &(*slot)->next;
    *slot = item;
    return item;
}

// Lists are filled through the item pointers, as outside callers may do.
void FillRandom(XQueryTemplate *t, std::mt19937 &rng)
{
    t->SetDataMuster(rng(), rng() % 3 ? 0 : rng());
    for (int i = 0; i < 3; ++i)
        t->SetExtraWord(i, rng());
    char16_t *from = RandomText(rng);
    t->SetFromClause(from);
    MemFree(from);
    XFieldRecord_t fr{};
    XWhereRecord_t wr{};
    XGroupRecord_t gr{};
    XOrderRecord_t orr{};
    for (unsigned n = rng() % 4; n; --n) {
        auto *f = static_cast<XQueryField *>(t->AddDesc(kQueryFields, &fr));
        f->body = RandomText(rng);
        f->name = RandomText(rng);
        f->desc = RandomText(rng);
        f->type = static_cast<uint16_t>(rng() % 5);
        f->size = static_cast<uint16_t>(rng());
        f->mode = static_cast<uint16_t>(rng());
        f->kape = static_cast<uint16_t>(rng());
    }
    for (unsigned n = rng() % 6; n; --n) {
        auto *w = static_cast<XQueryWhere *>(t->AddDesc(kQueryWheres, &wr));
        w->body = RandomText(rng);
        w->kape = RandomText(rng);
        w->name = RandomText(rng);
        w->desc = RandomText(rng);
        w->pare = static_cast<uint16_t>(rng());
        w->join = static_cast<uint16_t>(rng());
        w->mode = static_cast<uint16_t>(rng());
        w->type = static_cast<uint16_t>(rng() % 2 ? rng() : 0);
        w->lbox = static_cast<uint16_t>(rng() % (kMaxBrackets + 1));
        w->rbox = static_cast<uint16_t>(rng() % (kMaxBrackets + 1));
    }
    for (unsigned n = rng() % 3; n; --n) {
        auto *g = static_cast<XQueryGroup *>(t->AddDesc(kQueryGroups, &gr));
        g->body = RandomText(rng);
        g->name = RandomText(rng);
    }
    for (unsigned n = rng() % 3; n; --n) {
        auto *o = static_cast<XQueryOrder *>(t->AddDesc(kQueryOrders, &orr));
        o->body = RandomText(rng);
        o->name = RandomText(rng);
        o->mode = rng();
    }
}

// ---- Round trips --------------------------------------------------------------------------

std::string ToXml(const XQueryTemplate &t)
{
    XDomWriter writer;
    EXPECT_EQ(1, t.WriteXmlDoc(&writer));
    return writer.GetString();
}

bool FromXml(XQueryTemplate *t, const std::string &xml)
{
    XML_Archive doc;
    if (!doc.ParseBuffer(xml.data(), static_cast<uint32_t>(xml.size()), XML_Archive::kReadOnly))
        return false;
    return t->FromXmlDoc(doc.GetRootItem()) == 1;
}

void Save(XQueryTemplate *t, uint16_t code, XMemoArchive *out)
{
    XMF_Archive writer(out);
    ASSERT_EQ(1, t->SaveTemplate(code, &writer));
    out->InitReader();
}

TEST(QueryStore, GeneratedTemplatesRoundTrip)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 300; ++i) {
        XQueryTemplate t;
        FillRandom(&t, rng);
        XQueryTemplate viaXml;
        viaXml.SetDataMuster(t.GetDataMuster(0), t.GetDataMuster(1));
        ASSERT_TRUE(FromXml(&viaXml, ToXml(t))) << ToXml(t);
        EXPECT_EQ(DumpTemplate(t, false), DumpTemplate(viaXml, false)) << ToXml(t);

        XMemoArchive out;
        Save(&t, 4660, &out);
        XMF_Archive reader(&out);
        XQueryTemplate viaArchive;
        ASSERT_EQ(1, viaArchive.LoadTemplate(4660, &reader));
        EXPECT_EQ(DumpTemplate(t), DumpTemplate(viaArchive)); // sizes normalised in both
        ASSERT_TRUE(out.IsEndOfDoc());
    }
}

TEST(QueryStore, SaveTemplateNormalisesFieldSizesAndKeepsTheWords)
{
    struct Case
    {
        uint16_t type, size, stored;
    };
    const Case cases[] = {{1, 0, 2}, {1, 2, 2}, {1, 3, 4},   {1, 4, 4}, {1, 5, 8},
                          {3, 2, 8}, {4, 0, 8}, {2, 77, 77}, {14, 5, 5}};
    XQueryTemplate t;
    for (const Case &c : cases) {
        XFieldRecord_t r{};
        auto *f = static_cast<XQueryField *>(t.AddDesc(kQueryFields, &r));
        f->type = c.type;
        f->size = c.size;
    }
    t.SetExtraWord(0, 0x11111111);
    t.SetExtraWord(1, 0x22222222);
    t.SetExtraWord(2, 0x33333333);
    XMemoArchive out;
    Save(&t, 1, &out);
    XQueryTemplate back;
    XMF_Archive reader(&out);
    ASSERT_EQ(1, back.LoadTemplate(1, &reader));
    const Case *c = cases;
    for (auto *f = static_cast<const XQueryField *>(back.GetDescWare(kQueryFields)); f;
         f = f->next, ++c)
        EXPECT_EQ(c->stored, f->size) << c->type << " " << c->size;
    auto *f = static_cast<const XQueryField *>(t.GetDescWare(kQueryFields));
    EXPECT_EQ(4, f->next->next->size); // the list keeps the stored size
    EXPECT_EQ(0x11111111u, back.GetExtraWord(0));
    EXPECT_EQ(0x22222222u, back.GetExtraWord(1));
    EXPECT_EQ(0x33333333u, back.GetExtraWord(2));
}

TEST(QueryStore, EveryTruncationFailsAndNothingIsReadPastTheEnd)
{
    std::mt19937 rng(7);
    XQueryTemplate t;
    while (!t.GetDescWare(kQueryWheres) || !t.GetDescWare(kQueryFields))
        FillRandom(&t, rng);
    XMemoArchive out;
    Save(&t, 300, &out);
    std::string bytes(out.GetMaxSize(), '\0');
    out.Read(bytes.data(), out.GetMaxSize());
    for (size_t n = 0; n < bytes.size(); ++n) {
        XByteArchive in;
        in.CloneBuffer(bytes.data(), static_cast<uint32_t>(n));
        XMF_Archive reader(&in);
        XQueryTemplate back;
        EXPECT_EQ(0, back.LoadTemplate(300, &reader)) << n;
    }
}

// A hand-written archive of the given records.
struct Writer
{
    XMemoArchive out;
    XMF_Archive a{&out};
};

TEST(QueryStore, LoadTemplateSkipsWhatItDoesNotKnowAndRefusesMalformedItems)
{
    Writer w;
    w.a.StartMarker(9);
    w.a.Write_Integer(1, 5, 4);
    w.a.Write_Integer(77, 1, 4); // unknown property
    w.a.StartMarker(500);        // unknown section with content
    w.a.Write_Proper(1, u"ignored");
    w.a.CloseMarker(500);
    w.a.Write_Proper(16, u"T");
    w.a.StartMarker(258);
    w.a.Write_Integer(3, 1, 2); // property outside an item
    w.a.StartMarker(4097);
    w.a.Write_Proper(1, u"A");
    w.a.Write_Proper(2, u"1");
    w.a.Write_Integer(6, 2, 4); // a wider integer than written by SaveTemplate
    w.a.Write_Integer(40, 2, 2);
    w.a.StartMarker(3);
    w.a.CloseMarker(3);
    w.a.CloseMarker(4097); // any closing code is taken
    w.a.StartMarker(99);
    w.a.CloseMarker(99);
    w.a.CloseMarker(258);
    w.a.CloseMarker(9);
    w.out.InitReader();
    XMF_Archive reader(&w.out);
    XQueryTemplate t;
    AddFlatConditions(&t, "old");
    ASSERT_EQ(1, t.LoadTemplate(9, &reader));
    EXPECT_EQ("from=T\nmuster=5,0 words=0,0,0\nwhere A|1|<null>|2|0|0|0|0|0|<null>\n",
              DumpTemplate(t));

    struct Bad
    {
        const char *what;
        void (*body)(XMF_Archive *);
    };
    const Bad bad[] = {
        {"empty integer", [](XMF_Archive *a) { a->Write_Proper(6, "", 0); }},
        {"integer of nine bytes", [](XMF_Archive *a) { a->Write_Proper(6, "123456789", 9); }},
        {"sixteen brackets", [](XMF_Archive *a) { a->Write_Integer(4, 16, 2); }},
        {"sixteen closing brackets", [](XMF_Archive *a) { a->Write_Integer(5, 16, 2); }},
    };
    for (const Bad &b : bad) {
        Writer bw;
        bw.a.StartMarker(9);
        bw.a.StartMarker(258);
        bw.a.StartMarker(4097);
        b.body(&bw.a);
        bw.a.CloseMarker(257);
        bw.a.CloseMarker(258);
        bw.a.CloseMarker(9);
        bw.out.InitReader();
        XMF_Archive r(&bw.out);
        XQueryTemplate bt;
        EXPECT_EQ(0, bt.LoadTemplate(9, &r)) << b.what;
    }

    // A section of another code, and a caller that read the start itself.
    Writer other;
    XQueryTemplate src;
    AddFlatConditions(&src, "A OR B");
    src.SaveTemplate(12, &other.a);
    other.out.InitReader();
    XMF_Archive r1(&other.out);
    EXPECT_EQ(0, t.LoadTemplate(13, &r1));
    other.out.InitReader();
    XMF_Archive r2(&other.out);
    uint16_t code = 0;
    ASSERT_EQ(XMF_Archive::kSectionStart, r2.ReadHeader(&code));
    ASSERT_EQ(1, t.LoadTemplate(0, &r2));
    EXPECT_EQ(DumpTemplate(src), DumpTemplate(t));
}

TEST(QueryStore, ReadTemplateTakesTheOlderLayout)
{
    Writer w;
    w.a.StartMarker(2);
    w.a.Write_Integer(1, 10, 4);
    w.a.Write_Integer(2, 20, 4);
    w.a.Write_Integer(3, 33, 4); // third further word
    w.a.Write_Integer(4, 44, 4); // not read
    w.a.Write_Integer(5, 55, 4); // second further word
    w.a.Write_Proper(16, u"CUSTOMER");
    w.a.StartMarker(257);
    struct OldField
    {
        const char16_t *body;
        uint32_t type, size;
    };
    for (OldField f :
         {OldField{u"T.ID", 1, 2}, OldField{u"T.PAY", 3, 0}, OldField{u"T.NAME", 2, 40}}) {
        w.a.StartMarker(4097);
        w.a.Write_Proper(1, f.body);
        w.a.Write_Integer(3, f.type, 4);
        w.a.Write_Integer(4, f.size, 4);
        w.a.Write_Integer(5, 6, 4);
        w.a.Write_Integer(6, 7, 4);
        w.a.CloseMarker(4097);
    }
    w.a.CloseMarker(257);
    w.a.StartMarker(258);
    struct OldWhere
    {
        const char16_t *body, *kape;
        uint16_t lbox, rbox, pare, join;
    };
    for (OldWhere c : {OldWhere{u"T.A", u"1", 1, 0, 2, 1}, OldWhere{u"T.B", u"'x%'", 0, 1, 8, 2},
                       OldWhere{u"T.C", u"NULL", 0, 0, 12, 0}}) {
        w.a.StartMarker(4097);
        w.a.Write_Proper(1, c.body);
        w.a.Write_Proper(2, c.kape);
        w.a.Write_Integer(4, c.lbox | c.rbox << 16, 4);
        w.a.Write_Integer(5, c.pare | c.join << 16, 4);
        w.a.Write_Integer(6, 3, 4);
        w.a.Write_Integer(7, 9, 2);
        w.a.Write_Proper(8, u"说明");
        w.a.CloseMarker(257);
    }
    w.a.CloseMarker(258);
    w.a.StartMarker(260);
    w.a.StartMarker(4097);
    w.a.Write_Proper(1, u"T.ID");
    w.a.Write_Integer(3, 1, 4);
    w.a.CloseMarker(257);
    w.a.CloseMarker(260);
    w.a.CloseMarker(2);
    w.out.InitReader();
    XMF_Archive reader(&w.out);
    XQueryTemplate t;
    ASSERT_EQ(1, t.ReadTemplate(2, &reader));
    EXPECT_EQ("from=CUSTOMER\nmuster=10,20 words=0,55,33\n"
              "field T.ID|<null>|1|4|6|7|<null>\n"
              "field T.PAY|<null>|3|8|6|7|<null>\n"
              "field T.NAME|<null>|2|40|6|7|<null>\n"
              "where T.A|1|<null>|2|1|3|9|1|0|说明\n"
              "where T.B|'x%'|<null>|8|2|3|9|0|1|说明\n"
              "where T.C|NULL|<null>|12|0|3|9|0|0|说明\n"
              "order T.ID|<null>|1\n",
              DumpTemplate(t));
    // Saved in the newer layout, it reads back the same.
    XMemoArchive out;
    Save(&t, 2, &out);
    XMF_Archive again(&out);
    XQueryTemplate back;
    ASSERT_EQ(1, back.LoadTemplate(2, &again));
    EXPECT_EQ(DumpTemplate(t), DumpTemplate(back));
    MakeResolvable(&back);
    EXPECT_EQ(" (T.A = 1 OR T.B LIKE 'x%') AND T.C IS NULL", RenderWhere(&back).text);
}

TEST(QueryStore, XmlFormReadsNamesInAnyCase)
{
    const std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<QueryTemplate>
  <table>CUSTOMER C</table>
  <FIELD><f BODY="C.ID" name="编号" type="1" size="4" mode="2" kape="3"/></FIELD>
  <Where>
    <c body="C.AGE" PARE="1" kape="18" join="2" lbox="1"/>
    <c body="C.CITY" pare="10" kape="&quot;'A','B',&quot;" rbox="1" mode="1" type="5" desc="城市"/>
  </Where>
  <Other><x Body="ignored"/></Other>
  <Group><g body="C.CITY"/></Group>
  <order><o body="C.ID" mode="1"/></order>
</QueryTemplate>)";
    XQueryTemplate t;
    AddFlatConditions(&t, "old");
    ASSERT_TRUE(FromXml(&t, xml));
    EXPECT_EQ("from=CUSTOMER C\n"
              "field C.ID|编号|1|4|2|3|<null>\n"
              "where C.AGE|18|<null>|1|2|0|0|1|0|<null>\n"
              "where C.CITY|\"'A','B',\"|<null>|10|0|1|5|0|1|城市\n"
              "group C.CITY|<null>\n"
              "order C.ID|<null>|1\n",
              DumpTemplate(t, false));
    MakeResolvable(&t);
    EXPECT_EQ(" C.AGE > 18 AND C.CITY IN ('A','B')", RenderWhere(&t).text);
    const std::string written = ToXml(t);
    EXPECT_NE(std::string::npos, written.find("<Table>CUSTOMER C</Table>")) << written;
    EXPECT_NE(std::string::npos, written.find("<Where><item Body=\"C.AGE\" Kape=\"18\" LBox=\"1\" "
                                              "RBox=\"0\" Pare=\"1\" Join=\"2\" Mode=\"0\"/>"))
        << written;

    XQueryTemplate refused;
    EXPECT_FALSE(
        FromXml(&refused, "<QueryTemplate><Where><i Kape='1' LBox='16'/></Where></QueryTemplate>"));
    EXPECT_FALSE(
        FromXml(&refused, "<QueryTemplate><Where><i Kape='1' RBox='-1'/></Where></QueryTemplate>"));
    EXPECT_EQ(0, refused.FromXmlDoc(nullptr));
}

} // namespace
