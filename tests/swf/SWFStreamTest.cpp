#include "swf/SWFStream.h"
#include "swf/ControlTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Hex;
using test::Saved;
using test::TagBytes;
using test::WalkSwf;

// Incompressible bytes, so that compressed output fills whole 64 KB blocks.
void AppendNoise(TBasedSWFStream& s, int count) {
    uint32_t x = 12345;
    for (int i = 0; i < count; ++i) {
        x = x * 1103515245u + 12345u;
        s.Body().put(char(x >> 24));
    }
}

// A tag whose body is a given number of bytes.
class TSizedTag : public TSWFObject {
public:
    TSizedTag(uint16_t code, size_t size) : Size(size) { TagID = code; }
    void WriteTagBody(TBitsEngine& be) override {
        for (size_t i = 0; i < Size; ++i)
            be.WriteByte(uint8_t(i));
    }
    size_t Size;
};

TEST(SWFStream, DefaultStreamIsThirteenBytes) {
    TBasedSWFStream s;
    EXPECT_EQ(Hex(Saved(s)), "46 57 53 05 0D 00 00 00 00 00 00 00 00");
}

TEST(SWFStream, HeaderOfAPixelUnitMovie) {
    TBasedSWFStream s(0, 0, 550, 400, 12, true);
    EXPECT_EQ(s.HeaderSize(), 21u);
    EXPECT_EQ(s.Width(), 550);
    EXPECT_EQ(s.Height(), 400);
    EXPECT_EQ(s.FrameRect().Right, 11000);
    s.SetFrameCount(1);
    EXPECT_EQ(Hex(Saved(s)), "46 57 53 05 15 00 00 00 "    // FWS, version 5, length 21
                             "78 00 05 5F 00 00 0F A0 00 " // RECT 0..11000, 0..8000
                             "00 0C "                      // 12.0 fps
                             "01 00");                     // one frame
    // Changing the unit flag later does not rescale the stage.
    s.SetSystemCoord(false);
    EXPECT_EQ(s.FrameRect().Right, 11000);
    EXPECT_EQ(s.Width(), 11000);
}

TEST(SWFStream, CompressionRaisesTheVersion) {
    TBasedSWFStream s;
    s.SetCompressed(true);
    EXPECT_EQ(s.Version(), 6);
    s.SetVersion(5);
    EXPECT_EQ(s.Version(), 6);
    s.SetVersion(8);
    EXPECT_EQ(s.Version(), 8);
    s.SetCompressed(false);
    s.SetVersion(5);
    EXPECT_EQ(s.Version(), 5);
}

TEST(SWFStream, CompressedFileInflatesToTheSameMovie) {
    TBasedSWFStream s(0, 0, 320, 240, 20, true);
    TBitsEngine be(s.Body());
    TSWFSetBackgroundColor bg;
    bg.Color.SetRGB(MakeRGB(10, 20, 30));
    bg.WriteToStream(be);
    TSWFShowFrame().WriteToStream(be);
    TSWFEnd().WriteToStream(be);
    s.SetFrameCount(1);
    const std::string plain = Saved(s);
    s.SetCompressed(true);
    const std::string packed = Saved(s);
    ASSERT_EQ(packed.substr(0, 4), Bytes({'C', 'W', 'S', 6}));
    EXPECT_EQ(packed.substr(4, 4), plain.substr(4, 4)); // uncompressed length
    const std::string inflated = test::Inflate(packed.substr(8));
    EXPECT_EQ(inflated.size(), plain.size() - 8);
    EXPECT_EQ(inflated, plain.substr(8));
    const auto walked = WalkSwf(packed);
    ASSERT_EQ(walked.Tags.size(), 3u);
    EXPECT_EQ(walked.Tags[0].Body, Bytes({10, 20, 30}));
}

TEST(SWFStream, CompressionReportsProgressPerOutputBlock) {
    TBasedSWFStream s;
    s.SetCompressed(true);
    AppendNoise(s, 300000);
    std::vector<int> percents;
    s.OnProgress = [&](TBasedSWFStream& sender, int percent, int stage) {
        EXPECT_EQ(&sender, &s);
        EXPECT_EQ(stage, 2);
        percents.push_back(percent);
    };
    const std::string packed = Saved(s);
    ASSERT_GE(percents.size(), 4u);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_GT(percents.front(), 15);
    EXPECT_LE(percents.back(), 101);
    EXPECT_EQ(test::Inflate(packed.substr(8)).size(), 300000u + 5);
}

