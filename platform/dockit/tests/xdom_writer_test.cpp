// The XML writer: exact text, refusals, and xmllint and python3 as readers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "corekit/archive/xmemo_archive.h"
#include "oracle_util.h"
#include "platform/dockit/xdom_writer.h"

using dockit_test::RunTool;

namespace {

TEST(XDomWriterTest, WritesElementsAttributesAndContent)
{
    XDomWriter w(0);
    EXPECT_TRUE(w.BeginMarker(u"data"));
    EXPECT_TRUE(w.WriteNumber(u"id", 7));
    EXPECT_TRUE(w.WriteNumber("size", -9223372036854775807LL - 1));
    EXPECT_TRUE(w.WriteString(u"name", u"a\tb\nc\rd \"q\" <&>'"));
    EXPECT_TRUE(w.EndOfMarker(0));
    EXPECT_TRUE(w.StartMarker(u"Table"));
    EXPECT_TRUE(w.WriteString(u"x < y && \"z\"\r\n\t"));
    EXPECT_TRUE(w.CloseMarker(u"Table"));
    EXPECT_TRUE(w.BeginMarker("item"));
    EXPECT_TRUE(w.WriteString("keyer", nullptr));
    EXPECT_TRUE(w.EndOfMarker(1));
    EXPECT_TRUE(w.WriteEscape(u"宋体😀 and more", 4));
    EXPECT_TRUE(w.CloseMarker());
    EXPECT_EQ(0u, w.GetDepth());
    EXPECT_EQ("<data id=\"7\" size=\"-9223372036854775808\" "
              "name=\"a&#9;b&#10;c&#13;d &quot;q&quot; &lt;&amp;&gt;'\">"
              "<Table>x &lt; y &amp;&amp; \"z\"&#13;\n\t</Table><item keyer=\"\"/>"
              "\xE5\xAE\x8B\xE4\xBD\x93\xF0\x9F\x98\x80</data>",
              std::string(w.GetString(), w.GetLength()));
}

TEST(XDomWriterTest, RefusesMisuse)
{
    XDomWriter w;
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", std::string(w.GetString()));
    EXPECT_FALSE(w.WriteString(u"text outside any element"));
    EXPECT_FALSE(w.WriteString(u"attr", u"no start tag"));
    EXPECT_FALSE(w.EndOfMarker(0));
    EXPECT_FALSE(w.CloseMarker());
    EXPECT_FALSE(w.StartMarker(u""));
    EXPECT_FALSE(w.BeginMarker(u"bad name"));
    EXPECT_TRUE(w.StartMarker(u"a"));
    EXPECT_FALSE(w.WriteNumber(u"late", 1)); // the start tag is closed already
    EXPECT_TRUE(w.BeginMarker(u"b"));
    EXPECT_FALSE(w.WriteString(u"x=y", u"1"));
    EXPECT_FALSE(w.CloseMarker(u"a")); // b is innermost
    EXPECT_TRUE(w.CloseMarker(u"b"));  // still in its start tag: written empty
    EXPECT_TRUE(w.CloseMarker(u"a"));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a><b/></a>",
              std::string(w.GetString()));
    XMemoArchive out;
    EXPECT_TRUE(w.SaveArchive(&out));
    EXPECT_EQ(w.GetLength(), out.GetMaxSize());
    EXPECT_FALSE(w.SaveArchive(nullptr));
    w.Reset();
    EXPECT_EQ(0u, w.GetDepth());
}

TEST(XDomWriterTest, ReplacesCharactersXmlCannotCarry)
{
    XDomWriter w(0);
    w.BeginMarker(u"a");
    w.WriteString(u"v", std::u16string(u"x\x01y\xFFFF", 4).c_str());
    w.EndOfMarker(0);
    w.WriteEscape(std::u16string(u"\0\x0B\xD800", 3).c_str(), 3);
    w.WriteEscape("bad \xC3 utf8");
    w.CloseMarker();
    EXPECT_EQ("<a v=\"x\xEF\xBF\xBDy\xEF\xBF\xBD\">\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
              "bad \xEF\xBF\xBD utf8</a>",
              std::string(w.GetString()));
}

// Writes a document that exercises every escape, then lets xmllint check it and
// python3's parser read it back as a tree.
TEST(XDomWriterTest, OutsideReadersSeeTheSameTree)
{
    XDomWriter w;
    w.StartMarker(u"QueryTemplate");
    w.StartMarker(u"Table");
    w.WriteString(u"FROM a & b");
    w.CloseMarker();
    w.StartMarker(u"Field");
    w.BeginMarker(u"item");
    w.WriteString(u"Body", u"x<y>z&\"'");
    w.WriteString(u"Name", u"tab\there\nnext\r\nend");
    w.WriteNumber(u"Size", -8);
    w.EndOfMarker(1);
    w.CloseMarker();
    w.BeginMarker(u"script");
    w.WriteNumber(u"id", 7);
    w.WriteString(u"where", u"  two  spaces  ");
    w.EndOfMarker(0);
    w.WriteString(u"\r\n");
    w.WriteEscape(u"alert(\"宋体😀\") && x < 1");
    w.WriteString(u"\r\n");
    w.CloseMarker();
    w.CloseMarker();
    std::string doc(w.GetString(), w.GetLength());

    int status = 0;
    std::string lint = RunTool("/usr/bin/xmllint --noout - 2>&1", doc, &status);
    EXPECT_EQ(0, status) << lint;
    EXPECT_EQ("", lint);

    const std::string script =
        "import sys, json, xml.etree.ElementTree as ET\n"
        "def walk(e):\n"
        "    return [e.tag, dict(sorted(e.attrib.items())), e.text, [walk(c) for c in e], e.tail]\n"
        "root = ET.fromstring(sys.stdin.buffer.read())\n"
        "print(json.dumps(walk(root), ensure_ascii=True))\n";
    std::string py = dockit_test::TempFile(".py");
    dockit_test::WriteWhole(py, script);
    std::string tree = RunTool("/usr/bin/python3 " + py, doc, &status);
    std::remove(py.c_str());
    EXPECT_EQ(0, status);
    EXPECT_EQ(
        "[\"QueryTemplate\", {}, null, ["
        "[\"Table\", {}, \"FROM a & b\", [], null], "
        "[\"Field\", {}, null, [[\"item\", {\"Body\": \"x<y>z&\\\"'\", "
        "\"Name\": \"tab\\there\\nnext\\r\\nend\", \"Size\": \"-8\"}, null, [], null]], null], "
        "[\"script\", {\"id\": \"7\", \"where\": \"  two  spaces  \"}, "
        "\"\\r\\nalert(\\\"\\u5b8b\\u4f53\\ud83d\\ude00\\\") && x < 1\\r\\n\", [], null]"
        "], null]\n",
        tree);
}

} // namespace
