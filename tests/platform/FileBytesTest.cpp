#include "platform/FileBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace pictova {
namespace {

// Sizes around the first read (the file's size plus one) and the 256 KiB
// blocks that follow it; the vector keeps no room beyond that one byte.
TEST(FileBytes, ReadsWholeFilesWithoutSpareRoom) {
    test::TempDir dir;
    for (const size_t size : {size_t(0), size_t(1), size_t(256 * 1024), size_t(256 * 1024 + 1),
                              size_t(3'000'001)}) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i)
            content[i] = char(i * 7 + i / 251);
        const auto file = dir / ("f" + std::to_string(size));
        test::WriteFile(file, content);
        const auto bytes = ReadFileBytes(file);
        ASSERT_TRUE(bytes) << size;
        EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content) << size;
        EXPECT_LE(bytes->capacity(), size + 1) << size;
    }
}

TEST(FileBytes, MissingFileGivesNothing) {
    test::TempDir dir;
    EXPECT_FALSE(ReadFileBytes(dir / "missing.jpg"));
}

// Files whose stated size is wrong (here 0) are read to their end all the same.
TEST(FileBytes, SizeIsOnlyAHint) {
    const auto bytes = ReadFileBytes("/proc/self/status");
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 5u);
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 5), "Name:");
}

} // namespace
} // namespace pictova
