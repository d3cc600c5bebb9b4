// The desktop's choosers through the zenity program, started with an argument vector
// (no shell), its answer read from its standard output. When the program cannot be
// started, the painted chooser takes over.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/devkit/native_path.h"
#include "platform/panekit/dialog/dialogs_impl.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/x11/x11_backend.h"

extern char **environ;

namespace {

// Largest answer read (bytes); a path or colour is far shorter.
constexpr size_t kAnswerMaxBytes = 64 * 1024;
// Exit code of RunProgram when the program could not be started.
constexpr int kNotStarted = -1;

std::string ProgramName()
{
    // Tests and packagers may name another program that speaks the same arguments.
    const char *name = std::getenv("ZEP_PANEKIT_ZENITY");
    return name != nullptr && *name != 0 ? name : "zenity";
}

std::string ReadAll(int fd)
{
    std::string out;
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (out.size() < kAnswerMaxBytes)
            out.append(buffer, static_cast<size_t>(got));
    }
    return out;
}

// Runs the program with args, its standard output into *out. Returns its exit code,
// kNotStarted when it could not be started, 128 + signal when a signal ended it.
int RunProgram(const std::vector<std::string> &args, std::string *out)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return kNotStarted;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed != 0) {
        close(pipeFds[0]);
        return kNotStarted;
    }
    *out = ReadAll(pipeFds[0]);
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : kNotStarted;
}

std::string Narrow(const std::u16string &text)
{
    return devkit::Utf16ToUtf8(text.data(), text.size());
}

void AddFileArguments(const XChooserRequest &request, std::vector<std::string> *args)
{
    args->push_back("--file-selection");
    args->push_back(request.kind == kChooseSaveFile ? "--title=保存文件" : "--title=打开文件");
    if (request.kind == kChooseSaveFile) {
        args->push_back("--save");
        args->push_back("--confirm-overwrite");
    }
    if (!request.current.empty())
        args->push_back("--filename=" + Narrow(request.current));
    for (const XFileKind &kind : ParseChooserFilter(request.filter)) {
        std::string filter = "--file-filter=" + Narrow(kind.description) + " |";
        for (const std::u16string &pattern : kind.patterns)
            filter += " " + Narrow(pattern);
        args->push_back(filter);
    }
}

void AddArguments(Panekit *owner, const XChooserRequest &request, std::vector<std::string> *args)
{
    args->push_back(ProgramName());
    if (request.kind == kChooseOpenFile || request.kind == kChooseSaveFile) {
        AddFileArguments(request, args);
    } else if (request.kind == kChooseColor) {
        args->push_back("--color-selection");
        args->push_back("--title=选择颜色");
        if (!request.current.empty())
            args->push_back("--color=" + Narrow(request.current));
    } else {
        // The desktop has no font chooser: the font is edited as its answer text.
        args->push_back("--entry");
        args->push_back("--title=选择字体");
        args->push_back("--text=字体;字号;样式;颜色");
        args->push_back("--entry-text=" + Narrow(request.current));
    }
    if (request.extra != nullptr)
        args->push_back("--extra-button=" + devkit::Utf16ToUtf8(request.extra));
    if (owner != nullptr && owner->GetNative() != nullptr) {
        auto *native = static_cast<XX11Window *>(owner->GetNative());
        args->push_back("--modal");
        args->push_back("--attach=" + std::to_string(native->GetWindow()));
    }
}

class XDesktopDialogs : public XDialogProvider
{
public:
    int Choose(Panekit *owner, const XChooserRequest &request, std::u16string *answer) override
    {
        std::vector<std::string> args;
        AddArguments(owner, request, &args);
        std::string out;
        int code = RunProgram(args, &out);
        if (code == kNotStarted)
            return RunPaintedChooser(owner, request, answer);
        if (!out.empty() && out.back() == '\n')
            out.pop_back();
        // The extra button ends the program with 1 and prints its label.
        if (code == 1 && request.extra != nullptr && out == devkit::Utf16ToUtf8(request.extra))
            return kChooserExtra;
        if (code != 0 || out.empty())
            return kChooserCancel;
        *answer = devkit::Utf8ToUtf16(out.data(), out.size());
        return kChooserDone;
    }
};

} // namespace

XDialogProvider *GetDesktopDialogs()
{
    static XDesktopDialogs dialogs;
    return &dialogs;
}
