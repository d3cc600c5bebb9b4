// Code tables: loading a "GBKT" document, its two orders, and the refusals.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/archive/archive.h"
#include "corekit/encoding/code_table.h"

namespace {

std::vector<uint8_t> Document(const std::vector<CODEPAIR_t> &entries, uint32_t count,
                              const char *magic = "GBKT")
{
    std::vector<uint8_t> doc(magic, magic + 4);
    for (int i = 0; i < 4; ++i)
        doc.push_back(static_cast<uint8_t>(count >> (8 * i)));
    for (const CODEPAIR_t &e : entries)
        for (uint16_t c : {e.wFirst, e.wSecond}) {
            doc.push_back(static_cast<uint8_t>(c));
            doc.push_back(static_cast<uint8_t>(c >> 8));
        }
    return doc;
}

int Load(std::vector<uint8_t> doc)
{
    XByteArchive a;
    a.SetBuffer(doc.data(), static_cast<uint32_t>(doc.size()));
    return SetCodeTable(&a);
}

std::vector<std::pair<int, int>> Table(unsigned which)
{
    uint32_t n = 0;
    const CODEPAIR_t *t = GetCodeTable(which, &n);
    std::vector<std::pair<int, int>> out;
    for (uint32_t i = 0; i < n; ++i)
        out.emplace_back(t[i].wFirst, t[i].wSecond);
    return out;
}

// The tables are process-wide: each test starts from none, and the table that was loaded
// before it is loaded again after it.
class CodeTable : public testing::Test
{
protected:
    void SetUp() override
    {
        uint32_t n = 0;
        const CODEPAIR_t *t = GetCodeTable(0, &n);
        m_saved.assign(t, t + n);
        ReleaseCodeTable();
    }
    void TearDown() override
    {
        ReleaseCodeTable();
        if (!m_saved.empty()) {
            EXPECT_EQ(1, Load(Document(m_saved, static_cast<uint32_t>(m_saved.size()))));
        }
    }

private:
    std::vector<CODEPAIR_t> m_saved;
};

} // namespace

TEST_F(CodeTable, LoadsBothOrders)
{
    const std::vector<CODEPAIR_t> entries = {
        {0xB0A1, 0x554A}, {0xB0A2, 0x963F}, {0xB0A3, 0x554A}, {0x8140, 0x4E02}, {0x41, 0x41}};
    ASSERT_EQ(1, Load(Document(entries, 5)));
    EXPECT_EQ(
        (std::vector<std::pair<int, int>>{
            {0xB0A1, 0x554A}, {0xB0A2, 0x963F}, {0xB0A3, 0x554A}, {0x8140, 0x4E02}, {0x41, 0x41}}),
        Table(0));
    // Ordered by the second code; equal second codes keep document order.
    EXPECT_EQ(
        (std::vector<std::pair<int, int>>{
            {0x41, 0x41}, {0x8140, 0x4E02}, {0xB0A1, 0x554A}, {0xB0A3, 0x554A}, {0xB0A2, 0x963F}}),
        Table(1));
    EXPECT_EQ(0x963F, CodeTableToSecond(0xB0A2));
    EXPECT_EQ(0xB0A1, CodeTableToFirst(0x554A));
    EXPECT_EQ(0, CodeTableToFirst(0x1234));
    EXPECT_EQ(0, CodeTableToSecond(0x1234));

    ASSERT_EQ(1, Load(Document({}, 0))); // an empty table replaces the old one
    EXPECT_TRUE(Table(0).empty());
    EXPECT_EQ(0, CodeTableToFirst(0x554A));
}

TEST_F(CodeTable, RefusesDocumentsThatDoNotAddUp)
{
    const std::vector<CODEPAIR_t> one = {{1, 2}};
    std::vector<uint8_t> extra = Document(one, 1);
    extra.push_back(0);
    std::vector<uint8_t> cut = Document(one, 1);
    cut.pop_back();
    const std::vector<uint8_t> cases[] = {
        extra,                                          // 8 + 4n + 1 bytes
        cut,                                            // 8 + 4n - 1 bytes
        Document(one, 2),                               // count larger than the entries
        Document(one, 0x40000002),                      // 8 + 4n wraps 32 bits
        Document(one, 1, "GBKX"),                       // wrong magic
        std::vector<uint8_t>{'G', 'B', 'K', 'T', 1, 0}, // count cut off
        std::vector<uint8_t>{},
    };
    for (const auto &doc : cases) {
        EXPECT_EQ(0, Load(doc)) << testing::PrintToString(doc);
        EXPECT_EQ(nullptr, GetCodeTable(0, nullptr));
    }
    // A failed load keeps the table loaded before.
    ASSERT_EQ(1, Load(Document(one, 1)));
    EXPECT_EQ(0, Load(extra));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 2}}), Table(1));
    EXPECT_EQ(0, SetCodeTable(nullptr));
}

TEST_F(CodeTable, LoadsFromAMemoryArchive)
{
    XMemoArchive a;
    std::vector<uint8_t> doc = Document({{3, 9}, {4, 8}}, 2);
    a.Write(doc.data(), static_cast<uint32_t>(doc.size()));
    a.InitReader();
    ASSERT_EQ(1, SetCodeTable(&a));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{4, 8}, {3, 9}}), Table(1));
}
