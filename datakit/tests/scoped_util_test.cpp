// The helpers that keep tests from sharing files or leaking process-wide settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "corekit/encoding/encoding.h"
#include "scoped_util.h"

namespace {

namespace fs = std::filesystem;

// Sets TMPDIR for the scope (null: unset) and puts the old value back.
class TmpDirScope
{
public:
    explicit TmpDirScope(const char *value)
    {
        const char *old = std::getenv("TMPDIR");
        m_had = old != nullptr;
        m_old = old ? old : "";
        value ? setenv("TMPDIR", value, 1) : unsetenv("TMPDIR");
    }
    ~TmpDirScope() { m_had ? setenv("TMPDIR", m_old.c_str(), 1) : unsetenv("TMPDIR"); }

private:
    bool m_had;
    std::string m_old;
};

TEST(TempFolder, EachIsItsOwnAndGoesWithItsFiles)
{
    std::string kept;
    {
        TempFolder a, b;
        ASSERT_FALSE(a.Path().empty());
        ASSERT_NE(a.Path(), b.Path());
        EXPECT_TRUE(fs::is_directory(a.Path()));
        EXPECT_TRUE(fs::is_empty(a.Path()));
        fs::create_directory(a.Path() + "/sub");
        std::ofstream(a.Path() + "/sub/file") << "x";
        std::ofstream(a.Path() + "/file") << "x";
        kept = a.Path();
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(TempFolder, FollowsTmpDirAndNeverFallsBackToASharedFolder)
{
    TempFolder base;
    ASSERT_FALSE(base.Path().empty());
    {
        TmpDirScope inside(base.Path().c_str());
        TempFolder nested;
        EXPECT_EQ(base.Path(), fs::path(nested.Path()).parent_path().string());
    }
    TmpDirScope missing((base.Path() + "/no/such/folder").c_str());
    TempFolder none;
    EXPECT_EQ("", none.Path());
}

TEST(AnsiCodePageScope, RestoresTheCodePageBefore)
{
    const std::string before = GetAnsiCodePage();
    {
        AnsiCodePageScope outer("CP932");
        ASSERT_TRUE(outer.Ok());
        EXPECT_STREQ("CP932", GetAnsiCodePage());
        {
            AnsiCodePageScope inner("ISO-8859-7");
            ASSERT_TRUE(inner.Ok());
            EXPECT_STREQ("ISO-8859-7", GetAnsiCodePage());
        }
        EXPECT_STREQ("CP932", GetAnsiCodePage());
        AnsiCodePageScope unknown("NO-SUCH-CODE-PAGE");
        EXPECT_FALSE(unknown.Ok());
        EXPECT_STREQ("CP932", GetAnsiCodePage());
    }
    EXPECT_EQ(before, GetAnsiCodePage());
}

} // namespace
