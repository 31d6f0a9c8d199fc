#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "engine/core/NameHash.h"
#include "platform/File.h"
#include "tools/PackageWriter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/fixtures/TempFolder.h"

namespace {

// A game folder with loose files and one package listed in PACKAGELIST.DRL.
struct GameFolder {
    TempFolder tmp;
    CErrorReport report;
    CFileIndex index;
    CPackageWriter package{"DATA1.DRP"};

    GameFolder() {
        index.SetBaseFolder(tmp.path());
        tmp.Write("A/ONE.DAT", "first");
        tmp.Write("B/ONE.DAT", "second");
        tmp.Write("B/notes.TXT", "x");
        tmp.Write("B/sh.fx", "shader");
        tmp.Write("B/A.FX", "too short a name");
        tmp.Write("LOOSE.DDS", "loose copy");
        package.Add("LOOSE.DDS", std::string("packed copy"));
        package.Add("MSG.DAT", std::string("[MESSAGE]\nMSG_OK=OK\n"));
        package.Add("TINY.DAT", std::vector<uint8_t>{1, 2, 3}, false);
    }

    void WriteAndLoad() {
        ASSERT_TRUE(package.WritePackage(tmp.path() + "\\PACK"));
        ASSERT_TRUE(CPackageWriter::WriteList(tmp.Path("PACKAGELIST.DRL"), {&package}));
        index.ScanFolder(".");
        ASSERT_TRUE(index.LoadPackageList("PACKAGELIST.DRL"));
    }
};

}  // namespace

TEST(FileIndex, IndexedExtensions) {
    struct Case {
        const char* name;
        bool indexed;
    } cases[] = {{"a.dds", true}, {"MAP.DRM", true}, {"xy.fx", true}, {"x.fx", false},  {"x.FXO", true}, {"A.FX", false},
                 {"a.txt", false}, {"abc", false},   {"ZZ.Ogg", true}, {"a.DRL", true}, {"q.fxo.bak", false}};
    for (const Case& c : cases) EXPECT_EQ(IsIndexedExtension(c.name), c.indexed) << c.name;
}

TEST(FileIndex, ScanKeepsTheFirstFileOfANameAndResolvesPackagesFirst) {
    GameFolder g;
    g.WriteAndLoad();
    EXPECT_TRUE(g.index.HasFile("ONE.DAT"));
    EXPECT_FALSE(g.index.HasFile("notes.TXT"));
    EXPECT_TRUE(g.index.HasFile("sh.fx"));
    EXPECT_FALSE(g.index.HasFile("A.FX"));
    EXPECT_FALSE(g.index.HasFile("one.dat"));  // keys are case-sensitive

    uint32_t offset = 99, size = 99;
    std::string one = g.index.ResolvePath("ONE.DAT", &offset, &size);
    EXPECT_EQ(one, g.tmp.path() + "\\A\\ONE.DAT");
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(size, 0u);

    // The listed name wins over the loose file of the same name.
    std::string packed = g.index.ResolvePath("LOOSE.DDS", &offset, &size);
    EXPECT_EQ(packed, g.tmp.path() + "\\PACK\\DATA1.DRP");
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(size, 11u + 16u);
    EXPECT_EQ(g.index.ResolvePath("MSG.DAT", nullptr, nullptr), packed);

    EXPECT_EQ(g.index.ResolvePath("NOWHERE.DAT", &offset, &size), "");
    // A name that is neither indexed nor listed is tried as a path.
    std::string direct = g.tmp.Write("plain.txt", "x");
    EXPECT_EQ(g.index.ResolvePath(direct.c_str(), nullptr, nullptr), direct);
}

TEST(FileIndex, DigestsOfEntriesAndFiles) {
    GameFolder g;
    g.WriteAndLoad();
    uint8_t digest[16];
    EXPECT_EQ(g.index.ComputeFileDigest("MSG.DAT", digest, true), 1);
    uint8_t expected[16];
    const char* text = "[MESSAGE]\nMSG_OK=OK\n";
    platform::Md5(text, std::strlen(text), expected);
    EXPECT_EQ(std::memcmp(digest, expected, 16), 0);
    EXPECT_EQ(g.index.ComputeFileDigest("LOOSE.DDS", nullptr, true), 1);
    EXPECT_EQ(g.index.ComputeFileDigest("TINY.DAT", digest, true), 0);   // shorter than a digest
    EXPECT_EQ(g.index.ComputeFileDigest("TINY.DAT", digest, false), 1);  // summed whole without compare
    EXPECT_EQ(g.index.ComputeFileDigest("", digest, false), 0);
    EXPECT_EQ(g.index.ComputeFileDigest("ONE.DAT", digest, true), 0);  // loose file without a digest

    // One flipped byte in the package fails its entry's check only.
    std::string pack = g.tmp.Path("PACK/DATA1.DRP");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(pack, bytes));
    bytes[g.package.Records()[1].offset + 3] ^= 0x01;
    ASSERT_TRUE(platform::WriteWholeFile(pack, bytes.data(), bytes.size()));
    EXPECT_EQ(g.index.ComputeFileDigest("MSG.DAT", digest, true), 0);
    EXPECT_EQ(g.index.ComputeFileDigest("LOOSE.DDS", digest, true), 1);
}

