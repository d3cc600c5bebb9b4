// Files, folders and paths, through UTF-16 names with either separator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/devkit/folders.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/xfile.h"

namespace fs = std::filesystem;

namespace {

class FileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = zeptest::TestFolder().Path();
        ASSERT_FALSE(m_dir.empty());
    }

    // The folder in UTF-16 with Windows separators, to prove both are accepted.
    std::u16string Wide(const std::string &name = "") const
    {
        std::string text = (m_dir / name).string();
        for (char &c : text)
            if (c == '/')
                c = '\\';
        return devkit::Utf8ToUtf16(text.data(), text.size());
    }

    fs::path m_dir;
};

TEST(NativePathTest, ConvertsTextAndSeparators)
{
    EXPECT_EQ("a/b/c.txt", devkit::ToNativePath(u"a\\b/c.txt"));
    EXPECT_EQ("\xE5\xAE\x8B\xE4\xBD\x93/\xF0\x9F\x98\x80", devkit::ToNativePath(u"宋体\\😀"));
    EXPECT_EQ("\xEF\xBF\xBD"
              "x",
              devkit::Utf16ToUtf8(u"\xD800x"));
    EXPECT_EQ(u"宋😀", devkit::Utf8ToUtf16("\xE5\xAE\x8B\xF0\x9F\x98\x80", 7));
    EXPECT_EQ(u"\xFFFD\xFFFD", devkit::Utf8ToUtf16("\xC0\xAF", 2));   // overlong '/'
    EXPECT_EQ(u"a\xFFFD\xFFFD", devkit::Utf8ToUtf16("a\xE5\xAE", 3)); // cut sequence
    EXPECT_EQ("", devkit::ToNativePath(nullptr));
}

TEST_F(FileTest, WritesReadsAndSizes)
{
    std::u16string path = Wide("data.bin");
    XFile file;
    ASSERT_TRUE(file.Open(path.c_str(), XFile::kWrite | XFile::kCreate | XFile::kTruncate));
    EXPECT_EQ(5u, file.Write("hello", 5));
    EXPECT_EQ(5, file.GetSize());
    file.Close();
    EXPECT_EQ(-1, file.GetSize());

    ASSERT_TRUE(file.Open(path.c_str()));
    char buf[16] = {};
    EXPECT_EQ(5u, file.Read(buf, sizeof(buf)));
    EXPECT_STREQ("hello", buf);
    EXPECT_EQ(0u, file.Read(buf, 1));  // at the end
    EXPECT_EQ(0u, file.Write("x", 1)); // opened for reading only
    EXPECT_EQ(1, file.Seek(1));
    EXPECT_EQ(2u, file.Read(buf, 2));
    EXPECT_EQ(0, std::string(buf, 2).compare("el"));
    EXPECT_EQ(5, GetFileSize(path.c_str()));
}

TEST_F(FileTest, AppendsAndCuts)
{
    std::u16string path = Wide("log.txt");
    XFile file;
    ASSERT_TRUE(file.Open(path.c_str(), XFile::kWrite | XFile::kCreate | XFile::kAppend));
    file.Write("ab", 2);
    ASSERT_TRUE(file.Open(path.c_str(), XFile::kWrite | XFile::kAppend));
    file.Write("cd", 2);
    EXPECT_EQ(4, file.GetSize());
    EXPECT_TRUE(file.SetSize(1));
    EXPECT_TRUE(file.Flush());
    EXPECT_EQ(1, GetFileSize(path.c_str()));
}

TEST_F(FileTest, RefusesMissingFilesAndFolders)
{
    XFile file;
    EXPECT_FALSE(file.Open(Wide("missing").c_str()));
    EXPECT_FALSE(file.Open(Wide().c_str())); // a folder
    EXPECT_FALSE(file.Open(nullptr));
    EXPECT_FALSE(file.Open(u""));
    EXPECT_EQ(0u, file.Read(nullptr, 4));
    EXPECT_EQ(0, GetFileSize(Wide("missing").c_str()));
    EXPECT_EQ(0, GetFileSize(Wide().c_str()));
}

