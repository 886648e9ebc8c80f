#pragma once
// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace pictova::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "PCVtestXXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed for " + pattern);
        Path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(Path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return Path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return Path / name; }

private:
    std::filesystem::path Path;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write test file " + file.string());
}

} // namespace pictova::test
