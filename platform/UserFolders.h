#pragma once
// The user's folders the programs use: where configuration files go and
// where documents are kept.

#include <filesystem>

namespace pictova {

// $HOME, or the home folder of the user database entry when HOME is unset.
// Throws std::runtime_error when neither is known.
std::filesystem::path HomeFolder();

// $XDG_CONFIG_HOME when it is set to an absolute path, else ~/.config.
std::filesystem::path ConfigFolder();

// The XDG documents folder: XDG_DOCUMENTS_DIR from the environment or from
// user-dirs.dirs in the configuration folder, else ~/Documents. The folder is
// not created.
std::filesystem::path DocumentsFolder();

} // namespace pictova
