#include "platform/FileBytes.h"

#include <fstream>
#include <system_error>

namespace pictova {

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    // The size is only a hint (the file may change, or not be a regular one):
    // asking for one byte more than it meets the end in the first read.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    constexpr size_t kBlock = 256 * 1024;
    size_t request = ec ? kBlock : size_t(size) + 1;
    std::vector<uint8_t> bytes;
    while (in) {
        const size_t used = bytes.size();
        bytes.resize(used + request);
        in.read(reinterpret_cast<char*>(bytes.data() + used), std::streamsize(request));
        bytes.resize(used + size_t(in.gcount()));
        request = kBlock;
    }
    if (in.bad())
        return std::nullopt;
    return bytes;
}

} // namespace pictova
