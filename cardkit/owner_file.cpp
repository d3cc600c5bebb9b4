#include "cardkit/owner_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardkit {

FILE *CreateOwnerOnlyFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return nullptr;
    FILE *file = ::fchmod(fd, 0600) == 0 ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr)
        ::close(fd);
    return file;
}

} // namespace cardkit
