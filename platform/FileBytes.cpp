#include "platform/FileBytes.h"

#include "platform/Errors.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictova {

TFileDescriptor::~TFileDescriptor() {
    if (Fd >= 0)
        ::close(Fd);
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& file) {
    const TFileDescriptor in(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Fd < 0)
        throw EFileError(file, TFileAction::Open, errno);
    // The size is only a hint (the file may change, or not be a regular one):
    // room for one byte more than it lets the second read meet the end.
    struct stat st {};
    constexpr size_t kBlock = 256 * 1024;
    std::vector<uint8_t> bytes;
    bytes.reserve(::fstat(in.Fd, &st) == 0 && S_ISREG(st.st_mode) ? size_t(st.st_size) + 1
                                                                  : kBlock);
    for (;;) {
        if (bytes.size() == bytes.capacity())
            bytes.reserve(bytes.size() + kBlock);
        const size_t used = bytes.size();
        const size_t room = bytes.capacity() - used;
        bytes.resize(used + room);
        const ssize_t got = ::read(in.Fd, bytes.data() + used, room);
        const int error = errno;
        bytes.resize(used + size_t(std::max<ssize_t>(got, 0)));
        if (got < 0 && error == EINTR)
            continue;
        if (got < 0) // a folder opens but cannot be read (EISDIR)
            throw EFileError(file, TFileAction::Read, error);
        if (got == 0)
            break;
    }
    return bytes;
}

} // namespace pictova
