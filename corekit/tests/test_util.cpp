#include "test_util.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>

#include "corekit/encoding/encoding.h"

std::string Utf8Of(const std::u16string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TempFolder::TempFolder()
{
    std::string pattern = testing::TempDir();
    if (pattern.empty() || pattern.back() != '/')
        pattern += '/';
    pattern += "zep_corekit_XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr)
        m_path = pattern;
    EXPECT_FALSE(m_path.empty()) << "mkdtemp failed under " << testing::TempDir();
}

TempFolder::~TempFolder()
{
    if (m_path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

ZoneSetting::ZoneSetting(const char *tz)
{
    if (const char *old = std::getenv("TZ")) {
        m_old = old;
        m_had = true;
    }
    setenv("TZ", tz, 1);
    tzset();
}

ZoneSetting::~ZoneSetting()
{
    if (m_had)
        setenv("TZ", m_old.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

AnsiCodePageSetting::AnsiCodePageSetting() : m_name(GetAnsiCodePage()) {}

AnsiCodePageSetting::~AnsiCodePageSetting()
{
    EXPECT_EQ(1, SetAnsiCodePage(m_name.c_str())) << "could not restore " << m_name;
}
