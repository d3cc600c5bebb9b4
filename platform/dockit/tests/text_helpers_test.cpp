// Keyword matching, comma lists, script-literal escaping and the debug log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/text/xstring.h"
#include "oracle_util.h"
#include "platform/devkit/native_path.h"
#include "platform/dockit/debug_tracker.h"
#include "platform/dockit/text_helpers.h"

namespace {

TEST(MatchMarkerTest, ReturnsTheWordLength)
{
    struct Case
    {
        const char *text;
        const char *word;
        int expected;
    };
    constexpr Case kCases[] = {
        {"solid 1px", "solid", 5}, {"12px", "px", 0}, {"px;", "px", 2}, {"PX", "px", 2},
        {"so", "solid", 0},        {"solid", "", 0},  {"", "a", 0},     {"dotted", "dot", 3},
    };
    for (const Case &c : kCases)
        EXPECT_EQ(c.expected, MatchMarker(c.text, c.word)) << c.text << " / " << c.word;
    EXPECT_EQ(6, MatchMarker(u"center center", u"CENTER"));
    EXPECT_EQ(0, MatchMarker(u"宋体", u"宋x"));
    EXPECT_EQ(0, MatchMarker(static_cast<const char *>(nullptr), "a"));
    EXPECT_EQ(0, MatchMarker(u"a", nullptr));
}

TEST(StrComposeTest, FindsWordInList)
{
    constexpr const char16_t *kImages = u"jpg,png,gif,tif,bmp,psd,jpeg,tiff";
    EXPECT_EQ(1, StrCompose(u"jpg", kImages, 1));
    EXPECT_EQ(2, StrCompose(u"PNG", kImages, 1));
    EXPECT_EQ(0, StrCompose(u"PNG", kImages, 0));
    EXPECT_EQ(8, StrCompose(u"TIFF", kImages, 1));
    EXPECT_EQ(0, StrCompose(u"tif ", u"tiff", 1));
    EXPECT_EQ(0, StrCompose(u"jp", kImages, 1));
    EXPECT_EQ(2, StrCompose("doc", " pdf , doc ,txt", 1));
    EXPECT_EQ(0, StrCompose("", "a,b", 1));
    EXPECT_EQ(2, StrCompose("", "a,,b", 1));
    EXPECT_EQ(0, StrCompose("a", nullptr, 1));
}

std::u16string Encode(const std::u16string &text)
{
    XString out;
    StrEncode(&out, text.c_str(), static_cast<int>(text.size()));
    return out.GetString() ? out.GetString() : u"";
}

TEST(StrEncodeTest, EscapesForAStringLiteral)
{
    EXPECT_EQ(u"plain 文字", Encode(u"plain 文字"));
    EXPECT_EQ(u"a\\\"b\\'c\\\\d", Encode(u"a\"b'c\\d"));
    EXPECT_EQ(u"\\r\\n\\t\\u0000\\u001F", Encode(std::u16string(u"\r\n\t\0\x1F", 5)));
    EXPECT_EQ(u"\\u003C/script\\u003E", Encode(u"</script>"));
    EXPECT_EQ(u"\\u2028\\u2029", Encode(u"\u2028\u2029"));
    EXPECT_EQ(u"😀\\uD800", Encode(u"😀\xD800"));

    XString out(u"f(\"");
    EXPECT_EQ(2u, StrEncode(&out, u"\"")); // appends
    EXPECT_EQ(std::u16string(u"f(\"\\\""), out.GetString());
    EXPECT_EQ(0u, StrEncode(&out, nullptr));
}

// Each case is pasted between double quotes into a script and must evaluate to itself.
TEST(StrEncodeTest, NodeEvaluatesTheLiteralToTheOriginal)
{
    const std::vector<std::u16string> cases = {
        u"say \"hi\" and 'bye'",  u"C:\\dir\\new\\t",
        u"line1\nline2\r\nline3", u"</script><script>alert(1)</script>",
        u"sep\u2028par\u2029end", u"宋体 😀 \x7f\x01",
        u"\\\"); alert(1); //",
    };
    std::string script = "const got = [";
    std::string expected;
    for (const std::u16string &text : cases) {
        XString out;
        StrEncode(&out, text.c_str(), static_cast<int>(text.size()));
        script += "\"" + devkit::Utf16ToUtf8(out.GetString()) + "\",";
        for (char16_t unit : text)
            expected += std::to_string(unit) + " ";
        expected += "\n";
    }
    script += "];\nfor (const s of got) { let u = ''; for (let i = 0; i < s.length; ++i) u += "
              "s.charCodeAt(i) + ' '; console.log(u); }\n";
    int status = 0;
    std::string out = dockit_test::RunTool("/usr/bin/node", script, &status);
    ASSERT_EQ(0, status) << "node failed";
    EXPECT_EQ(expected, out);
}

struct Collected
{
    std::vector<std::u16string> lines;
};

void Collect(void *data, const char16_t *text)
{
    static_cast<Collected *>(data)->lines.push_back(text);
}

TEST(DebugTrackerTest, HandsMessagesToTheInstalledProc)
{
    ZEP_DebugTracker(u"dropped: no handler yet");
    Collected got;
    EXPECT_EQ(nullptr, ZEP_SetDebugProc(&got, Collect));
    ZEP_DebugTracker(u"CallJavaFunc创建JRE失败！");
    ZEP_DebugTracker("narrow 宋体");
    ZEP_DebugTracker(static_cast<const char16_t *>(nullptr));
    EXPECT_EQ(&Collect, ZEP_SetDebugProc(nullptr, nullptr));
    ZEP_DebugTracker(u"dropped again");
    ASSERT_EQ(2u, got.lines.size());
    EXPECT_EQ(u"CallJavaFunc创建JRE失败！", got.lines[0]);
    EXPECT_EQ(u"narrow 宋体", got.lines[1]);
}

} // namespace
