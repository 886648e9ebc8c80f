#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictova {
namespace {

using TArgs = std::vector<std::string>;

TEST(CliOptions, EffectAndDurationApplyToThePicturesThatFollow) {
    const TCliOptions o = ParseCommandLine({"a.jpg", "--effect", "3", "b.png", "-o", "out.swf",
                                            "--duration", "7", "c.bmp", "--effect", "0", "d.jpg"});
    EXPECT_EQ(o.Output, "out.swf");
    ASSERT_EQ(o.Pictures.size(), 4u);
    const std::pair<int, int> expected[] = {{0, 5}, {3, 5}, {3, 7}, {0, 7}}; // effect, seconds
    const char* files[] = {"a.jpg", "b.png", "c.bmp", "d.jpg"};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(o.Pictures[i].File, files[i]);
        EXPECT_EQ(o.Pictures[i].Effect, expected[i].first);
        EXPECT_EQ(o.Pictures[i].Duration, expected[i].second);
    }
}

TEST(CliOptions, SwitchesAndValues) {
    const TCliOptions o =
        ParseCommandLine({"--output", "x.swf", "--compress", "--password", "", "--seed", "4294967",
                          "--yes", "--serve", "--", "--effect", "-"});
    EXPECT_TRUE(o.Compress);
    EXPECT_TRUE(o.Password); // an empty text protects too
    EXPECT_EQ(o.PasswordText, "");
    ASSERT_TRUE(o.Seed);
    EXPECT_EQ(*o.Seed, 4294967u);
    EXPECT_TRUE(o.Yes);
    EXPECT_TRUE(o.Serve);
    EXPECT_EQ(o.Language, "Deutsch");
    EXPECT_EQ(ParseCommandLine({"-o", "x.swf", "--language", "English", "a.jpg"}).Language,
              "English");
    EXPECT_FALSE(o.Preview || o.Open);
    // After "--" everything is a picture; so is "-".
    ASSERT_EQ(o.Pictures.size(), 2u);
    EXPECT_EQ(o.Pictures[0].File, "--effect");
    EXPECT_EQ(o.Pictures[1].File, "-");

    EXPECT_TRUE(ParseCommandLine({"--preview", "-o", "p.swf", "a.jpg"}).Preview);
    // Information requests need no movie.
    EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
    EXPECT_TRUE(ParseCommandLine({"-h"}).Help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
    EXPECT_TRUE(ParseCommandLine({"--list-effects"}).ListEffects);
}

TEST(CliOptions, WrongCommandLinesAreUsageErrorsNamingTheArgument) {
    struct Row {
        TArgs Args;
        std::string Named; // what the message must mention
    };
    const Row rows[] = {
        {{"-o", "x.swf", "--effect", "17", "a.jpg"}, "17"},
        {{"-o", "x.swf", "--effect", "-1", "a.jpg"}, "-1"},
        {{"-o", "x.swf", "--effect", "3x", "a.jpg"}, "3x"},
        {{"-o", "x.swf", "--effect", "", "a.jpg"}, "--effect"},
        {{"-o", "x.swf", "--effect", " 3", "a.jpg"}, "--effect"},
        {{"-o", "x.swf", "--duration", "0", "a.jpg"}, "--duration"},
        {{"-o", "x.swf", "--duration", "10000", "a.jpg"}, "10000"},
        {{"-o", "x.swf", "--duration", "5.5", "a.jpg"}, "5.5"},
        {{"-o", "x.swf", "--duration", "99999999999999999999", "a.jpg"}, "--duration"},
        {{"-o", "x.swf", "--seed", "-1", "a.jpg"}, "--seed"},
        {{"-o", "x.swf", "a.jpg", "--duration"}, "--duration"},
        {{"-o"}, "-o"},
        {{"-o", "x.swf", "--password"}, "--password"},
        {{"-o", "x.swf", "--bogus", "a.jpg"}, "--bogus"},
        {{"a.jpg"}, "-o"},
        {{"--effect", "3", "a.jpg"}, "-o"},
        {{"-o", "x.swf"}, "Bilder"},
        {{"-o", "x.swf", "--preview", "--open", "a.jpg"}, "--preview"},
        {{"-o", "x.swf", "--preview", "--serve", "a.jpg"}, "--preview"},
        // A language is a file name in lng/, never a path.
        {{"-o", "x.swf", "--language", "", "a.jpg"}, "--language"},
        {{"-o", "x.swf", "--language", "../English", "a.jpg"}, "../English"},
        {{"-o", "x.swf", "--language", "/etc/passwd", "a.jpg"}, "/etc/passwd"},
        {{"-o", "x.swf", "a.jpg", "--language"}, "--language"},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& a : row.Args)
            line += "[" + a + "]";
        SCOPED_TRACE(line);
        try {
            ParseCommandLine(row.Args);
            ADD_FAILURE() << "accepted";
        } catch (const TUsageError& e) {
            EXPECT_NE(std::string(e.what()).find(row.Named), std::string::npos) << e.what();
        }
    }
}

TEST(CliOptions, NumberLimitsAreInclusive) {
    const TCliOptions o = ParseCommandLine({"-o", "x.swf", "--effect", "16", "--duration", "9999",
                                            "a.jpg", "--effect", "0", "--duration", "1", "b.jpg"});
    EXPECT_EQ(o.Pictures[0].Effect, 16);
    EXPECT_EQ(o.Pictures[0].Duration, 9999);
    EXPECT_EQ(o.Pictures[1].Effect, 0);
    EXPECT_EQ(o.Pictures[1].Duration, 1);
}

TCliOptions ParseWithPicture(std::vector<std::string> extra) {
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
        const TCliOptions o = ParseWithPicture(c.Args);
        EXPECT_EQ(o.Music, c.Music) << testing::PrintToString(c.Args);
        EXPECT_EQ(o.MusicFile.string(), c.File) << testing::PrintToString(c.Args);
        EXPECT_EQ(o.MusicLoop, c.Loop) << testing::PrintToString(c.Args);
    }
    EXPECT_THROW(ParseWithPicture({"--music", ""}), TUsageError);
    EXPECT_THROW(ParseCommandLine({"-o", "show.swf", "a.jpg", "--music"}), TUsageError);
}

} // namespace
} // namespace pictova
