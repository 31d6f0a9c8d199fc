#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "patcher/FileList.h"
#include "patcher/Md5File.h"
#include "platform/NameHash.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/FileListWriter.h"

namespace {

const uint8_t kZeroMd5[16] = {};

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

CFileList::ParseError Parse(const std::vector<uint8_t>& bytes, CFileList* list = nullptr, std::string* bad = nullptr) {
    CFileList local;
    CFileList& l = list ? *list : local;
    return l.Parse(bytes.data(), bytes.size(), bad);
}

}  // namespace

TEST(NameHashTest, KnownValues) {
    EXPECT_EQ(platform::NameHash(""), 5381u);
    EXPECT_EQ(platform::NameHash("a"), 177670u);
    // Bytes from 0x80 count as negative: 5381 * 33 - 1 for 0xFF.
    EXPECT_EQ(platform::NameHash("\xff"), 5381u * 33u - 1u);
}

TEST(FileListTest, ReadsWhatTheWriterWrites) {
    CFileListWriter w(7);
    w.AddFile(".\\VAZE.INI", Bytes("[INFO]\r\n"));
    w.AddFile(".\\DATA\\MAP\\A.DAT", Bytes(""));
    CFileList list;
    ASSERT_EQ(Parse(w.Bytes(), &list), CFileList::ParseError::None);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Level(), 7u);
    const PatchFileEntry* e = list.Find(platform::NameHash(".\\VAZE.INI"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, ".\\VAZE.INI");
    EXPECT_EQ(e->size, 8u);
}

TEST(FileListTest, EmptyListIsValid) {
    CFileList list;
    EXPECT_EQ(Parse(CFileListWriter(3).Bytes(), &list), CFileList::ParseError::None);
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Level(), 3u);
}

TEST(FileListTest, LaterDuplicateWinsAndKeysAreOrdered) {
    uint8_t md5[16] = {1};
    CFileListWriter w(1);
    w.AddRecord(900, kZeroMd5, 1, 5, ".\\B.A");
    w.AddRecord(100, kZeroMd5, 2, 5, ".\\A.A");
    w.AddRecord(900, md5, 3, 5, ".\\C.A");
    CFileList list;
    ASSERT_EQ(Parse(w.Bytes(), &list), CFileList::ParseError::None);
    ASSERT_EQ(list.Files().size(), 2u);
    EXPECT_EQ(list.Files().begin()->first, 100u);
    EXPECT_EQ(list.Find(900)->name, ".\\C.A");
    EXPECT_EQ(list.Find(900)->size, 3u);
}

TEST(FileListTest, ListCutAtAnyByteIsRefused) {
    CFileListWriter w(2);
    w.AddFile(".\\A.DAT", Bytes("abc"));
    w.AddFile(".\\DATA\\B.DRP", Bytes("defg"));
    std::vector<uint8_t> full = w.Bytes();
    for (size_t n = 0; n < full.size(); ++n) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        CFileList list;
        EXPECT_NE(Parse(cut, &list), CFileList::ParseError::None) << n;
        EXPECT_TRUE(list.Files().empty());
    }
    // And a byte too many.
    full.push_back(0);
    EXPECT_EQ(Parse(full), CFileList::ParseError::Damaged);
}

TEST(FileListTest, DamagedHeadersAreRefused) {
    CFileListWriter version(1);
    version.SetVersion(3);
    EXPECT_EQ(Parse(version.Bytes()), CFileList::ParseError::Version);

    CFileListWriter longName(1);
    longName.AddRecord(1, kZeroMd5, 0, 260, ".\\" + std::string(258, 'a'));
    EXPECT_EQ(Parse(longName.Bytes()), CFileList::ParseError::Damaged);
    CFileListWriter longestName(1);
    longestName.AddRecord(1, kZeroMd5, 0, 259, ".\\" + std::string(257, 'a'));
    EXPECT_EQ(Parse(longestName.Bytes()), CFileList::ParseError::None);

    CFileListWriter hugeCount(1);
    hugeCount.AddFile(".\\A", Bytes("x"));
    hugeCount.SetCount(0xFFFFFFFFu);
    EXPECT_EQ(Parse(hugeCount.Bytes()), CFileList::ParseError::Damaged);

    CFileListWriter lengthPastEnd(1);
    lengthPastEnd.AddRecord(1, kZeroMd5, 0, 0x7FFFFFFF, ".\\A");
    EXPECT_EQ(Parse(lengthPastEnd.Bytes()), CFileList::ParseError::Damaged);
}

TEST(FileListTest, NamesThatLeaveTheFolderAreRefused) {
    const std::string bad[] = {
        "",          "A.DAT",        ".\\",          ".\\..\\A",      ".\\DATA\\..\\..\\A", ".\\.\\A",
        ".\\DATA\\", ".\\A\\\\B",    ".\\A/B",       ".\\C:\\A",      std::string(".\\A\0B", 5),
        "..\\A",     "\\\\host\\A",  ".\\DATA\\.."};
    for (const std::string& name : bad) {
        CFileListWriter w(1);
        w.AddFile(".\\GOOD.DAT", Bytes("x"));
        w.AddRecord(platform::NameHash(name), kZeroMd5, 0, static_cast<uint32_t>(name.size()), name);
        std::string badName;
        CFileList list;
        EXPECT_EQ(Parse(w.Bytes(), &list, &badName), CFileList::ParseError::BadName) << name;
        EXPECT_EQ(badName, name);
        EXPECT_TRUE(list.Files().empty());
    }
    EXPECT_TRUE(CFileList::IsSafeName(".\\DATA\\MAP\\A B.DAT"));
    EXPECT_TRUE(CFileList::IsSafeName(".\\\xb0\xa1.DAT"));
}

TEST(Md5FileTest, MatchesMd5sum) {
    TempFolder tmp;
    for (size_t size : {0u, 1023u, 1024u, 1025u, 3u * 1024u * 1024u + 7u}) {
        std::string content;
        for (size_t i = 0; i < size; ++i) content.push_back(static_cast<char>((i * 7 + size) & 0xFF));
        std::string path = tmp.Write("f" + std::to_string(size), content);
        CMd5File digest(path);
        ASSERT_TRUE(digest.Ok());
        char hex[33];
        for (int i = 0; i < 16; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest.Digest()[i]);
        FILE* p = ::popen(("md5sum " + path).c_str(), "r");
        ASSERT_NE(p, nullptr);
        char line[128] = {};
        ASSERT_NE(std::fgets(line, sizeof(line), p), nullptr);
        ::pclose(p);
        EXPECT_EQ(std::string(line, 32), std::string(hex)) << size;
    }
    EXPECT_FALSE(CMd5File(tmp.Path("missing")).Ok());
}
