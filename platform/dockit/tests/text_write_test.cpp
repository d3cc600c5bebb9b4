// Writing text into a stream in each encoding.
#include <gtest/gtest.h>

#include <string>

#include "corekit/archive/xmemo_archive.h"
#include "platform/dockit/text_write.h"

namespace {

std::string Written(int encoding, const char16_t *text, int length = -1)
{
    XMemoArchive out;
    EXPECT_TRUE(TextWrite(&out, encoding, text, length));
    std::string bytes(out.GetMaxSize(), '\0');
    out.InitReader();
    if (!bytes.empty())
        out.Read(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return bytes;
}

TEST(TextWriteTest, EncodesBySelector)
{
    EXPECT_EQ("\xE5\xB0\x8F\xE8\xAE\xA1 1", Written(1, u"小计 1"));
    EXPECT_EQ("\xD0\xA1\xBC\xC6", Written(0, u"小计")); // the ANSI code page is GBK
    EXPECT_EQ(std::string("A\0\x0F\x5C", 4), Written(2, u"A小"));
    EXPECT_EQ(std::string("\0A", 2), Written(3, u"A"));
    EXPECT_EQ("caf\xE9", Written(4, u"café"));
    EXPECT_EQ("ab", Written(1, u"abc", 2));
    EXPECT_EQ("", Written(1, u""));
    EXPECT_EQ("", Written(1, nullptr));
}

TEST(TextWriteTest, AppendsAndRefuses)
{
    XMemoArchive out;
    EXPECT_TRUE(TextWrite(&out, 1, u"合", -1));
    EXPECT_TRUE(TextWrite(&out, 1, u"计\r\n", -1));
    EXPECT_EQ(8u, out.GetMaxSize());
    EXPECT_FALSE(TextWrite(nullptr, 1, u"x", 1));
    EXPECT_FALSE(TextWrite(&out, 5, u"x", 1));
    EXPECT_FALSE(TextWrite(&out, -1, u"x", 1));
}

} // namespace
