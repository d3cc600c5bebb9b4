// Session state: work folder, profile values with most-recent lists, application
// fonts and the main frame.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/tests/work_folder_scope.h"
#include "platform/dockit/xml_archive.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/session/session.h"

namespace {

// The running test's own folder, with the names a test asks of it.
class TempFolder
{
public:
    TempFolder() : m_path(zeptest::TestFolder().Path().string()) {}
    std::string Native(const char *name) const { return m_path + "/" + name; }
    std::u16string Wide(const char *name) const
    {
        std::string native = Native(name);
        return devkit::Utf8ToUtf16(native.data(), native.size());
    }
    std::u16string Folder() const { return devkit::Utf8ToUtf16(m_path.data(), m_path.size()); }

private:
    std::string m_path;
    WorkFolderScope m_work; // the tests point the work folder here
};

std::u16string Entry(const char16_t *key, int index)
{
    char16_t buf[64];
    if (Sys_GetRegValue(key, index, buf, 64) < 0)
        return u"<none>";
    return buf;
}

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(X11Session, WorkFolderResolvesNames)
{
    TempFolder temp;
    std::u16string folder = temp.Folder();
    ASSERT_TRUE(Sys_SetWorkFolder(folder.c_str()));
    char16_t buf[400];
    EXPECT_EQ(folder.size() + 11, Sys_GetFullFile(u"Temp\\a.xml", buf, 400));
    EXPECT_EQ(folder + u"/Temp\\a.xml", std::u16string(buf));
    EXPECT_EQ(7u, Sys_GetFullFile(u"/x/y.db", buf, 400)); // absolute names stay
    EXPECT_EQ(0u, Sys_GetFullFile(u"name", buf, 4));      // does not fit
    EXPECT_EQ(u"", std::u16string(buf));

    std::u16string tooLong(kWorkFolderMax + 1, u'a');
    EXPECT_FALSE(Sys_SetWorkFolder(tooLong.c_str()));
    EXPECT_FALSE(Sys_SetWorkFolder(u""));
    EXPECT_FALSE(Sys_SetWorkFolder(nullptr));
    Sys_GetFullFile(u"b", buf, 400);
    EXPECT_EQ(folder + u"/b", std::u16string(buf)); // refused paths change nothing
}

TEST(X11Session, RecentListKeepsNewestFirstWithoutDuplicates)
{
    TempFolder temp;
    ASSERT_TRUE(Sys_InitProfileDoc(temp.Wide("p.dbx").c_str()));
    const char16_t *key = u"/Profile/MenuFile";
    for (const char16_t *path : {u"/a", u"/b", u"/c", u"/d", u"/e", u"/f"})
        ASSERT_TRUE(Sys_SetRegValue(key, path, 5));
    EXPECT_EQ(5, Sys_GetRegCount(key));
    EXPECT_EQ(u"/f", Entry(key, 0));
    EXPECT_EQ(u"/b", Entry(key, 4));             // the oldest, /a, fell off
    ASSERT_TRUE(Sys_SetRegValue(key, u"/C", 5)); // equal ignoring case: moves up
    EXPECT_EQ(5, Sys_GetRegCount(key));
    EXPECT_EQ(u"/C", Entry(key, 0));
    EXPECT_EQ(u"/f", Entry(key, 1));
    ASSERT_TRUE(Sys_SetRegValue(key, u"/g", 9)); // counts above 5 are 5
    EXPECT_EQ(5, Sys_GetRegCount(key));
    ASSERT_TRUE(Sys_SetRegValue(key, u"/h", 2)); // a smaller count trims
    EXPECT_EQ(2, Sys_GetRegCount(key));
    EXPECT_EQ(u"/g", Entry(key, 1));

    EXPECT_TRUE(Sys_DropRegValue(key, u"/G"));
    EXPECT_FALSE(Sys_DropRegValue(key, u"/missing"));
    EXPECT_EQ(1, Sys_GetRegCount(key));
    EXPECT_EQ(u"<none>", Entry(key, 1));
    EXPECT_EQ(-1, Sys_GetRegValue(key, -1, nullptr, 0));
}

TEST(X11Session, ProfileSurvivesReopenAndDropsKeys)
{
    TempFolder temp;
    std::u16string path = temp.Wide("p.dbx");
    ASSERT_TRUE(Sys_InitProfileDoc(path.c_str()));
    ASSERT_TRUE(Sys_SetRegValue(u"/Profile/Size", u"640", 0));
    ASSERT_TRUE(Sys_SetRegValue(u"/Profile/Size", u"800", 0)); // replaces
    ASSERT_TRUE(Sys_SetRegValue(u"/Profile/Name", u"中文 <&\"> \t", 0));
    ASSERT_TRUE(Sys_SetRegValue(u"/Profile/Recent", u"/one", 5));
    ASSERT_TRUE(Sys_SetRegValue(u"/Profile/Recent", u"/two", 5));

    ASSERT_TRUE(Sys_InitProfileDoc(path.c_str()));
    EXPECT_EQ(1, Sys_GetRegCount(u"/Profile/Size"));
    EXPECT_EQ(u"800", Entry(u"/Profile/Size", 0));
    EXPECT_EQ(u"中文 <&\"> \t", Entry(u"/Profile/Name", 0));
    EXPECT_EQ(u"/two", Entry(u"/Profile/Recent", 0));
    EXPECT_EQ(u"/one", Entry(u"/Profile/Recent", 1));

    char16_t small[3];
    EXPECT_EQ(4, Sys_GetRegValue(u"/Profile/Recent", 0, small, 3)); // full length, cut copy
    EXPECT_EQ(u"/t", std::u16string(small));

    EXPECT_TRUE(Sys_DropRegValue(u"/Profile/Recent", nullptr));
    EXPECT_FALSE(Sys_DropRegValue(u"/Profile/Recent", nullptr));
    ASSERT_TRUE(Sys_InitProfileDoc(path.c_str()));
    EXPECT_EQ(0, Sys_GetRegCount(u"/Profile/Recent"));
    EXPECT_EQ(u"800", Entry(u"/Profile/Size", 0));
}

TEST(X11Session, ForeignOrBrokenProfileStartsEmpty)
{
    TempFolder temp;
    const char *cases[] = {"<Profile><Entry Key=\"/k\" Value=\"v\"", // cut short
                           "<Other><Entry Key=\"/k\" Value=\"v\"/></Other>",
                           "<Profile><Entry Value=\"v\"/><Thing Key=\"/k\" Value=\"v\"/></Profile>",
                           "\x89PNG\r\n\x1a\n"};
    for (const char *text : cases) {
        std::ofstream(temp.Native("p.dbx"), std::ios::binary) << text;
        ASSERT_TRUE(Sys_InitProfileDoc(temp.Wide("p.dbx").c_str()));
        EXPECT_EQ(0, Sys_GetRegCount(u"/k")) << text;
        EXPECT_EQ(-1, Sys_GetRegValue(u"/k", 0, nullptr, 0)) << text;
    }
    // The first change writes a sound document and keeps the unreadable one aside.
    ASSERT_TRUE(Sys_SetRegValue(u"/k", u"w", 0));
    EXPECT_NE(std::string::npos, ReadAll(temp.Native("p.dbx")).find("<Profile>"));
    EXPECT_EQ(cases[3], ReadAll(temp.Native("p.dbx.bad")));
    ASSERT_TRUE(Sys_SetRegValue(u"/k", u"x", 0)); // only once
    EXPECT_EQ(cases[3], ReadAll(temp.Native("p.dbx.bad")));
    EXPECT_FALSE(Sys_InitProfileDoc(nullptr));
    EXPECT_FALSE(Sys_SetRegValue(nullptr, u"v", 0));
    EXPECT_FALSE(Sys_SetRegValue(u"/k", nullptr, 0));
    EXPECT_FALSE(Sys_SetRegValue(u"/k", u"v", -1));
}

TEST(X11Session, ProfileThatCannotBeWrittenReportsFailure)
{
    ASSERT_TRUE(Sys_InitProfileDoc(u"/proc/no-such-folder/p.dbx"));
    EXPECT_FALSE(Sys_SetRegValue(u"/k", u"v", 0));
}

bool FamilyKnown(const char *family)
{
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family));
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet *fonts = FcFontList(nullptr, pattern, objects);
    bool known = fonts != nullptr && fonts->nfont > 0;
    FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return known;
}

