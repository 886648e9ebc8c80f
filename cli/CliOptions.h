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
#include <string_view>
#include <vector>

namespace pictova {

// A wrong command line: the key of its text in the language file's [Usage]
// section and the values to insert; what() is the built-in German text.
class TUsageError : public std::runtime_error {
public:
    TUsageError(std::string key, std::vector<std::string> args);

    const std::string& Key() const { return FKey; }
    const std::vector<std::string>& Args() const { return FArgs; }

private:
    std::string FKey;
    std::vector<std::string> FArgs;
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

// The language --language names, looked for before the command line is
// parsed so that its usage errors come in that language too; "Deutsch" when
// none or no valid name is given.
std::string CommandLineLanguage(const std::vector<std::string>& args);

// The help text ([Usage] Help) with its "\n" marks turned into line breaks:
// a language file keeps a text on one line.
std::string UsageText(std::string_view helpText);

} // namespace pictova
