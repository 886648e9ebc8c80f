#pragma once
// Opens an address in the user's browser ("open" of the desktop shell).

#include <string>

namespace pictova {

// Starts xdg-open without waiting for the browser; false when it could not
// be started.
bool OpenInBrowser(const std::string& url);

} // namespace pictova
