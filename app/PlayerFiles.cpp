#include "app/PlayerFiles.h"

#include "platform/SafeFile.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace pictova {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("Die Datei \"" + file.string() + "\" kann nicht gelesen werden.");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool SameContent(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (!fs::is_regular_file(b, ec) || fs::file_size(a, ec) != fs::file_size(b, ec))
        return false;
    return ReadAll(a) == ReadAll(b);
}

} // namespace

fs::path PlayerFilesFolder(const fs::path& programFolder) {
    return programFolder / "data" / "ruffle";
}

void InstallPlayerFiles(const fs::path& programFolder, const fs::path& pageFolder) {
    const fs::path source = PlayerFilesFolder(programFolder);
    const fs::path target = pageFolder / "ruffle";
    if (!fs::is_regular_file(source / "ruffle.js"))
        throw std::runtime_error("Der Abspieler fehlt: \"" + (source / "ruffle.js").string() +
                                 "\" ist nicht vorhanden.");
    fs::create_directories(target);
    for (const auto& entry : fs::directory_iterator(source)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path to = target / entry.path().filename();
        if (SameContent(entry.path(), to))
            continue;
        const std::string bytes = ReadAll(entry.path());
        SaveFileReplacing(to, [&](std::ostream& out) { out.write(bytes.data(), std::streamsize(bytes.size())); });
    }
}

} // namespace pictova