TEST(FileIndex, HostileListsFailCleanly) {
    GameFolder g;
    ASSERT_TRUE(g.package.WritePackage(g.tmp.path()));
    g.index.ScanFolder(".");
    uint32_t packHash = NameHash("DATA1.DRP");
    uint32_t msgHash = NameHash("MSG.DAT");

    // A count larger than the records that follow refuses the whole list.
    std::vector<unsigned char> big = {0xFF, 0xFF, 0xFF, 0x7F};
    g.tmp.Write("BAD1.DRL", big);
    EXPECT_EQ(g.index.LoadPackageList(g.tmp.Path("BAD1.DRL").c_str()), 0);
    EXPECT_FALSE(g.index.HasPackages());
    g.tmp.Write("BAD2.DRL", std::vector<unsigned char>{1, 0});
    EXPECT_EQ(g.index.LoadPackageList(g.tmp.Path("BAD2.DRL").c_str()), 0);

    // Entries outside their package, or in a package that is not there, are dropped.
    std::vector<CPackageWriter::Record> records = {
        {msgHash, packHash, 0xFFFFFFF0u, 0x20u},               // runs past the end (and would wrap in 32 bits)
        {NameHash("X.DAT"), NameHash("NOPE.DRP"), 4, 0},       // missing package
        {NameHash("LOOSE.DDS"), packHash, 27, 0},              // fine
    };
    ASSERT_TRUE(CPackageWriter::WriteListRecords(g.tmp.Path("MIXED.DRL"), records));
    EXPECT_EQ(g.index.LoadPackageList(g.tmp.Path("MIXED.DRL").c_str()), 1);
    EXPECT_EQ(g.index.PackageEntryCount(), 1u);
    EXPECT_EQ(g.index.FindPackageEntry("MSG.DAT"), nullptr);

    // A missing list is no error: every file is loose.
    EXPECT_EQ(g.index.LoadPackageList("NOLIST.DRL"), 1);
    EXPECT_FALSE(g.index.HasPackages());
}

TEST(FileIndex, AHashCollisionNeverYieldsTheOtherFile) {
    // "Az" and "BY" share their djb2 value: 65 * 33 + 122 == 66 * 33 + 89.
    ASSERT_EQ(NameHash("Az.DDS"), NameHash("BY.DDS"));
    TempFolder tmp;
    CFileIndex index;
    index.SetBaseFolder(tmp.path());
    tmp.Write("Az.DDS", "az");
    tmp.Write("sub/BY.DDS", "by");
    index.ScanFolder(".");
    EXPECT_EQ(index.ResolvePath("Az.DDS", nullptr, nullptr), tmp.path() + "\\Az.DDS");
    EXPECT_EQ(index.ResolvePath("BY.DDS", nullptr, nullptr), tmp.path() + "\\sub\\BY.DDS");
    EXPECT_EQ(index.ResolvePath("Bz.DDS", nullptr, nullptr), "");
}

TEST(FileIndex, ProfileStringsFromLooseFilesAndPackageEntries) {
    GameFolder g;
    g.tmp.Write("LOOSE.INI", "[VAZE]\r\nSERVER = loose \r\n");
    // With the digest after it, and a last line without its line break.
    g.package.Add("VAZE.INI", std::string("[VAZE]\nSERVER=packed\nPORT=9100"));
    // Without a digest, followed by an entry that would add a key if read on.
    g.package.Add("RAW.INI", std::string("[VAZE]\nPORT=1"), false);
    g.package.Add("NEXT.DAT", std::string("2\nEXTRA=leaked\n"), false);
    g.package.Add("EMPTY.INI", std::string(), false);
    g.WriteAndLoad();

    struct Case {
        const char* ini;
        const char* key;
        const char* expected;
    } cases[] = {
        {"LOOSE.INI", "server", "loose"}, {"VAZE.INI", "SERVER", "packed"}, {"VAZE.INI", "PORT", "9100"},
        {"RAW.INI", "PORT", "1"},         {"RAW.INI", "EXTRA", ""},         {"VAZE.INI", "NONE", ""},
        {"EMPTY.INI", "SERVER", ""},      {"NOWHERE.INI", "SERVER", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(g.index.GetProfileString("VAZE", c.key, c.ini), c.expected) << c.ini << " " << c.key;
}