TEST(X11Session, FontFilesFromConfigurationAreRegistered)
{
    // The pinned configuration of the tests leaves DejaVu out.
    ASSERT_FALSE(FamilyKnown("DejaVu Sans"));
    TempFolder temp;
    ASSERT_EQ(0, std::system(("cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf '" +
                              temp.Native("extra.ttf") + "'")
                                 .c_str()));
    ASSERT_TRUE(Sys_SetWorkFolder(temp.Folder().c_str()));
    const char config[] = "<Configure><FontFile><Font File=\"extra.ttf\"/>"
                          "<Font File=\"missing.ttf\"/><Font/></FontFile></Configure>";
    XML_Archive archive;
    ASSERT_TRUE(archive.ParseBuffer(config, sizeof config - 1, XML_Archive::kReadOnly));
    EXPECT_EQ(1, SetupFontFile(&archive));
    EXPECT_TRUE(FamilyKnown("DejaVu Sans"));
    EXPECT_FALSE(SetupFontFile(temp.Wide("missing.ttf").c_str()));
    EXPECT_FALSE(SetupFontFile(static_cast<const char16_t *>(nullptr)));
    EXPECT_EQ(0, SetupFontFile(static_cast<XML_Archive *>(nullptr)));
}

// A PNG of a side x side square.
std::string SquarePng(int side)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    std::string png;
    cairo_surface_write_to_png_stream(
        surface,
        [](void *closure, const unsigned char *data, unsigned int length) {
            static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data),
                                                        length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(surface);
    return png;
}

