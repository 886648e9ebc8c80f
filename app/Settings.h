#pragma once
// The settings file Settings.ini in the user's configuration folder
// ($XDG_CONFIG_HOME/Tesmar/Pictova/, else ~/.config/Tesmar/Pictova/):
//   [Main]    OutputPath       the movie file, saved whenever the output field changes
//   [Main]    Language         "Deutsch", written when the overwrite box is shown
//   [Options] optAlreadyExist  0 ask, 2 never overwrite, else overwrite (set by hand)
// Every read looks at the file as it is now (it may be edited by hand while
// the program runs); every write changes one key and replaces the file
// through a temporary file in the same folder, so a failed write leaves the
// old file whole. The folder is created when missing. Text is UTF-8.

#include <filesystem>
#include <string>
#include <string_view>

namespace pictova {

// Values of optAlreadyExist; any other value overwrites without asking.
constexpr int kAlreadyExistAsk = 0;
constexpr int kAlreadyExistNever = 2;

class TSettings {
public:
    explicit TSettings(std::filesystem::path file = DefaultSettingsFile());

    // ConfigFolder() / "Tesmar" / "Pictova" / "Settings.ini".
    static std::filesystem::path DefaultSettingsFile();
    const std::filesystem::path& File() const { return Path; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Throws std::runtime_error naming the file when it cannot be written.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // [Main] OutputPath, with DefaultOutputPath(documents) when missing.
    std::filesystem::path ReadOutputPath(const std::filesystem::path& documents) const;
    void WriteOutputPath(const std::filesystem::path& path);
    // [Options] optAlreadyExist, 0 when missing.
    int AlreadyExist() const;

private:
    std::filesystem::path Path;
};

// documents / "Meine Pictova" / "show.swf".
std::filesystem::path DefaultOutputPath(const std::filesystem::path& documents);

// The output path the program starts with: the saved one, or the default
// when the saved one's folder does not exist (any more).
std::filesystem::path StartupOutputPath(const TSettings& settings,
                                        const std::filesystem::path& documents);

} // namespace pictova
