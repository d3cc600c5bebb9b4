#include "platform/devkit/folders.h"

#include <climits>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/devkit/native_path.h"

namespace {

constexpr size_t kWorkFolderCapacity = 320;

std::mutex g_workLock;
std::u16string g_workFolder; // empty: the program folder

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsAbsolute(const char16_t *name)
{
    return IsSeparator(name[0]) || (name[0] && name[1] == u':');
}

std::u16string ProgramFile()
{
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return {};
    return devkit::Utf8ToUtf16(path, static_cast<size_t>(n));
}

std::u16string ProgramFolder()
{
    std::u16string file = ProgramFile();
    size_t cut = file.find_last_of(u"/");
    return cut == std::u16string::npos ? std::u16string() : file.substr(0, cut ? cut : 1);
}

uint32_t CopyWhole(const std::u16string &text, char16_t *buf, uint32_t cap)
{
    if (!buf || cap == 0)
        return 0;
    if (text.size() >= cap) {
        buf[0] = 0;
        return 0;
    }
    return devkit::CopyToBuffer(text, buf, cap);
}

std::u16string Join(const char16_t *folder, const char16_t *name)
{
    if (!name || !*name)
        return folder ? folder : u"";
    if (IsAbsolute(name) || !folder || !*folder)
        return name;
    std::u16string full = folder;
    if (!IsSeparator(full.back()))
        full += u'/';
    return full + name;
}

} // namespace

int XCreateFolder(const char16_t *parent, const char16_t *name, uint32_t flags)
{
    if (!parent || !*parent)
        return 0;
    std::string path = devkit::ToNativePath(Join(parent, name).c_str());
    std::error_code ec;
    if (flags & kCreateParents)
        std::filesystem::create_directories(path, ec);
    else if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        return 0;
    return std::filesystem::is_directory(path, ec);
}

int XFileExists(const char16_t *path)
{
    struct stat st
    {
    };
    return path && ::stat(devkit::ToNativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int XFolderExists(const char16_t *path)
{
    struct stat st
    {
    };
    return path && ::stat(devkit::ToNativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int XDeleteFile(const char16_t *path)
{
    return path && ::unlink(devkit::ToNativePath(path).c_str()) == 0;
}

int64_t GetFileSize(const char16_t *path)
{
    struct stat st
    {
    };
    if (!path || ::stat(devkit::ToNativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return st.st_size;
}

const char16_t *GetFileName(const char16_t *path)
{
    if (!path)
        return nullptr;
    const char16_t *name = path;
    for (const char16_t *p = path; *p; ++p)
        if (IsSeparator(*p))
            name = p + 1;
    return name;
}

uint32_t MakeFullPath(const char16_t *folder, const char16_t *name, char16_t *buf, uint32_t cap)
{
    return CopyWhole(Join(folder, name), buf, cap);
}

uint32_t GetProgramFolder(char16_t *buf, uint32_t cap)
{
    return CopyWhole(ProgramFolder(), buf, cap);
}

uint32_t GetProgramFile(char16_t *buf, uint32_t cap)
{
    return CopyWhole(ProgramFile(), buf, cap);
}

int SetWorkFolder(const char16_t *path)
{
    std::u16string folder = path ? path : u"";
    if (folder.size() > kWorkFolderCapacity)
        return 0;
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    std::lock_guard<std::mutex> hold(g_workLock);
    g_workFolder = folder;
    return 1;
}

uint32_t GetWorkFolder(char16_t *buf, uint32_t cap)
{
    std::u16string folder;
    {
        std::lock_guard<std::mutex> hold(g_workLock);
        folder = g_workFolder;
    }
    return CopyWhole(folder.empty() ? ProgramFolder() : folder, buf, cap);
}

uint32_t GetWorkFile(const char16_t *name, char16_t *buf, uint32_t cap)
{
    char16_t folder[kWorkFolderCapacity + 1];
    if (!GetWorkFolder(folder, kWorkFolderCapacity + 1))
        return CopyWhole(name ? name : u"", buf, cap);
    return MakeFullPath(folder, name, buf, cap);
}

int SetCurrentFolder(const char16_t *path)
{
    return path && ::chdir(devkit::ToNativePath(path).c_str()) == 0;
}
