#include "platform/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include <pwd.h>
#include <unistd.h>

namespace pictova {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> Env(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

// One value of user-dirs.dirs, a shell fragment of lines such as
// XDG_DOCUMENTS_DIR="$HOME/Dokumente". Only the forms xdg-user-dirs writes
// are understood: a quoted absolute path or one starting with $HOME/.
std::optional<fs::path> UserDirsEntry(const std::string& key) {
    std::ifstream in(ConfigFolder() / "user-dirs.dirs");
    std::string line;
    const std::string prefix = key + "=\"";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        const std::size_t end = line.find('"', prefix.size());
        if (end == std::string::npos)
            return std::nullopt;
        std::string value = line.substr(prefix.size(), end - prefix.size());
        if (value.rfind("$HOME/", 0) == 0)
            return HomeFolder() / value.substr(6);
        if (!value.empty() && value[0] == '/')
            return fs::path(value);
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

fs::path HomeFolder() {
    if (const auto home = Env("HOME"))
        return fs::path(*home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return fs::path(entry->pw_dir);
    throw std::runtime_error("Cannot find the home folder: HOME is not set and user " +
                             std::to_string(::getuid()) + " has no home folder entry");
}

fs::path ConfigFolder() {
    // Relative values are to be ignored, as the XDG base directory rules say.
    if (const auto config = Env("XDG_CONFIG_HOME"); config && fs::path(*config).is_absolute())
        return fs::path(*config);
    return HomeFolder() / ".config";
}

fs::path DocumentsFolder() {
    if (const auto documents = Env("XDG_DOCUMENTS_DIR");
        documents && fs::path(*documents).is_absolute())
        return fs::path(*documents);
    if (const auto entry = UserDirsEntry("XDG_DOCUMENTS_DIR"))
        return *entry;
    return HomeFolder() / "Documents";
}

} // namespace pictova
