#pragma once
// The command line of pictova-cli:
//   pictova-cli [options] -o OUTPUT.swf [--effect N] [--duration S] PICTURE...
// --effect and --duration apply to the pictures that follow them.

#include "show/SlideShowProject.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {

class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCliPicture {
    std::filesystem::path File;
    int Effect = 0;   // 0 = drawn at random
    int Duration = 5; // seconds
};

struct TCliOptions {
    std::filesystem::path Output;
    std::vector<TCliPicture> Pictures;
    bool Preview = false;
    bool Compress = false;
    bool Password = false;
    std::string PasswordText;
    std::optional<uint32_t> Seed;
    TAudioChoice Music = TAudioChoice::None;
    std::filesystem::path MusicFile; // with TAudioChoice::OwnFile
    bool MusicLoop = true;
    bool Open = false;
    bool Serve = false;
    bool Yes = false;
    std::string Language = "Deutsch"; // lng/<Language>.lng beside the program
    bool ListEffects = false;
    bool Help = false;
    bool Version = false;
};

// Throws TUsageError with a message that names the wrong argument.
TCliOptions ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kCliUsage;

} // namespace pictova
