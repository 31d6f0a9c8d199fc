#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/Random.h"
#include "platform/CrtRandom.h"
#include "platform/File.h"

#include <gtest/gtest.h>

#include "tests/fixtures/TempFolder.h"

namespace {
std::vector<uint8_t> Bytes(const std::string& path) {
    std::vector<uint8_t> b;
    platform::ReadWholeFile(path, b);
    return b;
}
}  // namespace

TEST(NameHash, KnownValues) {
    EXPECT_EQ(NameHash(""), 5381u);
    EXPECT_EQ(NameHash("a"), 177670u);
    EXPECT_NE(NameHash("A.DDS"), NameHash("a.dds"));
    // Bytes of 0x80 and above count as negative values.
    const char korean[] = "\xB0\xA1";
    uint32_t h = 5381u * 33u + static_cast<uint32_t>(-80);
    h = h * 33u + static_cast<uint32_t>(-95);
    EXPECT_EQ(NameHash(korean), h);
}

TEST(PathHelpers, CutNamesOutOfBackslashPaths) {
    EXPECT_EQ(FileNamePart("DATA\\MESH\\A.DRM"), "A.DRM");
    EXPECT_EQ(FileNamePart("A.DRM"), "A.DRM");
    EXPECT_EQ(LastBackslash("DATA\\MESH\\A.DRM"), 9u);
    EXPECT_EQ(LastBackslash("A.DRM"), 0u);
    EXPECT_EQ(FileNamePart("a/b.DRM"), "a/b.DRM");  // a slash is an ordinary character
    char small[4];
    EXPECT_STREQ(FileNamePart("X\\LONGNAME", small, sizeof(small)), "LON");

    std::string folder, name, ext;
    SplitPath("MAP\\FOREST.MAP", &folder, &name, &ext);
    EXPECT_EQ(folder, "MAP");
    EXPECT_EQ(name, "FOREST");
    EXPECT_EQ(ext, "MAP");
    SplitPath("A.B.C", &folder, &name, nullptr);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "A.B");
}

TEST(FileStream, StringFormAndFixedFieldsRoundTrip) {
    TempFolder tmp;
    std::string path = tmp.Path("s.bin");
    CFileStream w;
    ASSERT_TRUE(w.OpenWrite(path.c_str()));
    w.WriteString("");
    w.WriteString("ab");
    w.WriteI32(-2);
    w.WriteFloat(1.53f);
    w.Close();
    std::vector<uint8_t> expected = {0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 0, 0xFE, 0xFF, 0xFF, 0xFF};
    std::vector<uint8_t> got = Bytes(path);
    ASSERT_EQ(got.size(), expected.size() + 4);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin()));

    CFileStream r;
    ASSERT_TRUE(r.OpenRead(path.c_str()));
    EXPECT_EQ(r.fileSize(), got.size());
    char buf[8];
    EXPECT_EQ(r.ReadString(buf, sizeof(buf)), 0);  // stored empty: 0 but no failure
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(r.ReadString(buf, sizeof(buf)), 1);
    EXPECT_STREQ(buf, "ab");
    int32_t i = 0;
    float f = 0;
    EXPECT_TRUE(r.ReadI32(i));
    EXPECT_TRUE(r.ReadFloat(f));
    EXPECT_EQ(i, -2);
    EXPECT_EQ(f, 1.53f);
    EXPECT_FALSE(r.Failed());
    EXPECT_FALSE(r.ReadI32(i));  // past the end: short read, sticky
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(i, 0);
}

TEST(FileStream, HostileStringsFailWithoutOverflow) {
    TempFolder tmp;
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        size_t capacity;
    } cases[] = {
        {"longer than the buffer", {9, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0}, 4},
        {"longer than the file", {0x00, 0x00, 0x00, 0x7F, 'a'}, 1u << 30},
        {"cut short", {2, 0, 0, 0}, 16},
        {"length cut short", {2, 0}, 16},
    };
    for (const Case& c : cases) {
        std::string path = tmp.Write("h.bin", c.bytes);
        CFileStream r;
        ASSERT_TRUE(r.OpenRead(path.c_str()));
        std::vector<char> buf(std::min<size_t>(c.capacity, 64), 'x');
        EXPECT_EQ(r.ReadString(buf.data(), c.capacity > 64 ? 64 : c.capacity), 0) << c.what;
        EXPECT_TRUE(r.Failed()) << c.what;
        EXPECT_EQ(buf[0], '\0') << c.what;
    }
    // A stored string without its NUL is cut at the buffer, never run on.
    std::string path = tmp.Write("n.bin", std::vector<unsigned char>{3, 0, 0, 0, 'a', 'b', 'c'});
    CFileStream r;
    ASSERT_TRUE(r.OpenRead(path.c_str()));
    char buf[3];
    EXPECT_EQ(r.ReadString(buf, sizeof(buf)), 1);
    EXPECT_STREQ(buf, "ab");
    // The std::string overload gives the same text as the buffer one.
    CFileStream s;
    ASSERT_TRUE(s.OpenRead(path.c_str()));
    std::string text;
    EXPECT_EQ(s.ReadString(text, 3), 1);
    EXPECT_EQ(text, "ab");
}

