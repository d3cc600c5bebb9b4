#include "platform/devkit/xfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/devkit/native_path.h"

XFile::~XFile()
{
    Close();
}

int XFile::Open(const char16_t *path, uint32_t mode)
{
    Close();
    if (!path || !*path)
        return 0;
    int flags = O_CLOEXEC;
    if (mode & kWrite) {
        flags |= (mode & kRead) ? O_RDWR : O_WRONLY;
        if (mode & kCreate)
            flags |= O_CREAT;
        if (mode & kTruncate)
            flags |= O_TRUNC;
        if (mode & kAppend)
            flags |= O_APPEND;
    } else {
        flags |= O_RDONLY;
    }
    int fd = ::open(devkit::ToNativePath(path).c_str(), flags, 0644);
    if (fd < 0)
        return 0;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    m_fd = fd;
    return 1;
}

void XFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int64_t XFile::GetSize() const
{
    struct stat st
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

uint32_t XFile::Read(void *dst, uint32_t n)
{
    if (m_fd < 0 || !dst)
        return 0;
    auto *out = static_cast<char *>(dst);
    uint32_t done = 0;
    while (done < n) {
        ssize_t got = ::read(m_fd, out + done, n - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<uint32_t>(got);
    }
    return done;
}

uint32_t XFile::Write(const void *src, uint32_t n)
{
    if (m_fd < 0 || (!src && n))
        return 0;
    const auto *in = static_cast<const char *>(src);
    uint32_t done = 0;
    while (done < n) {
        ssize_t put = ::write(m_fd, in + done, n - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return 0;
        done += static_cast<uint32_t>(put);
    }
    return n;
}

int64_t XFile::Seek(int64_t pos, int whence)
{
    constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (m_fd < 0 || whence < 0 || whence > 2)
        return -1;
    off_t at = ::lseek(m_fd, pos, kWhence[whence]);
    return at < 0 ? -1 : at;
}

int64_t XFile::Tell() const
{
    if (m_fd < 0)
        return -1;
    off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    return at < 0 ? -1 : at;
}

int XFile::SetSize(int64_t size)
{
    return m_fd >= 0 && size >= 0 && ::ftruncate(m_fd, size) == 0;
}

int XFile::Flush()
{
    return m_fd >= 0 && ::fsync(m_fd) == 0;
}
