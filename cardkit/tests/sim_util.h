#pragma once
// Runs the reader simulator for a test and points the control at it.
#include <string>
#include <vector>

#include "cardkit/card_config.h"

namespace cardtest {

// A fresh folder for one test under $TMPDIR (else /tmp), made by mkdtemp and
// removed with everything in it at the end.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

// The simulator process: started with `args` plus --log and --ready, stopped
// by the destructor.
class Simulator
{
public:
    Simulator(const std::string &folder, std::vector<std::string> args);
    ~Simulator();
    bool running() const { return m_pid > 0; }
    // Sends SIGTERM and waits: the exit status, or -1 when it was not running.
    int Stop();
    std::string Log() const;
    // Waits up to `ms` for `text` to appear in the log.
    bool WaitForLog(const std::string &text, int ms) const;

private:
    int m_pid = -1;
    std::string m_log;
};

// Control settings for the devices of `folder` with short waits:
// serial COMn -> folder/ttyS{n-1}, USB k -> folder/usb{k}, HID under folder/hid.
cardkit::CardConfig TestConfig(const std::string &folder);

// Output of a shell command.
std::string Run(const std::string &command);

// True when this process has `path` (resolved) open.
bool ProcessHasOpen(const std::string &path);

} // namespace cardtest