TEST(FileStream, OpenFailureReportsTheFileNameThroughMessageSeven) {
    CErrorReport report;
    CMessageTable table;
    table.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
    CFileStream r;
    EXPECT_EQ(r.OpenRead("NO\\SUCH\\FILE.DAT"), 0);
    EXPECT_EQ(report.GetCode(), ERR_FILE_NOT_FOUND);
    EXPECT_STREQ(report.GetText(), "Cannot find the file FILE.DAT.");
}

TEST(Random, RangeAndPercentRolls) {
    platform::CrtSrand(1);
    // 41 % 11 + 5, 18467 % 11 + 5
    EXPECT_EQ(RandomRange(5, 15), 41 % 11 + 5);
    EXPECT_EQ(RandomRange(15, 5), 18467 % 11 + 15);  // min > max gives values at and above min

    platform::CrtSrand(1);
    InitPercentTable();
    std::vector<int> seen(10000, 0);
    int under = 0;
    for (int v = 0; v < 10000; ++v) {
        int p = PercentTableAt(v);
        ASSERT_GE(p, 0);
        ASSERT_LT(p, 10000);
        ++seen[static_cast<size_t>(p)];
        EXPECT_EQ(p % 10, v / 1000);
        if (p < 1) ++under;
    }
    for (int s : seen) ASSERT_EQ(s, 1);
    EXPECT_EQ(under, 1);  // 0.01 percent wins on exactly one index
    for (int k = 0; k < 100; ++k) {
        EXPECT_TRUE(RollPercent(100.0f));
        EXPECT_FALSE(RollPercent(0.0f));
        EXPECT_FALSE(RollPercent(-5.0f));
    }
}

TEST(FileStream, MemoryStreamsWriteAndReadTheFileForm) {
    CErrorReport report;
    CFileStream w;
    w.OpenMemoryWrite("MEM");
    std::string text = "abc";
    uint32_t word = 0x01020304;
    EXPECT_TRUE(w.Serialize(word));
    EXPECT_TRUE(w.Serialize(text));
    ASSERT_EQ(w.Bytes(), (std::vector<uint8_t>{4, 3, 2, 1, 4, 0, 0, 0, 'a', 'b', 'c', 0}));

    CFileStream r;
    r.OpenMemory(w.Bytes(), "MEM");
    uint32_t back = 0;
    std::string str;
    EXPECT_TRUE(r.ReadU32(back));
    EXPECT_EQ(r.Remaining(), 8u);
    EXPECT_EQ(r.ReadString(str), 1);
    EXPECT_EQ(back, word);
    EXPECT_EQ(str, "abc");
    EXPECT_FALSE(r.ReadU32(back));  // past the end: zeroed and failed
    EXPECT_EQ(back, 0u);
    EXPECT_TRUE(r.Failed());
    EXPECT_FALSE(r.Seek(13));
}

TEST(FileStream, BufferedReadOfARangeOfAFile) {
    CErrorReport report;
    TempFolder tmp;
    const std::string path = tmp.Write("F.BIN", std::vector<unsigned char>{9, 9, 1, 0, 0, 0, 2, 0, 0, 0, 9});
    CFileStream s;
    ASSERT_EQ(s.OpenReadBuffered(path.c_str(), 2, 8), 1);
    uint32_t a = 0, b = 0;
    EXPECT_TRUE(s.ReadU32(a) && s.ReadU32(b));
    EXPECT_EQ(a + b, 3u);
    EXPECT_EQ(s.Remaining(), 0u);
    EXPECT_EQ(s.OpenReadBuffered(path.c_str(), 4, 8), 0);  // past the end of the file
    EXPECT_EQ(report.GetCode(), ERR_DATA);
}
