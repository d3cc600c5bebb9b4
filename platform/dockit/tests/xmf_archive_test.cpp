// Tagged archives: the byte form, reading back, what stored documents hold, and
// damaged input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/archive/xbyte_archive.h"
#include "corekit/archive/xmemo_archive.h"
#include "corekit/memory/memory.h"
#include "platform/dockit/xmf_archive.h"

namespace {

std::string Bytes(XMemoArchive &a)
{
    std::string out(a.GetMaxSize(), '\0');
    a.InitReader();
    if (!out.empty())
        a.Read(out.data(), static_cast<uint32_t>(out.size()));
    a.InitReader();
    return out;
}

// A reader over fixed bytes.
struct Reader
{
    explicit Reader(const std::string &bytes) : m_bytes(bytes)
    {
        m_archive.SetBuffer(m_bytes.data(), static_cast<uint32_t>(m_bytes.size()));
        m_xmf.Attach(&m_archive);
    }
    std::string m_bytes;
    XByteArchive m_archive;
    XMF_Archive m_xmf;
};

TEST(XmfArchiveTest, WritesTheDocumentForm)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    EXPECT_TRUE(w.StartMarker(0x3801));
    EXPECT_TRUE(w.Write_Integer(1, -2, 2));
    EXPECT_TRUE(w.Write_Integer(2, 0x01020304, 4));
    EXPECT_TRUE(w.Write_Proper(16, u"ab"));
    EXPECT_TRUE(w.Write_Proper(17, "\x01\x02", 2));
    EXPECT_TRUE(w.StartProper(4097, 14));
    const uint16_t id = 0x0A0B;
    EXPECT_TRUE(w.IntToDoc(&id, 2));
    EXPECT_TRUE(w.StrToDoc(u"x"));
    const DATETIME_t t = {2024, 3, 5, 7, 8, 9, 10};
    EXPECT_TRUE(w.TimeToDoc(&t));
    EXPECT_TRUE(w.CloseMarker(0x0101));
    EXPECT_EQ(std::string("\x02\x01\x38"                         // section start 0x3801
                          "\x01\x01\x00\x02\x00\x00\x00\xFE\xFF" // property 1: -2 in 2 bytes
                          "\x01\x02\x00\x04\x00\x00\x00\x04\x03\x02\x01"
                          "\x01\x10\x00\x06\x00\x00\x00"
                          "a\0b\0\0\0" // text with terminator
                          "\x01\x11\x00\x02\x00\x00\x00\x01\x02"
                          "\x01\x01\x10\x0E\x00\x00\x00\x0B\x0A"
                          "\x02\x00\x00\x00x\0\0\0"
                          "\xE8\x07\x03\x05\x07\x08\x09\x0A"
                          "\x03\x01\x01",
                          73),
              Bytes(out));
    EXPECT_FALSE(w.IsFailed());
    EXPECT_FALSE(w.Write_Integer(1, 5, 3)); // no such width
}

