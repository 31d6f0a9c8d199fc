#include "platform/File.h"

#include <gtest/gtest.h>

#include "tests/fixtures/TempFolder.h"

TEST(File, GamePathsUseBackslashesAndIgnoreCase) {
    TempFolder tmp;
    tmp.Write("Data/Mesh/Tree.DRM", "mesh");
    std::string game = tmp.path() + "\\DATA\\mesh\\tree.drm";
    EXPECT_EQ(platform::HostPath(game), tmp.path() + "/Data/Mesh/Tree.DRM");
    EXPECT_TRUE(platform::FileExists(game));
    EXPECT_EQ(platform::FileSize(game), 4);
    // A file about to be created keeps the spelling of its missing parts.
    EXPECT_EQ(platform::HostPath(tmp.path() + "\\data\\New\\X.DAT"), tmp.path() + "/Data/New/X.DAT");
}

TEST(File, ShortReadsAreReportedAndSeekWorks) {
    TempFolder tmp;
    std::string p = tmp.Write("a.bin", "0123456789");
    platform::File f;
    ASSERT_TRUE(f.Open(p, platform::File::Mode::Read));
    EXPECT_EQ(f.Size(), 10);
    char buf[16];
    size_t done = 0;
    ASSERT_TRUE(f.Seek(6, platform::File::Origin::Begin));
    EXPECT_TRUE(f.Read(buf, sizeof(buf), &done));
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(std::string(buf, done), "6789");
    EXPECT_TRUE(f.Read(buf, 1, &done));
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(platform::File().Open(tmp.Path("missing"), platform::File::Mode::Read));
}

TEST(File, FolderWalkIsSortedAndFoldersAreCreated) {
    TempFolder tmp;
    tmp.Write("b.txt", "");
    tmp.Write("a.txt", "");
    ASSERT_TRUE(platform::CreateFolders(tmp.path() + "\\x\\y\\z"));
    EXPECT_TRUE(platform::FolderExists(tmp.path() + "\\X\\Y"));
    auto entries = platform::ListFolder(tmp.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "a.txt");
    EXPECT_EQ(entries[1].name, "b.txt");
    EXPECT_TRUE(entries[2].isFolder);
    EXPECT_FALSE(platform::ExecutablePath().empty());
}
