#include "platform/devkit/audio.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>

#include "platform/devkit/folders.h"
#include "platform/devkit/native_path.h"

extern char **environ;

namespace {

int StartPlayer(const char *player, const std::string &file)
{
    std::string program = player;
    std::string argument = file;
    char *argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return 0;
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 1;
}

} // namespace

int PlayAudioFile(const char16_t *path)
{
    if (!XFileExists(path))
        return 0;
    std::string file = devkit::ToNativePath(path);
    if (const char *chosen = std::getenv("ZEP_AUDIO_PLAYER"); chosen && *chosen)
        return StartPlayer(chosen, file);
    constexpr const char *kPlayers[] = {"paplay", "aplay"};
    for (const char *player : kPlayers)
        if (StartPlayer(player, file))
            return 1;
    return 0;
}
