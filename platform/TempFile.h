#pragma once
// Files of unique names in the user's temporary folder: created empty and
// exclusively (mode 0600, so nobody can slip in a file or link of the same
// name first) and removed again when the object goes.

#include <filesystem>
#include <string_view>

namespace pictova {

// $TMPDIR when set, else the system's temporary folder (/tmp).
std::filesystem::path UserTempFolder();

class TTemporaryFile {
public:
    // prefix + six random characters + suffix (for instance "PCVa1B2c3.mp3")
    // in UserTempFolder(). Throws EFileError (Create, with the folder) when
    // no file can be created.
    static TTemporaryFile Create(std::string_view prefix, std::string_view suffix = {});

    TTemporaryFile() = default;
    TTemporaryFile(TTemporaryFile&& other) noexcept;
    TTemporaryFile& operator=(TTemporaryFile&& other) noexcept;
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile() { Remove(); }

    // Empty after Remove or for a default-constructed object.
    const std::filesystem::path& Path() const { return FPath; }
    // Deletes the file now; a file that is already gone is no error.
    void Remove() noexcept;

private:
    explicit TTemporaryFile(std::filesystem::path path) : FPath(std::move(path)) {}
    std::filesystem::path FPath;
};

} // namespace pictova
