// Writes the movies the browser tests play into the folder given as argument.

#include "swf/ControlTags.h"
#include "swf/SWFStream.h"

#include <exception>
#include <filesystem>
#include <iostream>

namespace {

using namespace pictova;
namespace fs = std::filesystem;

// One frame of a known background colour, nothing else on stage.
void WriteBackgroundMovie(const fs::path& file, bool compressed) {
    TBasedSWFStream movie(0, 0, 200, 150, 12.0f, true);
    movie.SetCompressed(compressed);
    TBitsEngine be(movie.Body());
    TSWFSetBackgroundColor background;
    background.Color.SetRGB(MakeRGB(0x12, 0x9A, 0xE4));
    background.WriteToStream(be);
    TSWFShowFrame().WriteToStream(be);
    TSWFEnd().WriteToStream(be);
    movie.SetFrameCount(1);
    movie.SaveToFile(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT-FOLDER\n";
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        fs::create_directories(dir);
        WriteBackgroundMovie(dir / "background-fws.swf", false);
        WriteBackgroundMovie(dir / "background-cws.swf", true);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
