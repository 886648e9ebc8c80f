#pragma once
// Reading a whole file into memory in large blocks: pictures are megabytes,
// and reading them a character at a time took a third of a show's build.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace pictova {

// An open file descriptor, closed when the object goes (negative: none).
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : Fd(fd) {}
    ~TFileDescriptor();
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Fd;
};

// The file's bytes. Throws EFileError with the file and the errno of the
// failed call when it cannot be opened (Open) or a read fails (Read).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& file);

} // namespace pictova
