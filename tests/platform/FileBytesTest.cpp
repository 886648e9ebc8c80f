#include "platform/FileBytes.h"

#include "platform/Errors.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace pictova {
namespace {

namespace fs = std::filesystem;

// Sizes around the first read (the file's size plus one) and the 256 KiB
// blocks that follow it; the vector keeps no room beyond that one byte.
TEST(FileBytes, ReadsWholeFilesWithoutSpareRoom) {
    test::TempDir dir;
    for (const size_t size :
         {size_t(0), size_t(1), size_t(256 * 1024), size_t(256 * 1024 + 1), size_t(3'000'001)}) {
        std::string content(size, '\0');
        for (size_t i = 0; i < size; ++i)
            content[i] = char(i * 7 + i / 251);
        const auto file = dir / ("f" + std::to_string(size));
        test::WriteFile(file, content);
        const auto bytes = ReadFileBytes(file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content) << size;
        EXPECT_LE(bytes.capacity(), size + 1) << size;
    }
}

// The error keeps the file, the step that failed and the errno, so that the
// message can say why.
TEST(FileBytes, FailuresNameTheFileAndTheReason) {
    test::TempDir dir;
    fs::create_directory(dir / "folder.jpg");
    const struct Row {
        fs::path File;
        TFileAction Action;
        int Errno;
    } rows[] = {
        {dir / "missing.jpg", TFileAction::Open, ENOENT},
        {dir / "missing" / "in-a-missing-folder.jpg", TFileAction::Open, ENOENT},
        {dir / "folder.jpg", TFileAction::Read, EISDIR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.File.string());
        try {
            ReadFileBytes(row.File);
            ADD_FAILURE() << "no error";
        } catch (const EFileError& e) {
            EXPECT_EQ(e.File(), row.File);
            EXPECT_EQ(e.Action(), row.Action);
            EXPECT_EQ(e.Errno(), row.Errno);
            const std::string what = e.what();
            EXPECT_NE(what.find(row.File.string()), std::string::npos) << what;
            EXPECT_NE(what.find(std::strerror(row.Errno)), std::string::npos) << what;
        }
    }
}

// Files whose stated size is wrong (here 0) are read to their end all the same.
TEST(FileBytes, SizeIsOnlyAHint) {
    const auto bytes = ReadFileBytes("/proc/self/status");
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "Name:");
}

} // namespace
} // namespace pictova