// A sink that discards what it is given and notes the largest amount of heap
// in use (glibc's count) at each write: a copy of the body made for saving is
// alive while the body is written out.
class THeapWatchingSink : public std::streambuf {
public:
    static size_t HeapInUse() {
        const struct mallinfo2 m = ::mallinfo2();
        return m.uordblks + m.hblkhd;
    }
    size_t Highest = 0;
    std::streamsize Written = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        Highest = std::max(Highest, HeapInUse());
        Written += n;
        return n;
    }
    int overflow(int c) override {
        Highest = std::max(Highest, HeapInUse());
        if (c != traits_type::eof())
            ++Written;
        return traits_type::not_eof(c);
    }
};

TEST(SWFStream, SavingDoesNotCopyTheBody) {
    if (THeapWatchingSink::HeapInUse() == 0)
        GTEST_SKIP() << "the allocator does not report its use (sanitizer build)";
    constexpr int kBody = 4 << 20;
    std::string noise(kBody, '\0');
    uint32_t x = 1;
    for (char& c : noise)
        c = char((x = x * 1103515245u + 12345u) >> 24);
    for (const bool compressed : {false, true}) {
        TBasedSWFStream s;
        s.SetCompressed(compressed);
        s.Body().write(noise.data(), kBody);
        THeapWatchingSink sink;
        std::ostream out(&sink);
        const size_t before = THeapWatchingSink::HeapInUse();
        s.SaveToStream(out);
        EXPECT_GT(sink.Written, compressed ? kBody / 2 : kBody) << compressed;
        // zlib's state and one output block, far below the 4 MiB of a copy.
        EXPECT_LT(sink.Highest - std::min(sink.Highest, before), size_t(1) << 20) << compressed;
    }
}

TEST(TagFraming, ShortAndLongHeaders) {
    struct Row {
        uint16_t Code;
        size_t Size;
        bool Long;
    };
    const Row rows[] = {
        {9, 0, false},  {9, 62, false}, {9, 63, true},  {9, 64, true},
        {20, 10, true}, {36, 10, true}, {60, 10, true}, {21, 10, false},
    };
    for (const Row& r : rows) {
        TSizedTag tag(r.Code, r.Size);
        const std::string bytes = TagBytes(tag);
        const size_t header = r.Long ? 6 : 2;
        ASSERT_EQ(bytes.size(), header + r.Size) << r.Code << "/" << r.Size;
        const unsigned word = uint8_t(bytes[0]) | uint8_t(bytes[1]) << 8;
        EXPECT_EQ(word >> 6, r.Code);
        EXPECT_EQ(word & 63, r.Long ? 63u : r.Size);
        if (r.Long) {
            EXPECT_EQ(bytes.substr(2, 4), Bytes({int(r.Size), 0, 0, 0}));
        }
        EXPECT_EQ(tag.BodySize, r.Size);
    }
}

TEST(TagFraming, WriteTagHeaderCopiesABody) {
    std::istringstream body(std::string(70, 'x'));
    std::ostringstream out;
    WriteTagHeader(out, tagDefineSprite, body);
    EXPECT_EQ(Hex(out.str().substr(0, 6)), "FF 09 46 00 00 00");
    EXPECT_EQ(out.str().size(), 76u);
}

TEST(ControlTags, GoldenBytes) {
    TSWFEnd end;
    TSWFShowFrame show;
    TSWFProtect protect;
    TSWFSetTabIndex tab;
    tab.Depth = 3;
    tab.TabIndex = 0x0102;
    TSWFScriptLimits limits;
    limits.MaxRecursionDepth = 256;
    limits.ScriptTimeoutSeconds = 15;
    TSWFSetBackgroundColor bg;
    bg.Color.SetRGB(MakeRGB(0xF5, 0xF5, 0xF0));
    EXPECT_EQ(Hex(TagBytes(end)), "00 00");
    EXPECT_EQ(Hex(TagBytes(show)), "40 00");
    EXPECT_EQ(Hex(TagBytes(protect)), "00 06");
    EXPECT_EQ(Hex(TagBytes(tab)), "84 10 03 00 02 01");
    EXPECT_EQ(Hex(TagBytes(limits)), "44 10 00 01 0F 00");
    EXPECT_EQ(Hex(TagBytes(bg)), "43 02 F5 F5 F0");
    EXPECT_EQ(protect.MinVersion(), 2);
    EXPECT_EQ(tab.MinVersion(), 7);
    EXPECT_EQ(limits.MinVersion(), 7);
}

