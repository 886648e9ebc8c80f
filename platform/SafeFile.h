#pragma once
// Replacing a file without risking the old one: the new content goes to a
// fresh file in the same folder, which replaces the target only once it has
// been written completely.

#include <filesystem>
#include <functional>
#include <ostream>

namespace pictova {

// Calls write with a stream on the new content. If write throws or the data
// cannot be stored, the target stays as it was and the error is rethrown
// (as EFileError, action Write, for I/O failures).
void SaveFileReplacing(const std::filesystem::path& target,
                       const std::function<void(std::ostream&)>& write);

} // namespace pictova
