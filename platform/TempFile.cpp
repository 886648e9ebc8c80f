#include "platform/TempFile.h"

#include "platform/Errors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include <unistd.h>

namespace pictova {

namespace fs = std::filesystem;

fs::path UserTempFolder() {
    // temp_directory_path reads TMPDIR first and falls back to /tmp.
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    if (error)
        return "/tmp";
    return folder;
}

TTemporaryFile TTemporaryFile::Create(std::string_view prefix, std::string_view suffix) {
    const fs::path folder = UserTempFolder();
    std::string pattern =
        (folder / (std::string(prefix) + "XXXXXX" + std::string(suffix))).string();
    const int fd = ::mkstemps(pattern.data(), int(suffix.size()));
    if (fd < 0)
        throw EFileError(folder, TFileAction::Create, errno);
    ::close(fd);
    return TTemporaryFile(fs::path(pattern));
}

TTemporaryFile::TTemporaryFile(TTemporaryFile&& other) noexcept : FPath(std::move(other.FPath)) {
    other.FPath.clear();
}

TTemporaryFile& TTemporaryFile::operator=(TTemporaryFile&& other) noexcept {
    if (this != &other) {
        Remove();
        FPath = std::move(other.FPath);
        other.FPath.clear();
    }
    return *this;
}

void TTemporaryFile::Remove() noexcept {
    if (FPath.empty())
        return;
    std::error_code ignored;
    fs::remove(FPath, ignored);
    FPath.clear();
}

} // namespace pictova
