#pragma once
// Navigation in a RIFF file held in memory: the top-level form and the
// chunks inside it. Sizes that run past their container are cut to it;
// odd-sized chunks are followed by one pad byte, as RIFF requires.

#include "media/ByteView.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pictova {

struct TRiffChunk {
    std::array<char, 4> ID{};
    uint32_t Offset = 0;       // of the chunk header, from the file start
    uint32_t DataOffset = 0;   // of the chunk data (for a form: after its form type)
    uint32_t DataSize = 0;     // bytes of data inside the container
    uint32_t DeclaredSize = 0; // data bytes the size field claims

    std::string_view Name() const { return std::string_view(ID.data(), ID.size()); }
    bool Truncated() const { return DataSize < DeclaredSize; }
};

class TRiffReader {
public:
    // RIFF sizes are 32-bit: only the first 4 GiB of a longer span are seen.
    explicit TRiffReader(TBytes file);

    // The "RIFF" chunk at the file start when its form type is formType.
    std::optional<TRiffChunk> Form(std::string_view formType) const;
    // The chunks inside parent in file order, up to the first header that no
    // longer fits.
    std::vector<TRiffChunk> Children(const TRiffChunk& parent) const;
    // The first chunk of that ID inside parent.
    std::optional<TRiffChunk> Find(const TRiffChunk& parent, std::string_view id) const;
    TBytes Data(const TRiffChunk& chunk) const;

private:
    TBytes FFile;
};

} // namespace pictova
