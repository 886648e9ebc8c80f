#pragma once
// Reading a whole file into memory in large blocks: pictures are megabytes,
// and reading them a character at a time took a third of a show's build.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace pictova {

// The file's bytes. Throws EFileError with the file and the errno of the
// failed call when it cannot be opened (Open) or a read fails (Read).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& file);

} // namespace pictova
