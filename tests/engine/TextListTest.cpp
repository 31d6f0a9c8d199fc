#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextList.h"

#include <gtest/gtest.h>

#include "tests/fixtures/IndexedFolder.h"

TEST(TextList, LooseAndPackedListsReadTheSameLines) {
    struct Case {
        const char* what;
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"closed by [END]", "one\r\ntwo\r\n[END]\r\nthree\r\n", {"one", "two"}},
        {"no [END]", "one\ntwo\n", {"one", "two"}},
        {"last line without a break", "one\ntwo", {"one", "two"}},
        {"empty lines are entries", "\r\none\r\n\r\n\r\ntwo\r\n[END]", {"", "one", "", "", "two"}},
        {"[END] inside a line", "one\nxx[END]yy\ntwo\n", {"one"}},
        {"blanks kept", "  a b  \n", {"  a b  "}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        CErrorReport report;
        IndexedFolder folder;
        folder.tmp.Write("LOOSE.DAT", std::string(c.text));
        CPackageWriter package("LISTS.DRP");
        package.Add("PACKED.DAT", std::string(c.text), false);
        package.Add("NEXT.DAT", std::string("from the next entry\n[END]\n"), false);
        ASSERT_TRUE(folder.WritePackage(package));
        ASSERT_TRUE(folder.Index());
        for (const char* name : {"LOOSE.DAT", "PACKED.DAT"}) {
            std::vector<std::string> got{"kept"};
            ASSERT_EQ(ReadTextList(name, got), 1) << c.what << " " << name;
            std::vector<std::string> want{"kept"};
            want.insert(want.end(), c.lines.begin(), c.lines.end());
            EXPECT_EQ(got, want) << c.what << " " << name;
        }
    }
}

TEST(TextList, MissingListReportsTheName) {
    CErrorReport report;
    CMessageTable table;
    table.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
    IndexedFolder folder;
    ASSERT_TRUE(folder.Index());
    std::vector<std::string> lines;
    EXPECT_EQ(ReadTextList("GAMETIP.DAT", lines), 0);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(report.GetCode(), ERR_FILE_NOT_FOUND);
    EXPECT_STREQ(report.GetText(), "Cannot find the file GAMETIP.DAT.");
}

TEST(TextList, OverlongLineIsCutWithoutSplittingADoubleByteCharacter) {
    CErrorReport report;
    IndexedFolder folder;
    // 510 ASCII bytes then a two-byte character: 512 bytes, cut to 510.
    std::string line(510, 'a');
    line += "\xB0\xA1";
    folder.tmp.Write("LONG.DAT", line + "\nnext\n");
    ASSERT_TRUE(folder.Index());
    std::vector<std::string> lines;
    ASSERT_EQ(ReadTextList("LONG.DAT", lines), 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(510, 'a'));
    EXPECT_EQ(lines[1], "next");
}
