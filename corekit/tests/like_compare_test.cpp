// LikeCompare: the same table of patterns runs for narrow and wide text.
#include <string>

#include <gtest/gtest.h>

#include "corekit/text/strings.h"

namespace {

struct Case
{
    const char *text, *pattern;
    int nocase, expected;
};

constexpr Case kCases[] = {
    // '*' runs
    {"abc", "a*", 0, 1},
    {"abc", "*", 0, 1},
    {"", "***", 0, 1},
    {"abc", "a**c", 0, 1},
    {"abc", "*b*", 0, 1},
    {"abc", "*d", 0, 0},
    {"abcbd", "a*bd", 0, 1}, // needs the restart after the first b
    {"aXbXc", "*X*X*c", 0, 1},
    {"a", "", 0, 0},
    {"", "", 0, 1},
    {"", "a", 0, 0},
    {"ab", "a", 0, 0},
    // one-character elements
    {"abc", "A?C", 0, 0},
    {"abc", "A?C", 1, 1},
    {"abc", "A?C", -1, 0}, // only a positive nocase folds
    {"a5", "#$", 0, 1},
    {"5a", "#$", 0, 0},
    {"_", "#", 0, 0},
    // ranges and sets never fold case
    {"d", "[a,c]", 0, 0},
    {"b", "[a,c]", 0, 1},
    {"B", "[a,c]", 1, 0},
    {"b", "[abc]", 0, 1},
    {"B", "[abc]", 1, 0},
    {"x", "[abc]", 0, 0},
    {"a", "[]", 0, 0},
    {"a", "[abc", 0, 0},
    {"]", "[a]]", 0, 0},
    {",", "[,]", 0, 1},
    {"ab", "[ab]b", 0, 1},
    {"a", "[a,", 0, 0},
    // escapes
    {"a*", "a\\*", 0, 1},
    {"ab", "a\\*", 0, 0},
    {"?", "\\?", 0, 1},
    {"[", "\\[", 0, 1},
    {"\\n", "\\n", 0, 1},
    {"\\", "\\", 0, 1},
    {"x", "\\", 0, 0},
    {"\\x", "\\x", 0, 1},
};

std::u16string Wide(const char *s)
{
    std::u16string w;
    for (; *s; ++s)
        w.push_back(static_cast<unsigned char>(*s));
    return w;
}

TEST(LikeCompare, TableNarrowAndWide)
{
    for (const Case &c : kCases) {
        EXPECT_EQ(c.expected, LikeCompare(c.text, c.pattern, c.nocase))
            << "narrow '" << c.text << "' ~ '" << c.pattern << "' nocase " << c.nocase;
        EXPECT_EQ(c.expected, LikeCompare(Wide(c.text).c_str(), Wide(c.pattern).c_str(), c.nocase))
            << "wide '" << c.text << "' ~ '" << c.pattern << "' nocase " << c.nocase;
    }
}

TEST(LikeCompare, NullArgumentsGiveZero)
{
    EXPECT_EQ(0, LikeCompare(static_cast<const char *>(nullptr), "*", 0));
    EXPECT_EQ(0, LikeCompare("a", static_cast<const char *>(nullptr), 0));
    EXPECT_EQ(0, LikeCompare(static_cast<const char16_t *>(nullptr), u"*", 1));
    EXPECT_EQ(0, LikeCompare(u"", static_cast<const char16_t *>(nullptr), 1));
}

TEST(LikeCompare, RangesOrderNarrowSignedAndWideUnsigned)
{
    // Narrow bytes compare as signed values: 0xE9 lies below 'a'.
    EXPECT_EQ(0, LikeCompare("\xE9", "[a,\xFF]", 0));
    EXPECT_EQ(1, LikeCompare("\xE9", "[\x80,a]", 0));
    // Wide units compare unsigned: U+4E2D lies within [a, U+9FFF].
    EXPECT_EQ(1, LikeCompare(u"\u4E2D", u"[a,\u9FFF]", 0));
    EXPECT_EQ(1, LikeCompare(u"\u4E2D\u6587", u"?\u6587", 0));
    EXPECT_EQ(1, LikeCompare(u"\u4E2D\u6587", u"*[\u6587]", 0));
}

} // namespace
