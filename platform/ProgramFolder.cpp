#include "platform/ProgramFolder.h"

#include <stdexcept>
#include <system_error>

namespace pictova {

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec)
        throw std::runtime_error("Cannot find the program folder from /proc/self/exe: " +
                                 ec.message());
    return exe.parent_path();
}

} // namespace pictova
