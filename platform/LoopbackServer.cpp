#include "platform/LoopbackServer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pictova {

namespace fs = std::filesystem;

namespace {

const std::map<std::string, std::string> kContentTypes = {
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript"},
    {".wasm", "application/wasm"},
    {".swf", "application/x-shockwave-flash"},
    {".json", "application/json"},
    {".png", "image/png"},
    {".jpg", "image/jpeg"},
    {".mp3", "audio/mpeg"},
    {".txt", "text/plain; charset=utf-8"},
};

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void SendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return; // the browser went away
        data += sent;
        size -= size_t(sent);
    }
}

void SendStatus(int socket, int code, const char* text) {
    std::ostringstream out;
    out << "HTTP/1.1 " << code << ' ' << text
        << "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    const std::string s = out.str();
    SendAll(socket, s.data(), s.size());
}

} // namespace

bool DecodeUrlPath(const std::string& encoded, std::string& decoded) {
    decoded.clear();
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%') {
            if (i + 2 >= encoded.size())
                return false;
            const int hi = HexValue(encoded[i + 1]), lo = HexValue(encoded[i + 2]);
            if (hi < 0 || lo < 0)
                return false;
            decoded += char(hi * 16 + lo);
            i += 2;
        } else {
            decoded += encoded[i];
        }
    }
    return true;
}

TLoopbackServer::TLoopbackServer(fs::path folder) : Folder(fs::canonical(folder)) {
    Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Listener < 0)
        throw std::runtime_error(std::string("cannot open a socket: ") + std::strerror(errno));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0; // a free port
    socklen_t len = sizeof addr;
    if (::bind(Listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(Listener, 16) != 0 ||
        ::getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        const int error = errno;
        ::close(Listener);
        throw std::runtime_error(std::string("cannot serve on 127.0.0.1: ") + std::strerror(error));
    }
    FPort = ntohs(addr.sin_port);
}

TLoopbackServer::~TLoopbackServer() {
    if (Listener >= 0)
        ::close(Listener);
}

std::string TLoopbackServer::UrlOf(const fs::path& relative) const {
    std::string url = "http://127.0.0.1:" + std::to_string(FPort) + "/";
    bool first = true;
    for (const auto& part : relative) {
        if (!first)
            url += '/';
        first = false;
        for (unsigned char c : part.string()) {
            if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
                url += char(c);
            } else {
                static const char hex[] = "0123456789ABCDEF";
                url += '%';
                url += hex[c >> 4];
                url += hex[c & 15];
            }
        }
    }
    return url;
}

fs::path TLoopbackServer::Resolve(const std::string& requestPath) const {
    std::string path = requestPath.substr(0, requestPath.find_first_of("?#"));
    std::string decoded;
    if (path.empty() || path[0] != '/' || !DecodeUrlPath(path, decoded))
        return {};
    if (decoded.find('\0') != std::string::npos || decoded.find('\\') != std::string::npos)
        return {};
    fs::path relative;
    std::istringstream parts(decoded.substr(1));
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part == "..")
            return {};
        if (part.empty() || part == ".")
            continue;
        relative /= part;
    }
    if (relative.empty())
        relative = "index.html";
    std::error_code ec;
    const fs::path file = fs::canonical(Folder / relative, ec);
    if (ec || !fs::is_regular_file(file, ec))
        return {};
    // Symbolic links must not lead out of the folder either.
    const auto [end, _] = std::mismatch(Folder.begin(), Folder.end(), file.begin(), file.end());
    if (end != Folder.end())
        return {};
    return file;
}

void TLoopbackServer::Answer(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
        pollfd p{client, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return;
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, size_t(got));
    }
    std::istringstream line(request.substr(0, request.find("\r\n")));
    std::string method, target;
    line >> method >> target;
    if (method != "GET" && method != "HEAD")
        return SendStatus(client, 405, "Method Not Allowed");
    const fs::path file = Resolve(target);
    if (file.empty())
        return SendStatus(client, 404, "Not Found");
    std::ifstream in(file, std::ios::binary);
    std::vector<char> body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto type = kContentTypes.find(file.extension().string());
    std::ostringstream head;
    head << "HTTP/1.1 200 OK\r\nContent-Type: "
         << (type == kContentTypes.end() ? "application/octet-stream" : type->second)
         << "\r\nContent-Length: " << body.size()
         << "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
    const std::string h = head.str();
    SendAll(client, h.data(), h.size());
    if (method == "GET")
        SendAll(client, body.data(), body.size());
}

void TLoopbackServer::Serve() {
    while (!Stopping) {
        pollfd p{Listener, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready <= 0)
            continue;
        const int client = ::accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Answer(client);
        ::shutdown(client, SHUT_WR);
        ::close(client);
    }
}

} // namespace pictova
