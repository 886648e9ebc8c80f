#include "cli/CliOptions.h"

#include <charconv>

namespace pictova {

const char* const kCliUsage =
    "Usage: pictova-cli [options] -o OUTPUT.swf [--effect N] [--duration S] PICTURE...\n"
    "\n"
    "Writes a slide show of the pictures (JPEG, PNG, BMP): the movie and, unless\n"
    "--preview, the page OUTPUT.html beside it with the Ruffle player in ruffle/.\n"
    "\n"
    "  -o, --output FILE   the movie to write\n"
    "  --effect N          transition of the pictures that follow: 0 (random, the\n"
    "                      default) or 1 to 16, see --list-effects\n"
    "  --duration S        display time of the pictures that follow, 1 to 9999\n"
    "                      seconds (default 5)\n"
    "  --preview           preview movie only: no preloader, no page\n"
    "  --compress          write the movie zlib-compressed\n"
    "  --password TEXT     protect the movie against import (an empty text protects too)\n"
    "  --music M           background music: none (the default), a built-in track\n"
    "                      1 \"Step Out\", 2 \"Brightsunray\", 3 \"Merry\", 4 \"The Silent\n"
    "                      River\", or an own MP3 or WAV FILE\n"
    "  --no-loop           play the music once instead of for the whole show\n"
    "  --seed N            draw the random effects repeatably\n"
    "  --yes               create a missing output folder and replace existing files\n"
    "  --language NAME     the language of the messages, from lng/NAME.lng beside\n"
    "                      the program: Deutsch (the default) or English\n"
    "  --serve             serve the output folder on 127.0.0.1 and print the page's\n"
    "                      address, until interrupted\n"
    "  --open              the same, and open the page in the browser\n"
    "  --list-effects      print the effects with their numbers\n"
    "  --version           print the version\n"
    "  -h, --help          print this help\n";

namespace {

int Number(const std::string& option, const std::string& text, long min, long max) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw TUsageError(option + " takes a number from " + std::to_string(min) + " to " +
                          std::to_string(max) + ", not \"" + text + "\"");
    return int(value);
}

} // namespace

TCliOptions ParseCommandLine(const std::vector<std::string>& args) {
    TCliOptions o;
    int effect = 0;
    int duration = 5;
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw TUsageError(a + " needs a value");
            return args[++i];
        };
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            o.Pictures.push_back({a, effect, duration});
        } else if (a == "--") {
            onlyFiles = true;
        } else if (a == "-o" || a == "--output") {
            o.Output = value();
        } else if (a == "--effect") {
            effect = Number(a, value(), 0, 16);
        } else if (a == "--duration") {
            duration = Number(a, value(), 1, 9999);
        } else if (a == "--preview") {
            o.Preview = true;
        } else if (a == "--compress") {
            o.Compress = true;
        } else if (a == "--password") {
            o.Password = true;
            o.PasswordText = value();
        } else if (a == "--music") {
            const std::string& m = value();
            o.MusicFile.clear();
            if (m == "none") {
                o.Music = TAudioChoice::None;
            } else if (m.size() == 1 && m[0] >= '1' && m[0] <= '4') {
                o.Music = TAudioChoice(int(TAudioChoice::Track1) + (m[0] - '1'));
            } else if (m.empty()) {
                throw TUsageError("--music takes none, 1 to 4 or a file, not an empty text");
            } else {
                // "./1" names a file called 1.
                o.Music = TAudioChoice::OwnFile;
                o.MusicFile = m;
            }
        } else if (a == "--no-loop") {
            o.MusicLoop = false;
        } else if (a == "--seed") {
            o.Seed = uint32_t(Number(a, value(), 0, 2147483647));
        } else if (a == "--open") {
            o.Open = true;
        } else if (a == "--serve") {
            o.Serve = true;
        } else if (a == "--yes") {
            o.Yes = true;
        } else if (a == "--language") {
            o.Language = value();
            // A file name in lng/, not a path.
            if (o.Language.empty() || o.Language.find_first_of("/\\") != std::string::npos ||
                o.Language.starts_with("."))
                throw TUsageError("--language takes a name such as English, not \"" + o.Language +
                                  "\"");
        } else if (a == "--list-effects") {
            o.ListEffects = true;
        } else if (a == "--version") {
            o.Version = true;
        } else if (a == "-h" || a == "--help") {
            o.Help = true;
        } else {
            throw TUsageError("unknown option " + a);
        }
    }
    if (o.Help || o.Version || o.ListEffects)
        return o;
    if (o.Output.empty())
        throw TUsageError("no output movie given (-o FILE)");
    if (o.Pictures.empty())
        throw TUsageError("no pictures given");
    if (o.Preview && (o.Open || o.Serve))
        throw TUsageError("--open and --serve show the page, which --preview does not write");
    return o;
}

} // namespace pictova
