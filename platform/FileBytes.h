#pragma once
// Reading a whole file into memory in large blocks: pictures are megabytes,
// and reading them a character at a time took a third of a show's build.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace pictova {

// The file's bytes, or nothing when it cannot be opened or a read fails.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& file);

} // namespace pictova
