#pragma once
// Reading movies with ffmpeg, the independent reader some tests check them
// with. Tests skip when HaveFfmpeg() says it is not installed.

#include "tests/support/Shell.h"

#include <filesystem>
#include <string>

namespace pictova::test {

// The first picture of the file's only video stream as raw pixels.
inline std::string DecodedPixels(const std::filesystem::path& file,
                                 const std::string& pixelFormat) {
    return RunCommand("ffmpeg -v error -i " + Quote(file) + " -frames:v 1 -f rawvideo -pix_fmt " +
                      pixelFormat + " -");
}

} // namespace pictova::test