TEST(XmfArchiveTest, ReadsBackEveryForm)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    const DATETIME_t t = {2024, 3, 5, 7, 8, 9, 10};
    const SYSTIME_t st = {2024, 12, 31, 23, 59, 58, 2, 999};
    w.StartMarker(5);
    w.Write_Integer(1, -2, 2);
    w.Write_Proper(2, u"名称");
    w.StartProper(3, 4 + 8 + 2 * 3 + 4 + 8 + 16 + 4);
    const int32_t numbers[] = {-1, 7};
    w.IntToDoc(numbers, 4, 2);
    w.StrToDoc(u"ab");
    w.StrToDoc(nullptr);
    w.TimeToDoc(&t);
    w.TimeToDoc(&st);
    w.SaveStrDoc(u"z");
    w.Write_Proper(4, "raw bytes", 9);
    w.CloseMarker(5);

    out.InitReader();
    XMF_Archive r(&out);
    uint16_t code = 0;
    ASSERT_EQ(XMF_Archive::kSectionStart, r.ReadHeader(&code));
    EXPECT_EQ(5, code);
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    int32_t wide = 0;
    EXPECT_TRUE(r.ReadInteger(&wide, 4));
    EXPECT_EQ(-2, wide); // sign-extended from two bytes
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    char16_t *name = r.ReadStrProper();
    EXPECT_EQ(std::u16string(u"名称"), name);
    MemFree(name);

    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    EXPECT_EQ(3, code);
    EXPECT_EQ(50u, r.GetBuffer());
    int32_t back[2] = {};
    EXPECT_TRUE(r.IntFromDoc(back, 4, 2));
    EXPECT_EQ(-1, back[0]);
    EXPECT_EQ(7, back[1]);
    char16_t *ab = r.StrFromDoc();
    EXPECT_EQ(std::u16string(u"ab"), ab);
    MemFree(ab);
    EXPECT_EQ(nullptr, r.StrFromDoc()); // count 0
    DATETIME_t t2{};
    SYSTIME_t st2{};
    EXPECT_TRUE(r.TimeFromDoc(&t2));
    EXPECT_TRUE(r.TimeFromDoc(&st2));
    EXPECT_EQ(0, CompareTime(&t, &t2));
    EXPECT_EQ(999, st2.wMilliseconds);
    EXPECT_EQ(2, st2.wDayOfWeek);
    char16_t z[2];
    EXPECT_TRUE(r.ReadStrDoc(z, 2));
    EXPECT_EQ(u'z', z[0]);
    EXPECT_EQ(0u, r.GetRemaining());

    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    char raw[4];
    EXPECT_EQ(4u, r.ReadProper(raw, 4)); // the rest is skipped
    EXPECT_EQ("raw ", std::string(raw, 4));
    EXPECT_EQ(XMF_Archive::kSectionEnd, r.ReadHeader(&code));
    EXPECT_EQ(XMF_Archive::kEnd, r.ReadHeader(&code));
    EXPECT_FALSE(r.IsFailed());
}

TEST(XmfArchiveTest, AcceptsWhatStoredDocumentsHold)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    w.StartMarker(258);
    w.StartMarker(4097); // an item closed with another code
    w.Write_Proper(1, u"Body");
    w.CloseMarker(257);
    // A property whose declared size leaves out the table section after its data.
    w.StartProper(4097, 4);
    w.IntToDoc("\x01\x00\x00\x00", 4);
    w.StartMarker(12289);
    w.Write_Integer(1, 9, 4);
    w.CloseMarker(12289);
    w.Write_Integer(2, 3, 2);
    w.CloseMarker(258);

    out.InitReader();
    XMF_Archive r(&out);
    uint16_t code = 0;
    ASSERT_EQ(XMF_Archive::kSectionStart, r.ReadHeader(&code));
    ASSERT_EQ(XMF_Archive::kSectionStart, r.ReadHeader(&code));
    EXPECT_TRUE(r.SkipMarker()); // ends at the end closed with 257
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    EXPECT_EQ(4097, code);
    uint32_t fixed = 0;
    EXPECT_TRUE(r.IntFromDoc(&fixed, 4));
    ASSERT_EQ(XMF_Archive::kSectionStart, r.ReadHeader(&code));
    EXPECT_EQ(12289, code);
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    int16_t narrow = 0;
    EXPECT_TRUE(r.ReadInteger(&narrow, 2));
    EXPECT_EQ(9, narrow);
    EXPECT_EQ(XMF_Archive::kSectionEnd, r.ReadHeader(&code));
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code)); // unread data is skipped
    EXPECT_EQ(XMF_Archive::kSectionEnd, r.ReadHeader(&code));
    EXPECT_EQ(258, code);
}

