#include "scoped_util.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "corekit/encoding/encoding.h"

TempFolder::TempFolder()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zep_datakit_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()))
        m_path = buffer.data();
}

TempFolder::~TempFolder()
{
    if (m_path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

AnsiCodePageScope::AnsiCodePageScope(const char *name) : m_previous(GetAnsiCodePage())
{
    m_ok = SetAnsiCodePage(name) != 0;
}

AnsiCodePageScope::~AnsiCodePageScope()
{
    SetAnsiCodePage(m_previous.c_str());
}
