#include "cardkit/serial_transport.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace cardkit {

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 115200:
        return B115200;
    case 57600:
        return B57600;
    case 38400:
        return B38400;
    case 19200:
        return B19200;
    case 9600:
        return B9600;
    default:
        return B0;
    }
}

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

std::unique_ptr<SerialTransport> SerialTransport::Open(const std::string &path, int baud,
                                                       const CardTiming &timing)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<SerialTransport> port(new SerialTransport(fd, timing));
    if (!port->SetBaud(baud))
        return nullptr;
    return port;
}

SerialTransport::~SerialTransport()
{
    ::close(m_fd);
}

bool SerialTransport::SetBaud(int baud)
{
    const speed_t speed = SpeedOf(baud);
    termios tio{};
    if (speed == B0 || tcgetattr(m_fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0)
        return false;
    tcflush(m_fd, TCIOFLUSH);
    return true;
}

bool SerialTransport::WriteAll(const Bytes &bytes)
{
    size_t done = 0;
    const int64_t deadline = NowMs() + m_timing.body_deadline_ms;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (NowMs() > deadline)
            return false;
        pollfd p = {m_fd, POLLOUT, 0};
        ::poll(&p, 1, m_timing.poll_ms);
    }
    return true;
}

bool SerialTransport::Exchange(const Bytes &command, FrameKind kind, Bytes *response)
{
    tcflush(m_fd, TCIFLUSH); // a late answer to an earlier command is not this one's
    return WriteAll(command) && ReadResponse(kind, response);
}

// Polls the input queue until the header and the announced body are in.
bool SerialTransport::ReadResponse(FrameKind kind, Bytes *response)
{
    const size_t header = HeaderSize(kind);
    const int64_t start = NowMs();
    size_t want = header;
    bool have_header = false;
    response->clear();
    uint8_t chunk[512];
    while (response->size() < want) {
        const ssize_t n = ::read(m_fd, chunk, std::min(sizeof chunk, want - response->size()));
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            tcflush(m_fd, TCIFLUSH); // a line error spoils whatever is queued
            return false;
        }
        if (n > 0) {
            response->insert(response->end(), chunk, chunk + n);
            if (!have_header && response->size() >= header) {
                size_t body = 0;
                if (!CheckHeader(kind, response->data(), &body)) {
                    tcflush(m_fd, TCIFLUSH);
                    return false;
                }
                have_header = true;
                want = header + body;
            }
            continue;
        }
        const int64_t elapsed = NowMs() - start;
        if ((!have_header && elapsed >= m_timing.header_deadline_ms) ||
            elapsed >= m_timing.body_deadline_ms)
            return false;
        pollfd p = {m_fd, POLLIN, 0};
        if (::poll(&p, 1, m_timing.poll_ms) > 0 && (p.revents & (POLLERR | POLLHUP)) &&
            !(p.revents & POLLIN))
            return false;
    }
    return true;
}

} // namespace cardkit
