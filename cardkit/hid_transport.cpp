#include "cardkit/hid_transport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "cardkit/text_util.h"

namespace cardkit {

namespace {

// "HID_ID=0003:00000425:00008159" from a uevent file.
bool MatchesReader(const std::string &uevent_path)
{
    std::ifstream in(uevent_path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("HID_ID=", 0) != 0)
            continue;
        unsigned bus = 0, vendor = 0, product = 0;
        if (std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &vendor, &product) != 3)
            return false;
        return vendor == kHidVendor && product == kHidProduct;
    }
    return false;
}

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

std::optional<std::string> FindHidReader(const std::string &sysfs_root, const std::string &dev_dir)
{
    DIR *dir = ::opendir(sysfs_root.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent *entry = ::readdir(dir))
        if (std::string(entry->d_name).rfind("hidraw", 0) == 0)
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const auto &name : names)
        if (MatchesReader(JoinPath(JoinPath(sysfs_root, name), "device/uevent")))
            return JoinPath(dev_dir, name);
    return std::nullopt;
}

std::unique_ptr<HidTransport> HidTransport::Open(const CardConfig &config)
{
    std::unique_ptr<HidTransport> hid(new HidTransport(config));
    if (!hid->Attach())
        return nullptr;
    return hid;
}

HidTransport::~HidTransport()
{
    Forget();
}

bool HidTransport::Attach()
{
    const auto node = FindHidReader(m_config.hid_sysfs_root, m_config.hid_dev_dir);
    if (!node)
        return false;
    m_fd = ::open(node->c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    return m_fd >= 0;
}

void HidTransport::Forget()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool HidTransport::WriteReport(const Bytes &frame)
{
    if (frame.size() > kHidReportSize)
        return false;
    uint8_t report[kHidReportSize + 1] = {}; // report id 0, then the frame
    std::copy(frame.begin(), frame.end(), report + 1);
    const CardTiming &t = m_config.timing;
    for (int attempt = 0; attempt < t.hid_write_tries; ++attempt) {
        if (::write(m_fd, report, sizeof report) == ssize_t(sizeof report))
            return true;
        Pause(t.hid_write_pause_ms);
    }
    return false;
}

// Waits until `deadline_ms` (steady clock) for one report that carries a
// non-zero byte; empty reports are skipped.
HidTransport::Result HidTransport::ReadReport(uint8_t *report, int64_t deadline_ms)
{
    size_t got = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, report + got, kHidReportSize - got);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return Result::Failed; // the device is gone
        if (n > 0) {
            got += size_t(n);
            if (got < kHidReportSize)
                continue;
            if (std::any_of(report, report + kHidReportSize, [](uint8_t b) { return b != 0; }))
                return Result::Ok;
            got = 0;
            continue;
        }
        const int64_t left = deadline_ms - NowMs();
        if (left <= 0)
            return Result::Late;
        pollfd p = {m_fd, POLLIN, 0};
        if (::poll(&p, 1, int(left)) > 0 && !(p.revents & POLLIN))
            return Result::Failed; // hung up or in error
    }
}

HidTransport::Result HidTransport::Transfer(const Bytes &command, FrameKind kind, Bytes *response)
{
    uint8_t stale[kHidReportSize]; // a late answer to an earlier command
    while (::read(m_fd, stale, sizeof stale) > 0) {
    }
    if (!WriteReport(command))
        return Result::Failed;
    const int64_t deadline = NowMs() + m_config.timing.hid_answer_ms;
    const bool base_msg = kind == FrameKind::Sdt && command.size() > 8 &&
                          command[7] == kSdtReadBaseMsg.command &&
                          command[8] == kSdtReadBaseMsg.parameter;
    const int reports = base_msg ? kHidBaseMsgReports : 1;
    Bytes collected(size_t(reports) * kHidReportSize);
    for (int i = 0; i < reports; ++i)
        if (const Result r = ReadReport(collected.data() + size_t(i) * kHidReportSize, deadline);
            r != Result::Ok)
            return r;
    const size_t header = HeaderSize(kind);
    size_t body = 0;
    if (!CheckHeader(kind, collected.data(), &body) || collected.size() - header < body)
        return Result::Failed;
    collected.resize(header + body);
    *response = std::move(collected);
    return Result::Ok;
}

bool HidTransport::Exchange(const Bytes &command, FrameKind kind, Bytes *response)
{
    if (m_fd < 0 && !Attach())
        return false;
    const Result result = Transfer(command, kind, response);
    if (result == Result::Failed)
        Forget();
    return result == Result::Ok;
}

} // namespace cardkit