TEST(ControlTags, FrameLabelAnchor) {
    TSWFFrameLabel label("intro");
    EXPECT_EQ(TagBytes(label), Bytes({0xC6, 0x0A, 'i', 'n', 't', 'r', 'o', 0}));
    EXPECT_EQ(label.MinVersion(), 3);
    label.NamedAnchor = true;
    EXPECT_EQ(TagBytes(label), Bytes({0xC7, 0x0A, 'i', 'n', 't', 'r', 'o', 0, 1}));
    EXPECT_EQ(label.MinVersion(), 6);
}

TEST(ControlTags, ProtectWithPasswordStoresAFreshHash) {
    TSWFProtect protect;
    protect.Password = "geheim";
    EXPECT_EQ(protect.MinVersion(), 5);
    const std::string first = TagBytes(protect);
    ASSERT_EQ(first.size(), 2u + 31u);
    EXPECT_EQ(Hex(first.substr(0, 4)), "1F 06 00 00"); // code 24, 31 bytes; reserved word
    EXPECT_EQ(first.substr(4, 3), "$1$");
    EXPECT_EQ(first.back(), '\0');
    EXPECT_EQ(protect.Hash, first.substr(4, 28));
    // A new salt on each write: two writes almost never agree.
    std::string second;
    for (int i = 0; i < 5 && (second.empty() || second == first); ++i)
        second = TagBytes(protect);
    EXPECT_NE(second, first);

    TSWFEnableDebugger2 debugger;
    debugger.Password = "x";
    EXPECT_EQ(TagBytes(debugger)[0] & 0xFF, (64 * 64 + 31) & 0xFF);
    EXPECT_EQ(debugger.MinVersion(), 6);
    EXPECT_EQ(TSWFEnableDebugger().MinVersion(), 5);
}

TEST(ControlTags, AssetsAndAssign) {
    TSWFImportAssets import;
    import.URL = "lib.swf";
    import.AddAsset("Logo", 0x0203);
    EXPECT_EQ(TagBytes(import), Bytes({0x51, 0x0E, 'l', 'i', 'b', '.', 's', 'w', 'f', 0, //
                                       1, 0,                                             // count
                                       3, 2, 'L', 'o', 'g', 'o', 0}));
    TSWFImportAssets copy;
    copy.Assign(import);
    EXPECT_EQ(TagBytes(copy), TagBytes(import));
    EXPECT_EQ(copy.BodySize, import.BodySize);
    TSWFFrameLabel label;
    EXPECT_THROW(label.Assign(import), std::bad_cast);
}

class SaveToFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("pictova-save-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    fs::path Dir;
};

TEST_F(SaveToFileTest, WritesAndReplaces) {
    const fs::path file = Dir / "movie.swf";
    std::ofstream(file) << "old content that is longer than the movie";
    TBasedSWFStream s;
    s.SaveToFile(file);
    EXPECT_EQ(test::ReadFileBytes(file), Saved(s));
    // Nothing but the movie is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0044, 0u); // readable by others like any new file
}

// A failed save must leave the user's old movie as it was.
TEST_F(SaveToFileTest, FailedWriteKeepsTheOldFile) {
    const fs::path file = Dir / "movie.swf";
    std::ofstream(file) << "old movie";
    TBasedSWFStream s;
    s.OnProgress = [](TBasedSWFStream&, int, int) { throw std::runtime_error("interrupted"); };
    s.SetCompressed(true);
    AppendNoise(s, 200000);
    EXPECT_THROW(s.SaveToFile(file), std::runtime_error);
    EXPECT_EQ(test::ReadFileBytes(file), "old movie");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
}

// The rename at the end can fail too; the temporary file must not stay behind.
TEST_F(SaveToFileTest, TargetThatIsAFolderIsAnError) {
    const fs::path target = Dir / "movie.swf";
    fs::create_directories(target / "inside");
    TBasedSWFStream s;
    try {
        s.SaveToFile(target);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("movie.swf"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1);
}

TEST_F(SaveToFileTest, MissingFolderIsAnErrorNamingTheFile) {
    TBasedSWFStream s;
    try {
        s.SaveToFile(Dir / "no-such-folder" / "movie.swf");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("movie.swf"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace pictova