TEST(XmfArchiveTest, NeverReadsPastAPropertyOrTheDocument)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    w.Write_Proper(1, "abcd", 4);
    w.Write_Proper(2, "ef", 2);
    out.InitReader();
    XMF_Archive r(&out);
    uint16_t code = 0;
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    char buf[8] = {};
    EXPECT_FALSE(r.Read(buf, 5)); // more than the property holds
    EXPECT_EQ(4u, r.GetRemaining());
    uint64_t big = 0;
    EXPECT_FALSE(r.IntFromDoc(&big, 8));
    EXPECT_FALSE(r.ReadInteger(&big, 3));
    EXPECT_EQ(nullptr, r.ReadStrDoc(3)); // 6 bytes
    EXPECT_TRUE(r.Read(buf, 4));
    EXPECT_FALSE(r.Read(buf, 1));
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    EXPECT_EQ(2, code);

    struct Case
    {
        std::string bytes;
        const char *what;
    };
    const std::vector<Case> kDamaged = {
        {std::string("\x01\x01\x00\xFF\x00\x00\x00"
                     "abc",
                     10),
         "size beyond the document"},
        {std::string("\x07\x01\x00", 3), "unknown record"},
        {std::string("\x01\x01\x00\x02", 4), "cut size"},
        {std::string("\x02\x01", 2), "cut header"},
    };
    for (const Case &c : kDamaged) {
        Reader bad(c.bytes);
        EXPECT_EQ(XMF_Archive::kEnd, bad.m_xmf.ReadHeader(&code)) << c.what;
        EXPECT_EQ(XMF_Archive::kEnd, bad.m_xmf.ReadHeader(&code)) << c.what;
    }

    // A counted string whose count runs past its property.
    Reader lying(std::string("\x01\x01\x00\x08\x00\x00\x00\xFF\x00\x00\x00"
                             "a\0b\0",
                             15));
    ASSERT_EQ(XMF_Archive::kProperty, lying.m_xmf.ReadHeader(&code));
    EXPECT_EQ(nullptr, lying.m_xmf.StrFromDoc());
    char16_t text[4];
    EXPECT_EQ(0u, lying.m_xmf.StrFromDoc(text, 4));
    EXPECT_EQ(0, text[0]);

    // Skipping a section that never ends stops at the end of the document.
    Reader open(std::string("\x02\x01\x00\x02\x02\x00\x03\x02\x00", 9));
    ASSERT_EQ(XMF_Archive::kSectionStart, open.m_xmf.ReadHeader(&code));
    EXPECT_FALSE(open.m_xmf.SkipMarker());

    XMF_Archive none;
    EXPECT_EQ(XMF_Archive::kEnd, none.ReadHeader(&code));
    EXPECT_FALSE(none.StartMarker(1));
    EXPECT_TRUE(none.IsFailed());
}

TEST(XmfArchiveTest, CountedStringsIntoBuffers)
{
    XMemoArchive out;
    XMF_Archive w(&out);
    w.StartProper(1, 4 + 14 + 4 + 4 + 4);
    w.StrToDoc(u"abcdef");
    w.StrToDoc(nullptr);
    w.StrToDoc(u"xy", 2); // no terminator stored
    out.InitReader();
    XMF_Archive r(&out);
    uint16_t code = 0;
    ASSERT_EQ(XMF_Archive::kProperty, r.ReadHeader(&code));
    char16_t buf[3];
    EXPECT_EQ(2u, r.StrFromDoc(buf, 3));
    EXPECT_EQ(std::u16string(u"ab"), buf);
    EXPECT_EQ(1u, r.StrFromDoc(buf, 3)); // count 0
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(2u, r.StrFromDoc(buf, 3));
    EXPECT_EQ(std::u16string(u"xy"), buf);

    XMemoArchive text;
    XMF_Archive wt(&text);
    wt.Write_Proper(1, u"长文本");
    wt.Write_Proper(2, static_cast<const char16_t *>(nullptr));
    text.InitReader();
    XMF_Archive rt(&text);
    ASSERT_EQ(XMF_Archive::kProperty, rt.ReadHeader(&code));
    char16_t small[3];
    EXPECT_EQ(2u, rt.ReadStrProper(small, 3));
    EXPECT_EQ(std::u16string(u"长文"), small);
    ASSERT_EQ(XMF_Archive::kProperty, rt.ReadHeader(&code));
    EXPECT_EQ(nullptr, rt.ReadStrProper());
}

} // namespace
