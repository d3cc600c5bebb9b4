#include "cardkit/card_server.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <vector>

#include "cardkit/card_config.h"
#include "cardkit/photo_files.h"
#include "cardkit/text_util.h"

using namespace cardkit;

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kFail = int32_t(0x80004005);

std::string LibraryPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&DllRegisterServer), &info) == 0 ||
        info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// The progid field of a record.
std::string ProgIdOf(const std::string &line)
{
    return line.substr(0, line.find('\t'));
}

// Writes the records to a temporary file beside the registry and renames it,
// so a reader never sees half a file.
bool WriteLines(const std::string &path, const std::vector<std::string> &lines)
{
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const auto &line : lines)
            out << line << '\n';
        if (!out.flush())
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::vector<std::string> OtherRecords(const std::string &path)
{
    std::vector<std::string> kept;
    for (auto &line : ReadLines(path))
        if (!EqualsIgnoreCase(FromUtf8(ProgIdOf(line)), kCardControlProgId))
            kept.push_back(line);
    return kept;
}

} // namespace

CCardControlCtrl *CreateCardControl(std::u16string_view progid)
{
    if (!EqualsIgnoreCase(progid, kCardControlProgId))
        return nullptr;
    return new CCardControlCtrl();
}

std::string CardRegistryPath()
{
    const std::string configured = GetCardConfig().registry_path;
    if (!configured.empty())
        return configured;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return JoinPath(xdg, "zep/inproc-servers");
    const char *home = std::getenv("HOME");
    return JoinPath(home && *home ? home : "/tmp", ".config/zep/inproc-servers");
}

std::optional<std::string> FindRegisteredServer(std::u16string_view progid)
{
    for (const auto &line : ReadLines(CardRegistryPath())) {
        if (!EqualsIgnoreCase(FromUtf8(ProgIdOf(line)), progid))
            continue;
        const size_t last = line.find_last_of('\t');
        if (last == std::string::npos)
            return std::nullopt;
        return line.substr(last + 1);
    }
    return std::nullopt;
}

int32_t DllRegisterServer()
{
    const std::string path = CardRegistryPath();
    const std::string library = LibraryPath();
    if (library.empty())
        return kFail;
    std::vector<std::string> lines = OtherRecords(path);
    lines.push_back(ToUtf8(kCardControlProgId) + "\t" + std::string(kCardControlClsid) + "\t" +
                    library);
    return WriteLines(path, lines) ? kOk : kFail;
}

int32_t DllUnregisterServer()
{
    const std::string path = CardRegistryPath();
    const std::vector<std::string> all = ReadLines(path);
    const std::vector<std::string> kept = OtherRecords(path);
    if (kept.size() == all.size())
        return kOk; // nothing of ours to remove
    return WriteLines(path, kept) ? kOk : kFail;
}

int32_t DllCanUnloadNow()
{
    return CCardControlCtrl::InstanceCount() == 0 ? 0 : 1;
}
