#pragma once
// Helpers shared by corekit's tests: UTF-8 forms of wide fixtures, private temporary
// folders, and process-wide settings put back when a test ends, passed or failed.

#include <string>

// UTF-8 of s; a surrogate pair becomes one four-byte sequence. s must hold no lone
// surrogate.
std::string Utf8Of(const std::u16string &s);

// A folder of its own under the test temporary directory, made by mkdtemp and removed
// with its contents when the object goes. Tests running side by side never share a file.
class TempFolder
{
public:
    TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder();

    // The folder's path (empty when it could not be made; the test then fails).
    const std::string &GetPath() const { return m_path; }
    // Path of a file name inside the folder.
    std::string File(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// The process time zone (TZ) set to tz for the object's lifetime.
class ZoneSetting
{
public:
    explicit ZoneSetting(const char *tz);
    ZoneSetting(const ZoneSetting &) = delete;
    ZoneSetting &operator=(const ZoneSetting &) = delete;
    ~ZoneSetting();

private:
    std::string m_old;
    bool m_had = false;
};

// corekit's ANSI code page as it was at construction, restored at destruction.
class AnsiCodePageSetting
{
public:
    AnsiCodePageSetting();
    AnsiCodePageSetting(const AnsiCodePageSetting &) = delete;
    AnsiCodePageSetting &operator=(const AnsiCodePageSetting &) = delete;
    ~AnsiCodePageSetting();

private:
    std::string m_name;
};
