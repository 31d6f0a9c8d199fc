#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "tools/PackageWriter.h"

#include <gtest/gtest.h>

#include "tests/fixtures/TempFolder.h"

TEST(PackageWriter, ListRecordsAreThirtyTwoBytesInTheReadersOrder) {
    TempFolder tmp;
    CPackageWriter p("P.DRP");
    p.Add("A.DAT", std::string("abcd"));
    p.Add("B.DAT", std::string("xy"), false);
    ASSERT_TRUE(CPackageWriter::WriteList(tmp.Path("L.DRL"), {&p}));
    CFileStream s;
    ASSERT_TRUE(s.OpenRead(tmp.Path("L.DRL").c_str()));
    EXPECT_EQ(s.fileSize(), 4u + 2u * 32u);
    uint32_t count = 0, nameHash = 0, packageHash = 0, length = 0, offset = 0;
    s.ReadU32(count);
    EXPECT_EQ(count, 2u);
    for (int i = 0; i < 2; ++i) {
        s.ReadU32(nameHash);
        s.ReadU32(packageHash);
        s.Skip(16);
        s.ReadU32(length);
        s.ReadU32(offset);
        EXPECT_EQ(packageHash, NameHash("P.DRP"));
        if (i == 0) {
            EXPECT_EQ(nameHash, NameHash("A.DAT"));
            EXPECT_EQ(length, 20u);
            EXPECT_EQ(offset, 0u);
        } else {
            EXPECT_EQ(nameHash, NameHash("B.DAT"));
            EXPECT_EQ(length, 2u);
            EXPECT_EQ(offset, 20u);
        }
    }
    EXPECT_FALSE(s.Failed());
}

TEST(PackageWriter, RefusesTwoNamesTheListCouldNotTellApart) {
    // "Az" and "BY" share their djb2 value; the list stores hashes only.
    CPackageWriter first("A.DRP");
    EXPECT_EQ(first.Add("Az.DDS", std::string("a")), 1);
    EXPECT_EQ(first.Add("BY.DDS", std::string("b")), 0);
    EXPECT_EQ(first.Records().size(), 1u);
    EXPECT_EQ(first.Add("Az.DDS", std::string("again")), 1);  // the same name again is a later copy, as lists allow

    TempFolder tmp;
    CPackageWriter second("B.DRP");
    EXPECT_EQ(second.Add("BY.DDS", std::string("b")), 1);
    EXPECT_EQ(CPackageWriter::WriteList(tmp.Path("L.DRL"), {&first, &second}), 0);
    CPackageWriter third("C.DRP");
    third.Add("Az.DDS", std::string("c"));
    EXPECT_EQ(CPackageWriter::WriteList(tmp.Path("L.DRL"), {&first, &third}), 1);
}
