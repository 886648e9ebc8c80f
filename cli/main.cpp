// pictova-cli: the command-line front end.

#include "swf/ControlTags.h"
#include "swf/SWFStream.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pictova;
namespace fs = std::filesystem;

void PrintUsage(std::ostream& out) {
    out << "Usage: pictova-cli --demo [OUTPUT.swf] [--compress]\n"
           "       pictova-cli --version\n"
           "\n"
           "  --demo       write a small demonstration movie (default out/demo.swf)\n"
           "  --compress   write the movie zlib-compressed (CWS)\n";
}

// A one-frame movie in the program's colours: enough to see that the writer
// and a player agree.
void WriteDemoMovie(const fs::path& target, bool compress) {
    TBasedSWFStream movie(0, 0, 550, 400, 12.0f, true);
    movie.SetCompressed(compress);
    TBitsEngine be(movie.Body());
    TSWFSetBackgroundColor background;
    background.Color.SetRGB(MakeRGB(0x2E, 0x6D, 0xB4));
    background.WriteToStream(be);
    TSWFFrameLabel label("Pictova");
    label.WriteToStream(be);
    TSWFShowFrame().WriteToStream(be);
    TSWFEnd().WriteToStream(be);
    movie.SetFrameCount(1);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path());
    movie.SaveToFile(target);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    bool demo = false;
    bool compress = false;
    fs::path output = "out/demo.swf";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--help" || a == "-h") {
            PrintUsage(std::cout);
            return 0;
        } else if (a == "--version") {
            std::cout << "pictova-cli " << PICTOVA_VERSION << "\n";
            return 0;
        } else if (a == "--demo") {
            demo = true;
        } else if (a == "--compress") {
            compress = true;
        } else if (!a.empty() && a[0] != '-') {
            output = fs::path(std::string(a));
        } else {
            std::cerr << "pictova-cli: unknown option " << a << "\n";
            PrintUsage(std::cerr);
            return 2;
        }
    }
    if (!demo) {
        PrintUsage(std::cerr);
        return 2;
    }
    try {
        WriteDemoMovie(output, compress);
    } catch (const std::exception& e) {
        std::cerr << "pictova-cli: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Wrote " << fs::absolute(output).lexically_normal().string() << "\n";
    return 0;
}
