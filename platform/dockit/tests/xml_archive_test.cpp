// XML documents: reading, the raw element, saving back, encodings and hostile input.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>

#include "corekit/archive/xmemo_archive.h"
#include "oracle_util.h"
#include "platform/devkit/native_path.h"
#include "platform/dockit/xdom_writer.h"
#include "platform/dockit/xml_archive.h"

using dockit_test::ReadWhole;
using dockit_test::TempFile;
using dockit_test::WriteWhole;

namespace {

std::u16string Wide(const std::string &text)
{
    return devkit::Utf8ToUtf16(text.data(), text.size());
}

// A configuration document as it is kept on disk: CR LF line ends and a style sheet
// that is not XML at all.
const std::string kConfig = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                            "<Configure>\r\n"
                            "  <Settings>\r\n"
                            "    <Server Addr=\"10.0.0.8\" Port=\"8080\" Ticker=\"\"/>\r\n"
                            "    <Updater Time=\"2024-03-05\"/>\r\n"
                            "    <Caption Name=\"业务平台 &amp; 工具\"/>\r\n"
                            "  </Settings>\r\n"
                            "  <StyleBase>\r\n"
                            "editClass > span { border:1px solid; } /* a < b && c */\r\n"
                            "<not-a-tag & not an entity;\r\n"
                            "  </StyleBase>\r\n"
                            "  <MenuBar>\r\n"
                            "    <Folder Name=\"文件\" Collapse=\"1\"/>\r\n"
                            "    <Folder Name=\"编辑\" Collapse=\"0\"/>\r\n"
                            "  </MenuBar>\r\n"
                            "</Configure>\r\n";

class XmlFileTest : public ::testing::Test
{
protected:
    void SetUp() override { m_path = TempFile(".xml"); }
    void TearDown() override { std::filesystem::remove(m_path); }
    std::u16string Path() const { return Wide(m_path); }
    std::string m_path;
};

TEST_F(XmlFileTest, ConfigurationReadsAndSavesBackByteForByte)
{
    WriteWhole(m_path, kConfig);
    XML_Archive doc;
    ASSERT_TRUE(doc.SetEscape("StyleBase"));
    ASSERT_TRUE(doc.OpenFile(Path().c_str(), 0));

    XML_Node *server = doc.SelectNode("/Configure/Settings/Server");
    ASSERT_NE(nullptr, server);
    char16_t buf[128];
    EXPECT_TRUE(server->GetAttribute(u"Addr", buf, 128));
    EXPECT_EQ(std::u16string(u"10.0.0.8"), buf);
    EXPECT_TRUE(server->GetAttribute("ticker", buf, 32)); // present though empty
    EXPECT_EQ(std::u16string(u""), buf);
    EXPECT_FALSE(server->GetAttribute(u"Proxy", buf, 320));
    EXPECT_TRUE(doc.SelectNode(u"/Configure/Settings/Caption")->GetAttribute(u"Name", buf, 320));
    EXPECT_EQ(std::u16string(u"业务平台 & 工具"), buf);

    XML_Node *style = doc.SelectNode(u"/Configure/StyleBase");
    ASSERT_NE(nullptr, style);
    EXPECT_STREQ("\r\neditClass > span { border:1px solid; } /* a < b && c */\r\n"
                 "<not-a-tag & not an entity;\r\n  ",
                 style->GetNodeText());

    ASSERT_TRUE(doc.SaveFile(nullptr));
    EXPECT_EQ(kConfig, ReadWhole(m_path));

    // The shell rewrites the update stamp and saves: only that value changes.
    EXPECT_TRUE(
        doc.SelectNode("/Configure/Settings/Updater")->SetAttribute(u"Time", u"2025-01-02"));
    ASSERT_TRUE(doc.SaveFile(nullptr));
    std::string expected = kConfig;
    expected.replace(expected.find("2024-03-05"), 10, "2025-01-02");
    EXPECT_EQ(expected, ReadWhole(m_path));
}

TEST_F(XmlFileTest, GbkDeclaredDocumentReadsAndSavesBack)
{
    // "宋体" and "配置" in GBK; the raw element holds GBK bytes as well.
    const std::string gbk = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"
                            "<Configure Font=\"\xCB\xCE\xCC\xE5\">\xC5\xE4\xD6\xC3"
                            "<StyleBase>a > \xCB\xCE</StyleBase></Configure>\n";
    WriteWhole(m_path, gbk);
    XML_Archive doc;
    doc.SetEscape(u"StyleBase");
    ASSERT_TRUE(doc.OpenFile(Path().c_str(), 0));
    char16_t buf[16];
    EXPECT_TRUE(doc.GetRootItem()->GetAttribute(u"font", buf, 16));
    EXPECT_EQ(std::u16string(u"宋体"), buf);
    EXPECT_STREQ("配置", doc.GetRootItem()->GetNodeText());
    EXPECT_STREQ("a > 宋", doc.SelectNode("/Configure/StyleBase")->GetNodeText());
    ASSERT_TRUE(doc.SaveFile(nullptr));
    EXPECT_EQ(gbk, ReadWhole(m_path));

    // GB2312 labels GBK bytes in practice (0x81 0x40 is outside GB2312).
    XML_Archive legacy;
    const std::string gb2312 = "<?xml version='1.0' encoding='gb2312'?><a v=\"\x81\x40\"/>";
    ASSERT_TRUE(legacy.ParseBuffer(gb2312.data(), static_cast<uint32_t>(gb2312.size()), 1));
    EXPECT_STREQ("丂", legacy.GetRootItem()->GetAttribute("v"));
}

TEST_F(XmlFileTest, FailedSaveLeavesTheOriginalIntact)
{
    WriteWhole(m_path, kConfig);
    XML_Archive doc;
    EXPECT_FALSE(doc.OpenFile(Path().c_str(), 0)); // the style sheet is no XML
    doc.SetEscape("StyleBase");
    ASSERT_TRUE(doc.OpenFile(Path().c_str(), 0));
    doc.GetRootItem()->SetAttribute("Filler", std::string(4000, 'x').c_str());

    // The file-size limit makes the write fail half-way.
    struct rlimit before
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &before);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    int saved = doc.SaveFile(nullptr);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(kConfig, ReadWhole(m_path));
    std::string folder = std::filesystem::path(m_path).parent_path().string();
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(std::string::npos, entry.path().string().find(m_path + ".")) // no leftovers
            << entry.path();

