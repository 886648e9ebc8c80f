#include "media/RiffReader.h"

#include <algorithm>
#include <cassert>

namespace pictova {

namespace {

constexpr uint32_t kHeaderBytes = 8; // four-letter ID, 32-bit little-endian size

TRiffChunk ChunkAt(TBytes file, uint32_t offset, uint32_t containerEnd) {
    assert(offset + kHeaderBytes <= containerEnd && containerEnd <= file.size());
    TRiffChunk c;
    std::copy_n(file.begin() + offset, 4, c.ID.begin());
    c.Offset = offset;
    c.DataOffset = offset + kHeaderBytes;
    c.DeclaredSize = ReadLE32(file, offset + 4);
    // Leniency: a size past the container's end is cut to it. Recorders that
    // stopped early and writers that stream leave such sizes (often
    // FFFFFFFF), and the bytes that are there are still good.
    c.DataSize = std::min(c.DeclaredSize, containerEnd - c.DataOffset);
    return c;
}

} // namespace

TRiffReader::TRiffReader(TBytes file)
    : FFile(file.first(std::min<size_t>(file.size(), UINT32_MAX))) {}

std::optional<TRiffChunk> TRiffReader::Form(std::string_view formType) const {
    assert(formType.size() == 4);
    if (FFile.size() < kHeaderBytes + 4 || !HasChars(FFile, 0, "RIFF") ||
        !HasChars(FFile, kHeaderBytes, formType))
        return std::nullopt;
    TRiffChunk form = ChunkAt(FFile, 0, uint32_t(FFile.size()));
    // The form type is the first 4 bytes of the data.
    form.DataOffset += 4;
    form.DataSize = form.DataSize >= 4 ? form.DataSize - 4 : 0;
    form.DeclaredSize = form.DeclaredSize >= 4 ? form.DeclaredSize - 4 : 0;
    return form;
}

std::vector<TRiffChunk> TRiffReader::Children(const TRiffChunk& parent) const {
    assert(uint64_t(parent.DataOffset) + parent.DataSize <= FFile.size());
    std::vector<TRiffChunk> chunks;
    const uint32_t end = parent.DataOffset + parent.DataSize;
    uint64_t pos = parent.DataOffset;
    while (pos + kHeaderBytes <= end) {
        const TRiffChunk chunk = ChunkAt(FFile, uint32_t(pos), end);
        chunks.push_back(chunk);
        // A pad byte missing after the last chunk is no matter: the walk ends.
        pos = uint64_t(chunk.DataOffset) + chunk.DeclaredSize + (chunk.DeclaredSize & 1);
    }
    return chunks;
}

std::optional<TRiffChunk> TRiffReader::Find(const TRiffChunk& parent, std::string_view id) const {
    assert(id.size() == 4);
    for (const TRiffChunk& chunk : Children(parent))
        if (chunk.Name() == id)
            return chunk;
    return std::nullopt;
}

TBytes TRiffReader::Data(const TRiffChunk& chunk) const {
    return SubBytes(FFile, chunk.DataOffset, chunk.DataSize);
}

} // namespace pictova