void PutLe16(std::string *out, int value)
{
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutLe32(std::string *out, uint32_t value)
{
    PutLe16(out, static_cast<int>(value & 0xFFFF));
    PutLe16(out, static_cast<int>(value >> 16));
}

struct IconEntry
{
    int side;
    int hotX; // planes of an icon
    int hotY; // bit count of an icon
};

// An icon (type 1) or cursor (type 2) file of PNG entries.
std::string IconFile(int type, std::initializer_list<IconEntry> entries)
{
    std::string out;
    PutLe16(&out, 0);
    PutLe16(&out, type);
    PutLe16(&out, static_cast<int>(entries.size()));
    std::string images;
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const IconEntry &entry : entries) {
        std::string png = SquarePng(entry.side);
        out.push_back(static_cast<char>(entry.side));
        out.push_back(static_cast<char>(entry.side));
        out.push_back(0);
        out.push_back(0);
        PutLe16(&out, entry.hotX);
        PutLe16(&out, entry.hotY);
        PutLe32(&out, static_cast<uint32_t>(png.size()));
        PutLe32(&out, offset + static_cast<uint32_t>(images.size()));
        images += png;
    }
    return out + images;
}

TEST(X11Session, IconsAndCursorsFromBytes)
{
    struct Case
    {
        int kind;
        std::string bytes;
        int width;
        int hotX;
        int hotY;
    } const cases[] = {
        {kResourceCursor, IconFile(2, {{16, 3, 5}, {32, 9, 9}}), 16, 3, 5},
        {kResourceCursor, IconFile(2, {{16, 40, 40}}), 16, 15, 15}, // kept inside
        {kResourceIcon, IconFile(1, {{16, 1, 32}, {32, 1, 32}, {24, 1, 32}}), 32, 0, 0},
        {kResourceCursor, SquarePng(8), 8, 0, 0},
    };
    for (const Case &c : cases) {
        XSysResource *resource =
            LoadResource(c.kind, c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
        ASSERT_NE(nullptr, resource) << c.width;
        EXPECT_EQ(c.kind, resource->kind);
        EXPECT_EQ(c.width, resource->image->GetWidth());
        EXPECT_EQ(c.hotX, resource->hotX);
        EXPECT_EQ(c.hotY, resource->hotY);
        ReleaseResource(resource);
    }
    std::string cursor = IconFile(2, {{16, 3, 5}});
    EXPECT_EQ(nullptr, LoadResource(7, cursor.data(), static_cast<uint32_t>(cursor.size())));
    EXPECT_EQ(nullptr, LoadResource(kResourceIcon, cursor.data(), 10)); // cut short
    EXPECT_EQ(nullptr, LoadResource(kResourceIcon, "not an icon", 11));
    EXPECT_EQ(nullptr, LoadResource(kResourceIcon, nullptr, 0));
    ReleaseResource(nullptr);
}

} // namespace
