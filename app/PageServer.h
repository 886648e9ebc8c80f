#pragma once
// The desktop program's "open in the browser": shows play in Ruffle, which
// cannot start from a file:// page, so the output folder is served on
// 127.0.0.1 by a loopback server on a thread of its own. One server runs at a
// time and serves one folder only; showing a page of another folder replaces
// it. The last one stops when the object goes (at program exit).

#include "platform/LoopbackServer.h"

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace pictova {

class TPageServer {
public:
    TPageServer() = default;
    ~TPageServer() { Stop(); }
    TPageServer(const TPageServer&) = delete;
    TPageServer& operator=(const TPageServer&) = delete;

    // The address of page, starting (or moving) the server to its folder.
    // Throws std::runtime_error when no port can be bound.
    std::string UrlOf(const std::filesystem::path& page);
    // The folder served now; empty when no server runs.
    const std::filesystem::path& Folder() const { return FFolder; }
    void Stop();

private:
    std::filesystem::path FFolder;
    std::unique_ptr<TLoopbackServer> Server;
    std::thread Thread;
};

} // namespace pictova
