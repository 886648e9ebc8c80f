#pragma once
// A small read-only web server on 127.0.0.1 for one folder: shows play in
// Ruffle, which cannot start from a file:// page, so "open in the browser"
// serves the output folder and opens its http://127.0.0.1:PORT/ address.
// Nothing outside the folder can be reached: paths with "..", encoded or not,
// backslashes, NUL bytes or symbolic links leading outside are refused.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

namespace pictova {

class TLoopbackServer {
public:
    // Binds a free port on 127.0.0.1; throws std::runtime_error on failure.
    explicit TLoopbackServer(std::filesystem::path folder);
    ~TLoopbackServer();
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    uint16_t Port() const { return FPort; }
    // http://127.0.0.1:PORT/ followed by the encoded relative path.
    std::string UrlOf(const std::filesystem::path& relative) const;

    // Answers requests until Stop() is called (from another thread or a
    // signal handler).
    void Serve();
    void Stop() { Stopping = true; }

    // The file a request path stands for, or empty when it is refused.
    std::filesystem::path Resolve(const std::string& requestPath) const;

private:
    void Answer(int client);

    std::filesystem::path Folder; // canonical
    int Listener = -1;
    uint16_t FPort = 0;
    std::atomic<bool> Stopping{false};
};

// Percent-decodes a URL path; false for malformed escapes.
bool DecodeUrlPath(const std::string& encoded, std::string& decoded);

} // namespace pictova
