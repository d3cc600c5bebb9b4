#include "cardkit/photo_files.h"

#include <cerrno>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "cardkit/bmp_reader.h"
#include "cardkit/card_config.h"
#include "cardkit/jpeg_writer.h"
#include "cardkit/owner_file.h"
#include "cardkit/text_util.h"

namespace cardkit {

namespace {

std::string TempRoot(const CardConfig &config)
{
    if (!config.temp_dir.empty())
        return config.temp_dir;
    const char *tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

// The plug-in ships beside this library.
std::string DefaultPhotodecPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&DefaultPhotodecPath), &info) == 0 ||
        info.dli_fname == nullptr)
        return "libcardkit_photodec.so";
    std::string path = info.dli_fname;
    const size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           "libcardkit_photodec.so";
}

bool FileExists(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

namespace {

struct PrivateFolder
{
    std::mutex mutex;
    std::string path;
    pid_t owner = 0; // the process that made it
    bool removed_at_exit = false;
};

PrivateFolder &Private()
{
    static PrivateFolder folder;
    return folder;
}

void RemoveAtExit()
{
    RemovePrivatePhotoFolder();
}

} // namespace

std::string PrivatePhotoFolder()
{
    PrivateFolder &folder = Private();
    std::lock_guard lock(folder.mutex);
    if (!folder.path.empty() && folder.owner == ::getpid() &&
        ::access(folder.path.c_str(), W_OK) == 0)
        return folder.path;
    std::string pattern = JoinPath(TempRoot(GetCardConfig()), "cardkit-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    folder.path = pattern;
    folder.owner = ::getpid();
    // Registered after the folder record exists, so it runs before the
    // record is destroyed.
    if (!folder.removed_at_exit)
        folder.removed_at_exit = std::atexit(RemoveAtExit) == 0;
    return folder.path;
}

bool IsPrivatePhotoFolder(const std::string &path)
{
    PrivateFolder &folder = Private();
    std::lock_guard lock(folder.mutex);
    return !path.empty() && path == folder.path && folder.owner == ::getpid();
}

void RemovePrivatePhotoFolder()
{
    PrivateFolder &folder = Private();
    std::lock_guard lock(folder.mutex);
    if (folder.path.empty() || folder.owner != ::getpid())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(folder.path, ignored);
    folder.path.clear();
}

void RemovePhotoFiles(const std::string &folder)
{
    if (folder.empty())
        return;
    for (const char *name : {"photo.wlt", "photo.bmp", "photo.jpg"})
        ::unlink(JoinPath(folder, name).c_str());
}

bool MakeFolders(const std::string &folder)
{
    if (folder.empty())
        return false;
    for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos)
            break;
    }
    struct stat st
    {
    };
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

WltResult WritePhotoWlt(const std::string &folder, const uint8_t *photo, size_t size)
{
    FILE *file = CreateOwnerOnlyFile(JoinPath(folder, "photo.wlt"));
    if (file == nullptr)
        return WltResult::CannotCreate;
    const bool whole = std::fwrite(photo, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    return whole && closed ? WltResult::Written : WltResult::ShortWrite;
}

bool RunPhotodec(const std::string &wlt_path, int mode)
{
    std::string library = GetCardConfig().photodec_path;
    if (library.empty())
        library = DefaultPhotodecPath();
    void *module = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        return false;
    using PhotodecFn = int (*)(const char *, int);
    auto decode = reinterpret_cast<PhotodecFn>(::dlsym(module, "Photodec"));
    const int result = decode != nullptr ? decode(wlt_path.c_str(), mode) : 0;
    ::dlclose(module);
    const size_t slash = wlt_path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : wlt_path.substr(0, slash);
    const std::string bmp = JoinPath(folder, "photo.bmp");
    // The decoder is not ours: whatever mode it gave the picture, it becomes 0600.
    return result == 1 && FileExists(bmp) && ::chmod(bmp.c_str(), 0600) == 0;
}

bool ReadWholeFile(const std::string &path, Bytes *out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool ConvertBmpToJpeg(const std::string &bmp_path, const std::string &jpg_path)
{
    Bytes bmp;
    RgbImage image;
    return ReadWholeFile(bmp_path, &bmp) && ReadBmp(bmp.data(), bmp.size(), &image) &&
           WriteJpeg(image, jpg_path);
}

bool CopyWholeFile(const std::string &from, const std::string &to, bool owner_only)
{
    Bytes bytes;
    if (!ReadWholeFile(from, &bytes))
        return false;
    FILE *file = owner_only ? CreateOwnerOnlyFile(to) : std::fopen(to.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && whole;
}

} // namespace cardkit
