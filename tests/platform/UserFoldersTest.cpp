#include "platform/UserFolders.h"
#include "platform/ProgramFolder.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace pictova {
namespace {

namespace fs = std::filesystem;

TEST(UserFolders, DocumentsFolderFromTheXdgUserDirs) {
    test::TempDir dir;
    const test::ScopedEnv home("HOME", dir.path().string());
    const test::ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").string());
    {
        const test::ScopedEnv documents("XDG_DOCUMENTS_DIR", "/srv/docs");
        EXPECT_EQ(DocumentsFolder(), fs::path("/srv/docs"));
    }
    const test::ScopedEnv documents("XDG_DOCUMENTS_DIR", std::nullopt);
    EXPECT_EQ(DocumentsFolder(), dir / "Documents");
    fs::create_directory(dir / "cfg");
    test::WriteFile(dir / "cfg" / "user-dirs.dirs",
                    "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(DocumentsFolder(), dir / "Dokumente");
    test::WriteFile(dir / "cfg" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/data/Dokumente\"\n");
    EXPECT_EQ(DocumentsFolder(), fs::path("/data/Dokumente"));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    const fs::path folder = ProgramFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "platform_tests"));
}

} // namespace
} // namespace pictova
