#include "platform/OpenUrl.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pictova {

bool OpenInBrowser(const std::string& url) {
    pid_t pid = 0;
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    // xdg-open hands the address to the browser and returns.
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace pictova
