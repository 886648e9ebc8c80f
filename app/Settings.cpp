#include "app/Settings.h"

#include "app/IniFile.h"
#include "platform/Errors.h"
#include "platform/SafeFile.h"
#include "platform/UserFolders.h"

#include <stdexcept>
#include <system_error>

namespace pictova {

namespace fs = std::filesystem;

TSettings::TSettings(fs::path file) : Path(std::move(file)) {}

fs::path TSettings::DefaultSettingsFile() {
    return ConfigFolder() / "Tesmar" / "Pictova" / "Settings.ini";
}

std::string TSettings::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const {
    return TIniText(ReadIniFileBytes(Path)).ReadString(section, key, defaultValue);
}

int TSettings::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    return TIniText(ReadIniFileBytes(Path)).ReadInteger(section, key, defaultValue);
}

void TSettings::WriteString(std::string_view section, std::string_view key,
                            std::string_view value) {
    TIniText ini(ReadIniFileBytes(Path));
    ini.WriteString(section, key, value);
    if (Path.has_parent_path()) {
        std::error_code ec;
        fs::create_directories(Path.parent_path(), ec);
        if (ec)
            throw EFileError(Path.parent_path(), TFileAction::CreateFolder, ec.value(),
                             "Cannot create the settings folder \"" + Path.parent_path().string() +
                                 "\": " + ec.message());
    }
    const std::string text = ini.Text();
    SaveFileReplacing(Path, [&](std::ostream& out) { out << text; });
}

fs::path TSettings::ReadOutputPath(const fs::path& documents) const {
    return fs::path(ReadString("Main", "OutputPath", DefaultOutputPath(documents).string()));
}

void TSettings::WriteOutputPath(const fs::path& path) {
    WriteString("Main", "OutputPath", path.string());
}

int TSettings::AlreadyExist() const {
    return ReadInteger("Options", "optAlreadyExist", kAlreadyExistAsk);
}

fs::path DefaultOutputPath(const fs::path& documents) {
    return documents / "Meine Pictova" / "show.swf";
}

fs::path StartupOutputPath(const TSettings& settings, const fs::path& documents) {
    const fs::path saved = settings.ReadOutputPath(documents);
    std::error_code ec;
    if (saved.parent_path().empty() || !fs::is_directory(saved.parent_path(), ec))
        return DefaultOutputPath(documents);
    return saved;
}

} // namespace pictova
