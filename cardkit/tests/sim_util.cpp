#include "sim_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace cardtest {

TempFolder::TempFolder()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/cardkit-test-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr)
        m_path = pattern;
    else
        ADD_FAILURE() << "cannot make a folder like " << pattern;
}

TempFolder::~TempFolder()
{
    if (!m_path.empty())
        std::system(("rm -rf '" + m_path + "'").c_str());
}

Simulator::Simulator(const std::string &folder, std::vector<std::string> args)
{
    m_log = folder + "/sim.log";
    const std::string ready =
        folder + "/sim.ready." + std::to_string(::getpid()) + std::to_string(std::rand());
    args.insert(args.begin(), ZEP_BINARY_DIR "/tools/cardsim/cardsim");
    args.insert(args.end(), {"--log", m_log, "--ready", ready});
    std::vector<char *> argv;
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return;
    m_pid = pid;
    for (int i = 0; i < 500; ++i) {
        if (::access(ready.c_str(), F_OK) == 0)
            return;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Simulator::~Simulator()
{
    Stop();
}

int Simulator::Stop()
{
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Simulator::Log() const
{
    std::ifstream in(m_log);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Simulator::WaitForLog(const std::string &text, int ms) const
{
    for (int waited = 0; waited <= ms; waited += 10) {
        if (Log().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

cardkit::CardConfig TestConfig(const std::string &folder)
{
    cardkit::CardConfig config;
    config.serial_pattern = folder + "/ttyS{n-1}";
    config.usb_pattern = folder + "/usb{k}";
    config.hid_sysfs_root = folder + "/hid/sys";
    config.hid_dev_dir = folder + "/hid/dev";
    config.temp_dir = folder;
    config.registry_path = folder + "/registry.txt";
    config.photodec_path = ZEP_BINARY_DIR "/cardkit/libcardkit_photodec.so";
    cardkit::CardTiming &t = config.timing;
    t.poll_ms = 5;
    t.header_deadline_ms = 1500;
    t.body_deadline_ms = 3000;
    t.pipe_pause_ms = 50;
    t.pipe_tries = 30;
    t.hid_write_tries = 11;
    t.hid_write_pause_ms = 1;
    t.hid_answer_ms = 3000;
    t.tone_ms = 1;
    t.hid_signal_ms = 1;
    return config;
}

std::string Run(const std::string &command)
{
    std::string out;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.append(chunk, n);
    ::pclose(pipe);
    return out;
}

bool ProcessHasOpen(const std::string &path)
{
    char target[PATH_MAX];
    if (::realpath(path.c_str(), target) == nullptr)
        return false;
    DIR *dir = ::opendir("/proc/self/fd");
    bool found = false;
    while (const dirent *entry = dir ? ::readdir(dir) : nullptr) {
        char link[PATH_MAX];
        const std::string fd = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = ::readlink(fd.c_str(), link, sizeof link - 1);
        if (n > 0 && std::string(link, size_t(n)) == target)
            found = true;
    }
    if (dir)
        ::closedir(dir);
    return found;
}

} // namespace cardtest
