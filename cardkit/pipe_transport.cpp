#include "cardkit/pipe_transport.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include "cardkit/text_util.h"

namespace cardkit {

namespace {

// A pipe whose driver end is gone raises SIGPIPE, which would end the host
// process: the signal is held back for this thread during the write, and one
// the write raised is taken away again. The write then fails with EPIPE.
ssize_t WriteWithoutSigpipe(int fd, const uint8_t *data, size_t size)
{
    sigset_t pipe_only, before, pending;
    sigemptyset(&pipe_only);
    sigaddset(&pipe_only, SIGPIPE);
    sigpending(&pending);
    const bool was_pending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_only, &before);
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !was_pending) {
        const timespec now = {0, 0};
        while (sigtimedwait(&pipe_only, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return written;
}

} // namespace

std::unique_ptr<PipeTransport> PipeTransport::Open(const std::string &folder,
                                                   const CardTiming &timing)
{
    const int out =
        ::open(JoinPath(folder, "PIPE00").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (out < 0)
        return nullptr;
    const int in =
        ::open(JoinPath(folder, "PIPE01").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in < 0) {
        ::close(out);
        return nullptr;
    }
    std::unique_ptr<PipeTransport> pipe(new PipeTransport(out, in, timing));
    pipe->Drain();
    return pipe;
}

PipeTransport::~PipeTransport()
{
    ::close(m_out);
    ::close(m_in);
}

void PipeTransport::Drain()
{
    uint8_t scrap[4096];
    while (::read(m_in, scrap, sizeof scrap) > 0) {
    }
}

bool PipeTransport::Exchange(const Bytes &command, FrameKind kind, Bytes *response)
{
    Drain();
    if (WriteWithoutSigpipe(m_out, command.data(), command.size()) != ssize_t(command.size()))
        return false;
    const size_t limit = kind == FrameKind::Sdt ? 4096 : 2048;
    const size_t header = HeaderSize(kind);
    response->assign(limit, 0);
    size_t got = 0;
    for (int attempt = 0; attempt < m_timing.pipe_tries && got < header; ++attempt) {
        pollfd p = {m_in, POLLIN, 0};
        ::poll(&p, 1, m_timing.pipe_pause_ms);
        const ssize_t n = ::read(m_in, response->data() + got, limit - got);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n > 0)
            got += size_t(n);
    }
    size_t body = 0;
    if (got < header || !CheckHeader(kind, response->data(), &body))
        return false;
    if (got - header < body)
        return false;
    response->resize(header + body);
    return true;
}

} // namespace cardkit
