#pragma once
// The Ruffle player files a written page loads: copied from data/ruffle in
// the program folder into the folder ruffle/ beside the page.

#include <filesystem>

namespace pictova {

// The player files shipped with the program.
std::filesystem::path PlayerFilesFolder(const std::filesystem::path& programFolder);

// Copies every player file into pageFolder/ruffle, skipping files already
// there with the same content. Throws EShowError (PlayerMissing) when the
// player is missing and EFileError when a copy fails (an existing copy stays
// intact).
void InstallPlayerFiles(const std::filesystem::path& programFolder,
                        const std::filesystem::path& pageFolder);

} // namespace pictova
