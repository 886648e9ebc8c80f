#include "app/PlayerFiles.h"

#include "platform/Errors.h"
#include "platform/FileBytes.h"
#include "platform/SafeFile.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace pictova {

namespace fs = std::filesystem;

namespace {

bool SameContent(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (!fs::is_regular_file(b, ec) || fs::file_size(a, ec) != fs::file_size(b, ec))
        return false;
    return ReadFileBytes(a) == ReadFileBytes(b);
}

} // namespace

fs::path PlayerFilesFolder(const fs::path& programFolder) {
    return programFolder / "data" / "ruffle";
}

void InstallPlayerFiles(const fs::path& programFolder, const fs::path& pageFolder) {
    const fs::path source = PlayerFilesFolder(programFolder);
    const fs::path target = pageFolder / "ruffle";
    if (!fs::is_regular_file(source / "ruffle.js"))
        throw EShowError(EShowError::PlayerMissing, source / "ruffle.js");
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(source)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path to = target / entry.path().filename();
        if (SameContent(entry.path(), to))
            continue;
        const std::vector<uint8_t> bytes = ReadFileBytes(entry.path());
        SaveFileReplacing(to, [&](std::ostream& out) {
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        });
    }
}

} // namespace pictova
