#include "cli/CliOptions.h"

#include "app/UserTexts.h"

#include <charconv>
#include <utility>

namespace pictova {

TUsageError::TUsageError(std::string key, std::vector<std::string> args)
    : std::runtime_error(BuiltInText("Usage", key, args)), FKey(std::move(key)),
      FArgs(std::move(args)) {}

namespace {

int Number(const std::string& option, const std::string& text, long min, long max) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw TUsageError("NumberRange", {option, std::to_string(min), std::to_string(max), text});
    return int(value);
}

// A file name in lng/, not a path.
bool IsLanguageName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos &&
           !name.starts_with(".");
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
                throw TUsageError("NeedsValue", {a});
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
                throw TUsageError("MusicEmpty", {});
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
            if (!IsLanguageName(o.Language))
                throw TUsageError("LanguageName", {o.Language});
        } else if (a == "--list-effects") {
            o.ListEffects = true;
        } else if (a == "--version") {
            o.Version = true;
        } else if (a == "-h" || a == "--help") {
            o.Help = true;
        } else {
            throw TUsageError("UnknownOption", {a});
        }
    }
    if (o.Help || o.Version || o.ListEffects)
        return o;
    if (o.Output.empty())
        throw TUsageError("NoOutput", {});
    if (o.Pictures.empty())
        throw TUsageError("NoPictures", {});
    if (o.Preview && (o.Open || o.Serve))
        throw TUsageError("PreviewShowsNoPage", {});
    return o;
}

std::string CommandLineLanguage(const std::vector<std::string>& args) {
    std::string language = "Deutsch";
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--")
            break;
        if (args[i] == "--language" && IsLanguageName(args[i + 1]))
            language = args[++i];
    }
    return language;
}

std::string UsageText(std::string_view helpText) {
    std::string text;
    for (size_t i = 0; i < helpText.size(); ++i) {
        if (helpText[i] == '\\' && i + 1 < helpText.size() && helpText[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += helpText[i];
        }
    }
    return text;
}

} // namespace pictova
