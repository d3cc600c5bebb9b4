#pragma once
// A temporary folder of its own for a test or a fuzz target: made with mkdtemp under the
// system's temporary folder (TMPDIR is honoured), so that programs running side by side
// never share a file name, and removed with everything in it when the object goes.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class TempFolder
{
public:
    // prefix: the start of the folder's name, to tell whose folder a stray one was.
    explicit TempFolder(const std::string &prefix = "zep")
    {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error)
            base = "/tmp";
        std::string pattern = (base / (prefix + "_XXXXXX")).string();
        if (mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // False when the folder could not be made; Path() is then empty.
    bool IsMade() const { return !m_path.empty(); }
    const std::filesystem::path &Path() const { return m_path; }
    // A name inside the folder.
    std::string File(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};
