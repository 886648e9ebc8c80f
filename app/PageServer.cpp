#include "app/PageServer.h"

#include <system_error>

namespace pictova {

namespace fs = std::filesystem;

std::string TPageServer::UrlOf(const fs::path& page) {
    std::error_code ec;
    fs::path folder = fs::weakly_canonical(fs::absolute(page.parent_path()), ec);
    if (ec)
        folder = fs::absolute(page.parent_path()).lexically_normal();
    if (!Server || folder != FFolder) {
        Stop();
        Server = std::make_unique<TLoopbackServer>(folder);
        FFolder = folder;
        Thread = std::thread([server = Server.get()] { server->Serve(); });
    }
    return Server->UrlOf(page.filename());
}

void TPageServer::Stop() {
    if (!Server)
        return;
    Server->Stop();
    if (Thread.joinable())
        Thread.join();
    Server.reset();
    FFolder.clear();
}

} // namespace pictova
