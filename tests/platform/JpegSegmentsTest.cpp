#include "platform/JpegSegments.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

// The walk as text: one "marker@offset+length" per segment.
std::string Walk(const std::vector<std::uint8_t>& bytes, std::uint64_t maxSteps = UINT64_MAX) {
    TMemorySource source(bytes);
    TJpegSegmentWalker walker(source, maxSteps);
    TJpegSegment s;
    std::string out;
    while (walker.Next(s)) {
        char row[32];
        std::snprintf(row, sizeof row, "%s%02X@%u+%u", out.empty() ? "" : " ", s.Marker,
                      unsigned(s.Offset), unsigned(s.Length));
        out += row;
    }
    return out;
}

TEST(JpegSegments, WalkStopsWhereTheMarkersStop) {
    struct Row {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        std::string Walk;
    };
    const Row rows[] = {
        {"segments and a scan",
         {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0xAA, 0xBB, 0xFF, 0xDA, 0x00, 0x02},
         "E0@4+4 DA@10+2"},
        {"fill bytes before a code", {0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xC0, 0x00, 0x02}, "C0@6+2"},
        {"TEM and RST without length",
         {0xFF, 0xD8, 0xFF, 0x01, 0xFF, 0xD3, 0xFF, 0xFE, 0x00, 0x02},
         "01@4+0 D3@6+0 FE@8+2"},
        {"length below 2 is the last",
         {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x01, 0xFF, 0xC0, 0x00, 0x02},
         "C4@4+1"},
        {"bytes between segments",
         {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x02, 0x00, 0xFF, 0xC0},
         "E1@4+2"},
        {"segment past the end", {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x09, 0x00}, "E1@4+9"},
        {"length cut short", {0xFF, 0xD8, 0xFF, 0xC0, 0x00}, ""},
        {"no start marker", {0xFF, 0xD9, 0xFF, 0xC0, 0x00, 0x02}, ""},
        {"empty", {}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Walk(row.Bytes), row.Walk) << row.Name;
}

TEST(JpegSegments, StepBoundCountsFillBytes) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xD8};
    bytes.insert(bytes.end(), 10, 0xFF);
    bytes.insert(bytes.end(), {0xC0, 0x00, 0x02});
    EXPECT_EQ(Walk(bytes, 10), "C0@13+2");
    EXPECT_EQ(Walk(bytes, 9), "");
}

TEST(JpegSegments, FileSourceReadsAsMemoryDoes) {
    // Reads on from the last one, jumps back, and past the end.
    test::TempDir dir;
    test::WriteFile(dir / "bytes", "0123456789");
    std::ifstream in(dir / "bytes", std::ios::binary);
    TFileSource source(in);
    std::uint8_t buf[4];
    ASSERT_TRUE(source.Read(2, buf));
    EXPECT_EQ(std::string(buf, buf + 4), "2345");
    ASSERT_TRUE(source.Read(6, buf));
    EXPECT_EQ(std::string(buf, buf + 4), "6789");
    EXPECT_FALSE(source.Read(8, buf));
    ASSERT_TRUE(source.Read(0, buf));
    EXPECT_EQ(std::string(buf, buf + 4), "0123");
}

} // namespace
} // namespace pictova
