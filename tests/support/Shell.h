#pragma once
// Running independent tools (ffmpeg, ffprobe) from tests.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pictova::test {

inline bool HaveFfmpeg() {
    static const bool have = std::system("ffmpeg -version >/dev/null 2>&1") == 0 &&
                             std::system("ffprobe -version >/dev/null 2>&1") == 0;
    return have;
}

// The path as one single-quoted shell word.
inline std::string Quote(const std::filesystem::path& path) {
    std::string out = "'";
    for (const char c : path.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command and returns its standard output; throws when it fails.
inline std::string RunCommand(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != 0)
        throw std::runtime_error("exit status " + std::to_string(status) + " from: " + command);
    return out;
}

} // namespace pictova::test
