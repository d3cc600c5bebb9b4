#pragma once
// A private Xvfb server for one test program: started with an argument vector, on a
// display number the server picks itself and reports once it accepts connections
// (-displayfd), and ended by its process id. DISPLAY points at it while it runs.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/devkit/tests/scoped_env.h"

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
        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0)
            return false;
        const char *argv[] = {"Xvfb",        "-displayfd", "3",   "-screen",  "0",
                              "1024x768x24", "-nolisten",  "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, report[1], 3);
        int failed = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr,
                                  const_cast<char *const *>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(report[1]);
        if (failed != 0) {
            m_pid = 0;
            close(report[0]);
            return false;
        }
        m_number = ReadNumber(report[0], seconds);
        close(report[0]);
        if (m_number < 0) {
            Stop();
            return false;
        }
        m_display =
            std::make_unique<ScopedEnv>("DISPLAY", (":" + std::to_string(m_number)).c_str());
        return true;
    }

    void Stop()
    {
        m_display.reset();
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
    // The display number the server writes, one line, once it is ready; -1 when it
    // ended or stayed silent for the time given.
    static int ReadNumber(int fd, int seconds)
    {
        std::string line;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (line.find('\n') == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd wait = {fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0)
                return -1;
            char buf[16];
            ssize_t got = read(fd, buf, sizeof buf);
            if (got <= 0)
                return -1; // the server ended without a display
            line.append(buf, size_t(got));
        }
        return std::atoi(line.c_str());
    }

    pid_t m_pid = 0;
    int m_number = -1;
    std::unique_ptr<ScopedEnv> m_display;
};