    EXPECT_FALSE(doc.SaveFile(u"/no/such/folder/x.xml"));
    XML_Archive readOnly;
    readOnly.SetEscape("StyleBase");
    ASSERT_TRUE(readOnly.OpenFile(Path().c_str(), XML_Archive::kReadOnly));
    EXPECT_FALSE(readOnly.SaveFile(nullptr));
    EXPECT_TRUE(readOnly.SaveFile(Path().c_str())); // an explicit target is allowed
}

// Saving an unchanged document gives back its bytes for the layouts files come in.
TEST(XmlArchiveTest, UnchangedDocumentsSaveBackUnchanged)
{
    const std::string kCases[] = {
        "<a><b x=\"1\"/></a>",
        "\xEF\xBB\xBF<a>\n  <b>t</b>\n</a>\n",
        "<?xml version='1.0' encoding='utf-8'?>\n<a/>\n\n",
        "<?xml version=\"1.0\"?>\r\n<!-- note -->\r\n<a>\r\n<StyleBase>a&b</StyleBase></a>",
        "<a><StyleBase k=\"v\">x<y</StyleBase><StyleBase/><c>&lt;</c></a>",
    };
    for (const std::string &text : kCases) {
        XML_Archive doc;
        doc.SetEscape("StyleBase");
        ASSERT_TRUE(doc.ParseBuffer(text.data(), static_cast<uint32_t>(text.size()), 1)) << text;
        EXPECT_EQ(text, doc.SaveBuffer());
    }
}

