#pragma once
// The running test's own temporary folder: made on first use, named after the test, and
// removed when the test ends, whether the test program runs one test (as under CTest) or
// all of them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/devkit/tests/temp_folder.h"

namespace zeptest {

class TestFolderKeeper : public ::testing::EmptyTestEventListener
{
public:
    static TestFolderKeeper &Get()
    {
        // The listener list owns and deletes the keeper.
        static TestFolderKeeper *keeper = [] {
            auto *made = new TestFolderKeeper;
            ::testing::UnitTest::GetInstance()->listeners().Append(made);
            return made;
        }();
        return *keeper;
    }

    const TempFolder &Folder()
    {
        if (m_folder == nullptr) {
            const ::testing::TestInfo *test =
                ::testing::UnitTest::GetInstance()->current_test_info();
            std::string name = test != nullptr
                                   ? std::string(test->test_suite_name()) + "." + test->name()
                                   : std::string("zep");
            for (char &c : name)
                if (c == '/')
                    c = '_'; // parameterised names
            m_folder = std::make_unique<TempFolder>(name);
        }
        return *m_folder;
    }

    void OnTestEnd(const ::testing::TestInfo &) override { m_folder.reset(); }
    void OnTestProgramEnd(const ::testing::UnitTest &) override { m_folder.reset(); }

private:
    std::unique_ptr<TempFolder> m_folder;
};

// The folder of the running test; a test fails when it cannot be made.
inline const TempFolder &TestFolder()
{
    const TempFolder &folder = TestFolderKeeper::Get().Folder();
    EXPECT_TRUE(folder.IsMade()) << "no temporary folder";
    return folder;
}

// A file name in the running test's folder.
inline std::string TestFile(const std::string &name)
{
    return TestFolder().File(name);
}

} // namespace zeptest
