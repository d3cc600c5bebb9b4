// The file archive: the IArchive contract over a real file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "corekit/archive/xmemo_archive.h"
#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/devkit/xfile_archive.h"

namespace fs = std::filesystem;

namespace {

class FileArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = zeptest::TestFile("archive");
        std::string text = m_path.string();
        m_wide = devkit::Utf8ToUtf16(text.data(), text.size());
    }
    fs::path m_path;
    std::u16string m_wide;
};

TEST_F(FileArchiveTest, ReadsWithinTheFile)
{
    std::ofstream(m_path, std::ios::binary) << "0123456789";
    XFileArchive a;
    ASSERT_TRUE(a.Open(m_wide.c_str()));
    EXPECT_EQ(kFileArchiveClass, a.GetClass());
    EXPECT_EQ(10u, a.GetMaxSize());
    char buf[16] = {};
    EXPECT_TRUE(a.Read(buf, 4));
    EXPECT_EQ("0123", std::string(buf, 4));
    EXPECT_FALSE(a.Read(buf, 7)); // past the end: nothing read
    uint32_t pos = 0;
    EXPECT_TRUE(a.Tell(&pos));
    EXPECT_EQ(4u, pos);
    EXPECT_TRUE(a.Skip(2));
    EXPECT_FALSE(a.Skip(5));
    uint32_t n = 16;
    EXPECT_TRUE(a.ReadEx(buf, &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ("6789", std::string(buf, 4));
    EXPECT_TRUE(a.IsEndOfDoc());
    EXPECT_FALSE(a.Write("x", 1)); // opened for reading
    EXPECT_FALSE(a.Seek(11));
    EXPECT_TRUE(a.Seek(3));

    XMemoArchive copy;
    EXPECT_TRUE(a.ReadDoc(&copy, 7));
    EXPECT_EQ(7u, copy.GetMaxSize());
    EXPECT_FALSE(a.ReadDoc(&copy, 1));
    a.InitReader();
    EXPECT_TRUE(a.Read(buf, 1));
    EXPECT_EQ('0', buf[0]);
}

TEST_F(FileArchiveTest, WritesAndClears)
{
    XFileArchive *a = XFileArchive::Malloc();
    ASSERT_TRUE(a->Open(m_wide.c_str(), XFile::kRead | XFile::kWrite | XFile::kCreate));
    EXPECT_TRUE(a->Write("hello", 5));
    XMemoArchive source;
    source.Write(" world", 6);
    source.InitReader();
    EXPECT_TRUE(a->WriteDoc(&source, 6));
    EXPECT_EQ(11u, a->GetMaxSize());
    a->InitReader();
    char buf[11];
    EXPECT_TRUE(a->Read(buf, 11));
    EXPECT_EQ("hello world", std::string(buf, 11));
    a->ClearDoc();
    EXPECT_EQ(0u, a->GetMaxSize());
    EXPECT_EQ(2u, a->AddRef());
    EXPECT_EQ(1u, a->Release());
    EXPECT_EQ(0u, a->Release());
    EXPECT_EQ(0u, fs::file_size(m_path));

    XFileArchive missing;
    EXPECT_FALSE(missing.Open(u"/no/such/file"));
    uint32_t pos = 0;
    EXPECT_FALSE(missing.Tell(&pos));
    EXPECT_FALSE(missing.Read(buf, 1));
}

} // namespace
