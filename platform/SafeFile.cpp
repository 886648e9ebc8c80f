#include "platform/SafeFile.h"

#include "platform/Errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictova {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const fs::path& target, const std::string& what, int error) {
    throw EFileError(target, TFileAction::Write, error,
                     "Cannot write \"" + target.string() + "\": " + what +
                         (error ? std::string(": ") + std::strerror(error) : std::string()));
}

// The new file gets the mode a plain create would give it (0666 less umask),
// not mkstemp's private 0600.
mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

class TTempFile {
public:
    explicit TTempFile(const fs::path& target) {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::string pattern = (folder / ("." + target.filename().string() + ".PCVXXXXXX")).string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            Fail(target, "cannot create a temporary file in its folder", errno);
        ::fchmod(fd, DefaultFileMode());
        ::close(fd);
        Path = pattern;
    }
    ~TTempFile() {
        if (!Path.empty()) {
            std::error_code ignored;
            fs::remove(Path, ignored);
        }
    }
    void Release() { Path.clear(); }

    fs::path Path;
};

void SyncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void SaveFileReplacing(const fs::path& target, const std::function<void(std::ostream&)>& write) {
    TTempFile temp(target);
    {
        std::ofstream out(temp.Path, std::ios::binary | std::ios::trunc);
        if (!out)
            Fail(target, "cannot open the temporary file", errno);
        out.exceptions(std::ios::badbit | std::ios::failbit);
        try {
            write(out);
            out.close();
        } catch (const std::ios_base::failure&) {
            Fail(target, "writing failed", errno);
        }
    }
    SyncFile(temp.Path);
    std::error_code ec;
    fs::rename(temp.Path, target, ec);
    if (ec)
        throw EFileError(target, TFileAction::Write, ec.value(),
                         "Cannot write \"" + target.string() + "\": " + ec.message());
    temp.Release();
}

} // namespace pictova