TEST_F(FileTest, CreatesFolders)
{
    std::u16string root = Wide();
    EXPECT_TRUE(XCreateFolder(root.c_str(), u"Temp", 0));
    EXPECT_TRUE(fs::is_directory(m_dir / "Temp"));
    EXPECT_TRUE(XCreateFolder(root.c_str(), u"Temp", 0)); // already there
    EXPECT_FALSE(XCreateFolder(root.c_str(), u"a\\b\\c", 0));
    EXPECT_TRUE(XCreateFolder(root.c_str(), u"a\\b\\c", kCreateParents));
    EXPECT_TRUE(XFolderExists(Wide("a/b/c").c_str()));
    EXPECT_FALSE(XCreateFolder(nullptr, u"x", 0));

    std::ofstream(m_dir / "plain") << "x";
    EXPECT_FALSE(XCreateFolder(root.c_str(), u"plain", 0)); // a file is in the way
    EXPECT_TRUE(XFileExists(Wide("plain").c_str()));
    EXPECT_FALSE(XFileExists(Wide("a").c_str()));
    EXPECT_TRUE(XDeleteFile(Wide("plain").c_str()));
    EXPECT_FALSE(XFileExists(Wide("plain").c_str()));
}

TEST(PathTest, FileNamePart)
{
    struct Case
    {
        const char16_t *path;
        const char16_t *name;
    };
    constexpr Case kCases[] = {
        {u"C:\\dir\\photo.jpg", u"photo.jpg"},
        {u"/tmp/a/b.txt", u"b.txt"},
        {u"mixed\\dir/x", u"x"},
        {u"bare", u"bare"},
        {u"dir/", u""},
    };
    for (const Case &c : kCases)
        EXPECT_EQ(std::u16string(c.name), GetFileName(c.path));
    EXPECT_EQ(nullptr, GetFileName(nullptr));
}

TEST(PathTest, JoinsFolderAndName)
{
    char16_t buf[32];
    EXPECT_EQ(12u, MakeFullPath(u"/work", u"Temp/x", buf, 32));
    EXPECT_EQ(std::u16string(u"/work/Temp/x"), buf);
    EXPECT_EQ(11u, MakeFullPath(u"/work\\", u"a.xml", buf, 32));
    EXPECT_EQ(std::u16string(u"/work\\a.xml"), buf);
    EXPECT_EQ(6u, MakeFullPath(u"/work", u"/abs/x", buf, 32));
    EXPECT_EQ(0u, MakeFullPath(u"/work", u"a.xml", buf, 5)); // does not fit
    EXPECT_EQ(0, buf[0]);
}

TEST(PathTest, ProgramAndWorkFolders)
{
    char16_t program[512];
    ASSERT_GT(GetProgramFolder(program, 512), 0u);
    EXPECT_TRUE(XFolderExists(program));
    char16_t file[512];
    ASSERT_GT(GetProgramFile(file, 512), 0u);
    EXPECT_EQ(std::u16string(u"devkit_file_test"), GetFileName(file));

    char16_t work[512];
    EXPECT_GT(GetWorkFolder(work, 512), 0u);
    EXPECT_EQ(std::u16string(program), work); // the program folder until one is set

    EXPECT_TRUE(SetWorkFolder(u"/srv/zep/"));
    EXPECT_EQ(8u, GetWorkFolder(work, 512));
    EXPECT_EQ(std::u16string(u"/srv/zep"), work);
    EXPECT_GT(GetWorkFile(u"PatchRunner.xxx", work, 512), 0u);
    EXPECT_EQ(std::u16string(u"/srv/zep/PatchRunner.xxx"), work);
    EXPECT_FALSE(SetWorkFolder(std::u16string(321, u'a').c_str()));
    EXPECT_TRUE(SetWorkFolder(nullptr));
    GetWorkFolder(work, 512);
    EXPECT_EQ(std::u16string(program), work);
}

} // namespace
