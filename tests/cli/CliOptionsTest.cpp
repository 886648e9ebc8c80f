#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictova {
namespace {

TCliOptions Parse(std::vector<std::string> extra) {
    std::vector<std::string> args = {"-o", "show.swf"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back("a.jpg");
    return ParseCommandLine(args);
}

TEST(CliOptions, MusicChoices) {
    const struct Case {
        std::vector<std::string> Args;
        TAudioChoice Music;
        std::string File;
        bool Loop;
    } cases[] = {
        {{}, TAudioChoice::None, "", true},
        {{"--music", "none"}, TAudioChoice::None, "", true},
        {{"--music", "1"}, TAudioChoice::Track1, "", true},
        {{"--music", "4", "--no-loop"}, TAudioChoice::Track4, "", false},
        {{"--music", "song.wav"}, TAudioChoice::OwnFile, "song.wav", true},
        {{"--music", "./1"}, TAudioChoice::OwnFile, "./1", true},
        {{"--music", "5"}, TAudioChoice::OwnFile, "5", true}, // a file of that name
        {{"--music", "x.mp3", "--music", "2"}, TAudioChoice::Track2, "", true}, // the last counts
    };
    for (const Case& c : cases) {
        const TCliOptions o = Parse(c.Args);
        EXPECT_EQ(o.Music, c.Music) << testing::PrintToString(c.Args);
        EXPECT_EQ(o.MusicFile.string(), c.File) << testing::PrintToString(c.Args);
        EXPECT_EQ(o.MusicLoop, c.Loop) << testing::PrintToString(c.Args);
    }
    EXPECT_THROW(Parse({"--music", ""}), TUsageError);
    EXPECT_THROW(ParseCommandLine({"-o", "show.swf", "a.jpg", "--music"}), TUsageError);
}

} // namespace
} // namespace pictova
