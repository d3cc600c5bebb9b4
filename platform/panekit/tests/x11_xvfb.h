#pragma once
// A private Xvfb server for one test program: a display number free on this machine
// (derived from the process id), started with an argument vector, waited for until its
// socket answers, and ended by its process id.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

extern char **environ;

class XvfbServer
{
public:
    XvfbServer() = default;
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Starts the server and points DISPLAY at it. False when it did not come up within
    // the time given (the machine may be loaded).
    bool Start(int seconds = 60)
    {
        // Another program may take the same free number at the same moment: try the next.
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (StartOnce(seconds, attempt))
                return true;
        }
        return false;
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
    }

    int GetNumber() const { return m_number; }

    // Runs a shell command line of the test's own making; returns its exit status.
    static int Run(const std::string &command)
    {
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Standard output of a command line of the test's own making.
    static std::string Output(const std::string &command)
    {
        std::string out;
        FILE *pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return out;
        std::array<char, 4096> buffer;
        size_t got = 0;
        while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), got);
        pclose(pipe);
        return out;
    }

private:
    bool StartOnce(int seconds, int skip)
    {
        m_number = FreeDisplay(skip);
        if (m_number < 0)
            return false;
        std::string display = ":" + std::to_string(m_number);
        const char *argv[] = {"Xvfb",      display.c_str(), "-screen",  "0",    "1024x768x24",
                              "-nolisten", "tcp",           "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        int failed = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr,
                                  const_cast<char *const *>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            m_pid = 0;
            return false;
        }
        setenv("DISPLAY", display.c_str(), 1);
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(m_number);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < until) {
            struct stat info;
            if (stat(socket.c_str(), &info) == 0 && Run("xdpyinfo >/dev/null 2>&1") == 0)
                return true;
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = 0; // it ended: the number was taken after all
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        Stop();
        return false;
    }

    static int FreeDisplay(int skip)
    {
        int start = 200 + static_cast<int>((getpid() + skip * 7) % 600);
        for (int i = 0; i < 600; ++i) {
            int number = 200 + (start - 200 + i) % 600;
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (access(lock.c_str(), F_OK) != 0 && access(socket.c_str(), F_OK) != 0)
                return number;
        }
        return -1;
    }

    pid_t m_pid = 0;
    int m_number = -1;
};
