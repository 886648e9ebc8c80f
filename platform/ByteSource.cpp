#include "platform/ByteSource.h"

#include <algorithm>
#include <limits>

namespace pictova {

bool TMemorySource::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > Data.size() || Data.size() - offset < out.size())
        return false;
    std::copy_n(Data.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
    return true;
}

bool TFileSource::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > std::uint64_t(std::numeric_limits<std::streamoff>::max()))
        return false;
    if (!Positioned || offset != At) {
        In.clear();
        In.seekg(std::streamoff(offset));
    }
    In.read(reinterpret_cast<char*>(out.data()), std::streamsize(out.size()));
    const std::size_t got = std::size_t(In.gcount());
    At = offset + got;
    Positioned = got == out.size();
    return Positioned;
}

} // namespace pictova