TEST(XmlArchiveTest, NodeOperations)
{
    const std::string text = "<Root a=\"1\" B=\"two\" c=\"x&#9;y\">"
                             "head<Item id=\"1\">one</Item><!-- note -->"
                             "<Other/><Item id=\"2\">t<b>w</b>o</Item>tail</Root>";
    XML_Archive doc;
    ASSERT_TRUE(doc.ParseBuffer(text.data(), static_cast<uint32_t>(text.size()), 1));
    XML_Node *root = doc.GetRootItem();
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ("Root", root->GetNodeName());
    EXPECT_STREQ("headonetwotail", root->GetNodeText());

    // Texts stay valid side by side, as resource records keep Name, File and Desc.
    const char *b = root->GetAttribute("b");
    const char *c = root->GetAttribute("C");
    const char *all = root->GetNodeText();
    const char *item = root->GetChildItem("Item")->GetNodeText();
    EXPECT_STREQ("two", b);
    EXPECT_STREQ("x\ty", c);
    EXPECT_STREQ("headonetwotail", all);
    EXPECT_STREQ("one", item);
    EXPECT_STREQ("two", root->GetAttribute("b"));
    EXPECT_STREQ("x\ty", root->GetAttribute("C"));
    EXPECT_EQ(nullptr, root->GetAttribute("missing"));
    char16_t small[3];
    EXPECT_TRUE(root->GetAttribute(u"B", small, 3));
    EXPECT_EQ(std::u16string(u"tw"), small); // cut to the capacity

    std::string names;
    for (void *a = root->GetNextAttribute(nullptr); a; a = root->GetNextAttribute(a))
        names += std::string(root->GetAttribute(a, 1)) + "=" + root->GetAttribute(a, 0) + ";";
    EXPECT_EQ("a=1;B=two;c=x\ty;", names);

    std::string children;
    for (XML_Node *c = root->GetNextItem(nullptr); c; c = root->GetNextItem(c))
        children += std::string(c->GetNodeName()) + ":" + c->GetNodeText() + ";";
    EXPECT_EQ("Item:one;Other:;Item:two;", children);
    EXPECT_STREQ("1", root->GetChildItem("Item")->GetAttribute("ID"));
    EXPECT_EQ(nullptr, root->GetChildItem("item")); // element names are exact
    EXPECT_EQ(root->GetChildItem("Other"), doc.SelectNode(u"/Root/Other")); // one node each
    EXPECT_EQ(root, doc.SelectNode("/"));
    EXPECT_EQ(nullptr, doc.SelectNode("/Other"));
    EXPECT_EQ(nullptr, doc.SelectNode("Root"));
    EXPECT_EQ(nullptr, doc.SelectNode("/Root/Item/Missing"));
    EXPECT_EQ(nullptr, root->GetNextItem(root)); // not a child

    EXPECT_TRUE(root->SetAttribute("b", "three")); // keeps the spelling "B"
    EXPECT_TRUE(root->SetAttribute(u"New", u"宋\x01"));
    EXPECT_TRUE(root->SetAttribute("a", nullptr));
    EXPECT_FALSE(root->SetAttribute("bad name", "x"));
    std::string saved = doc.SaveBuffer();
    EXPECT_NE(std::string::npos,
              saved.find("<Root B=\"three\" c=\"x&#9;y\" New=\"宋\xEF\xBF\xBD\">"))
        << saved;

    doc.CloseDoc();
    EXPECT_EQ(nullptr, doc.GetRootItem());
    EXPECT_EQ(nullptr, doc.SelectNode("/Root"));
    EXPECT_EQ("", doc.SaveBuffer());
}

TEST(XmlArchiveTest, WriterAttributesReadBackUnchanged)
{
    const std::u16string value = u"tab\there\nline\r\nend \"quoted\" <&>";
    XDomWriter w;
    w.BeginMarker(u"data");
    w.WriteString(u"default", value.c_str());
    w.EndOfMarker(0);
    w.WriteString(u"\r\nscript();\r\n");
    w.CloseMarker();
    XML_Archive doc;
    ASSERT_TRUE(doc.ParseBuffer(w.GetString(), w.GetLength(), 1));
    char16_t buf[64];
    ASSERT_TRUE(doc.GetRootItem()->GetAttribute(u"default", buf, 64));
    EXPECT_EQ(value, buf);
    EXPECT_STREQ("\r\nscript();\r\n", doc.GetRootItem()->GetNodeText());
}

