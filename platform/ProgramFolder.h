#pragma once
// The folder of the running executable, where data/ and lng/ lie beside the
// programs (build/bin in the build tree, lib/pictova when installed).

#include <filesystem>

namespace pictova {

// Canonical (symbolic links resolved, so an installed link in bin/ leads to
// the real program folder). Throws std::runtime_error when it cannot be found.
std::filesystem::path ProgramFolder();

} // namespace pictova
