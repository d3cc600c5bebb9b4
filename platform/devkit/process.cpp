#include "platform/devkit/process.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "platform/devkit/native_path.h"

extern char **environ;

namespace devkit {

std::vector<std::string> SplitArguments(const char16_t *arguments)
{
    std::vector<std::string> list;
    if (!arguments)
        return list;
    std::u16string current;
    bool inWord = false;
    bool quoted = false;
    for (const char16_t *p = arguments; *p; ++p) {
        if (*p == u'\\' && p[1] == u'"') {
            current += u'"';
            inWord = true;
            ++p;
        } else if (*p == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && *p >= 1 && *p <= 32) {
            if (inWord)
                list.push_back(Utf16ToUtf8(current.data(), current.size()));
            current.clear();
            inWord = false;
        } else {
            current += *p;
            inWord = true;
        }
    }
    if (inWord)
        list.push_back(Utf16ToUtf8(current.data(), current.size()));
    return list;
}

} // namespace devkit

int SystemExecute(const char16_t *program, const char16_t *arguments)
{
    if (!program || !*program)
        return 0;
    std::string path = devkit::ToNativePath(program);
    std::vector<std::string> args = devkit::SplitArguments(arguments);
    std::vector<char *> argv;
    argv.push_back(path.data());
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return 0;
    // A detached reaper collects the exit status so no zombie stays behind, while
    // the caller goes on at once.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return static_cast<int>(pid);
}