TEST(XmlArchiveTest, ParsesStoredBuffersAndRefusesBadOnes)
{
    XML_Archive doc;
    const char stored[] = "<index><Icon Name=\"a\"/></index>\0\0"; // two zero bytes follow
    EXPECT_TRUE(doc.ParseBuffer(stored, sizeof(stored), 1));
    EXPECT_NE(nullptr, doc.SelectNode("/index/Icon"));
    const char wide[] = "\xFF\xFE<\0a\0 \0v\0=\0\"\0\xAE\x5B\"\0/\0>\0\0\0"; // UTF-16LE
    ASSERT_TRUE(doc.ParseBuffer(wide, sizeof(wide), 1));
    EXPECT_STREQ("宮", doc.GetRootItem()->GetAttribute("v"));

    struct Case
    {
        const char *bytes;
    };
    constexpr Case kBad[] = {{""},
                             {"not xml"},
                             {"<a>"},
                             {"<a></b>"},
                             {"<?xml version=\"1.0\"?>"},
                             {"<a/><b/>"},
                             {"<a x=\"1\" x=\"2\"/>"}};
    for (const Case &c : kBad)
        EXPECT_FALSE(doc.ParseBuffer(c.bytes, static_cast<uint32_t>(strlen(c.bytes)), 1))
            << c.bytes;
    EXPECT_FALSE(doc.ParseBuffer(nullptr, 10, 1));
    EXPECT_EQ(nullptr, doc.GetRootItem());
    EXPECT_FALSE(doc.OpenFile(u"/no/such/file.xml", 0));
}

TEST(XmlArchiveTest, ExternalEntitiesStayUnread)
{
    std::string secret = TempFile(".txt");
    WriteWhole(secret, "SECRET");
    std::string text = "<!DOCTYPE a [<!ENTITY x SYSTEM \"file://" + secret +
                       "\"><!ENTITY y \"inner\">]><a v=\"&y;\" w=\"1&y;2\">&x;&y;</a>";
    XML_Archive doc;
    ASSERT_TRUE(doc.ParseBuffer(text.data(), static_cast<uint32_t>(text.size()), 1));
    EXPECT_STREQ("inner", doc.GetRootItem()->GetNodeText());
    const char *v = doc.GetRootItem()->GetAttribute("v");
    const char *w = doc.GetRootItem()->GetAttribute("w");
    EXPECT_STREQ("inner", v);
    EXPECT_STREQ("1inner2", w);
    std::filesystem::remove(secret);
}

TEST(XmlArchiveTest, EntityExpansionIsBounded)
{
    std::string text = "<!DOCTYPE a [<!ENTITY e0 \"0123456789\">";
    for (int i = 1; i < 10; ++i)
        text += "<!ENTITY e" + std::to_string(i) + " \"" + [&] {
            std::string refs;
            for (int k = 0; k < 10; ++k)
                refs += "&e" + std::to_string(i - 1) + ";";
            return refs;
        }() + "\">";
    text += "]><a>&e9;</a>";
    auto begin = std::chrono::steady_clock::now();
    XML_Archive doc;
    if (doc.ParseBuffer(text.data(), static_cast<uint32_t>(text.size()), 1)) {
        size_t length = strlen(doc.GetRootItem()->GetNodeText());
        EXPECT_LE(length, size_t(16) << 20);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
}

TEST(XmlArchiveTest, SavesIntoAnArchive)
{
    const std::string text = "<a><b>x</b></a>";
    XML_Archive doc;
    ASSERT_TRUE(doc.ParseBuffer(text.data(), static_cast<uint32_t>(text.size()), 1));
    XMemoArchive out;
    ASSERT_TRUE(doc.SaveArchive(&out));
    std::string bytes(out.GetMaxSize(), '\0');
    out.InitReader();
    ASSERT_TRUE(out.Read(bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(text, bytes);
    EXPECT_FALSE(doc.SaveArchive(nullptr));
}

} // namespace
