#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/fixtures/IndexedFolder.h"
#include "tools/SampleGameFolder.h"

namespace {

struct MessageFolder {
    CErrorReport report;
    CMessageTable table;
    IndexedFolder folder;
};

}  // namespace

TEST(MessageTable, KeysAndIdsShareOneOrder) {
    struct Case {
        int id;
        int index;
        const char* key;
    } cases[] = {{MSG_APP_ERROR_MEMORY_FALIED, 0, "MSG_APP_ERROR_MEMORY_FALIED"},
                 {MSG_ERROR_FILE_NOT_FOUND, 7, "MSG_ERROR_FILE_NOT_FOUND"},
                 {MSG_ERROR_STREAM_TOO_SHORT, 17, "MSG_ERROR_STREAM_TOO_SHORT"},
                 {MSG_ERROR_WRONG_DATA_FILE, 24, "MSG_ERROR_WRONG_DATA_FILE"},
                 {MSG_ERROR_NETWORK_DISCONNECT, 28, "MSG_ERROR_NETWORK_DISCONNECT"},
                 {MSG_TIME_SHUTDOWN_SERVER_SEC, 248, "MSG_TIME_SHUTDOWN_SERVER_SEC"},
                 {MSG_TIME_SHUTDOWN_SERVER_MIN, 249, "MSG_TIME_SHUTDOWN_SERVER_MIN"},
                 {MSG_CHAT_UI_TIP_NO_ALLY, 300, "MSG_CHAT_UI_TIP_NO_ALLY"},
                 {MSG_POPUP_MENU_WHISPER, 303, "MSG_POPUP_MENU_WHISPER"},
                 {MSG_OK, 347, "MSG_OK"},
                 {MSG_MARKET_SELL_OVER_ITEM, 399, "MSG_MARKET_SELL_OVER_ITEM"}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.id, c.index) << c.key;
        EXPECT_STREQ(MessageKeyName(c.index), c.key);
    }
    EXPECT_STREQ(MessageKeyName(-1), "");
    EXPECT_STREQ(MessageKeyName(MESSAGE_COUNT), "");
}

TEST(MessageTable, LoadsAllKeysAndNamesTheFirstMissingOne) {
    MessageFolder m;
    std::vector<MessageEntry> entries = SampleMessages();
    entries[MSG_ERROR_WRONG_DATA_FILE].second = "first\nsecond";
    std::string path = m.folder.tmp.Write("MSG.DAT", MessageFileText(entries));
    ASSERT_EQ(m.table.LoadMessages(path.c_str()), 1) << m.report.GetText();
    for (int i = 0; i < MESSAGE_COUNT; ++i) EXPECT_EQ(m.table.GetMsg(i), entries[static_cast<size_t>(i)].second) << i;
    EXPECT_STREQ(m.table.GetMsg(MSG_ERROR_WRONG_DATA_FILE), "first\nsecond");  // backslash-n is a line break
    EXPECT_STREQ(m.table.GetMsg(MESSAGE_COUNT), "");

    for (size_t dropped : {size_t{0}, size_t{301}, size_t{399}}) {
        std::vector<MessageEntry> partial = SampleMessages();
        std::string key = partial[dropped].first;
        partial.erase(partial.begin() + static_cast<long>(dropped));
        path = m.folder.tmp.Write("MSG.DAT", MessageFileText(partial));
        EXPECT_EQ(m.table.LoadMessages(path.c_str()), 0) << key;
        EXPECT_EQ(m.report.GetCode(), ERR_DATA);
        EXPECT_EQ(m.report.Text(), "not found message-" + key);
    }
}

TEST(MessageTable, PackagedMessagesStopAtTheirEntry) {
    MessageFolder m;
    std::vector<MessageEntry> entries = SampleMessages();
    entries.erase(entries.begin() + MSG_OK);
    CPackageWriter package("INFO.DRP");
    package.Add("FIRST.DAT", std::string("[MESSAGE]\r\nMSG_OK=from before\r\n"), false);
    package.Add("MSG.DAT", MessageFileText(entries), false);
    package.Add("LAST.DAT", std::string("[MESSAGE]\r\nMSG_OK=from after\r\n"), false);
    ASSERT_TRUE(m.folder.WritePackage(package));
    ASSERT_TRUE(m.folder.Index());
    uint32_t offset = 0, size = 0;
    std::string path = m.folder.index.ResolvePath("MSG.DAT", &offset, &size);
    ASSERT_NE(offset, 0u);
    EXPECT_EQ(m.table.LoadMessages(path.c_str(), offset, size), 0);
    EXPECT_EQ(m.report.Text(), "not found message-MSG_OK");
}

TEST(MessageTable, AnEmptyEntryIsAnEmptyFileNotTheRestOfItsPackage) {
    MessageFolder m;
    CPackageWriter package("INFO.DRP");
    package.Add("MSG.DAT", std::string(), false);
    package.Add("LAST.DAT", MessageFileText(SampleMessages()), false);
    ASSERT_TRUE(m.folder.WritePackage(package));
    ASSERT_TRUE(m.folder.Index());
    uint32_t offset = 0, size = 0;
    std::string path = m.folder.index.ResolvePath("MSG.DAT", &offset, &size);
    ASSERT_NE(m.folder.index.FindPackageEntry("MSG.DAT"), nullptr);
    ASSERT_EQ(size, 0u);
    EXPECT_EQ(m.table.LoadMessages(path.c_str(), offset, size), 0);
    EXPECT_EQ(m.report.Text(), std::string("not found message-") + MessageKeyName(0));
}

TEST(MessageTable, InfoLineParsing) {
    struct Case {
        const char* line;
        bool parsed;
        const char* key;
        const char* value;
    } cases[] = {
        {"KEY=VALUE", true, "KEY", "VALUE"},
        {" K E Y \t=  \tvalue with  inner  ", true, "KEY", "value with  inner  "},
        {"A=B=C", true, "A", "B=C"},
        {"=value", false, "", ""},
        {" \t =value", false, "", ""},
        {"KEY=", false, "", ""},
        {"KEY= \t ", false, "", ""},
        {"no equals sign", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string key, value;
        ASSERT_EQ(CMessageTable::ParseInfoLine(c.line, &key, &value), c.parsed) << c.line;
        if (!c.parsed) continue;
        EXPECT_EQ(key, c.key) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
    }
}

TEST(MessageTable, InfoFileLooseAndPacked) {
    const std::string body =
        "LOGO_COUNT = 2\r\n"
        "NAME=first\r\n"
        "NAME=second  \r\n"
        "name=lower\r\n"
        "broken line\r\n"
        "[END]\r\n"
        "AFTER=1\r\n";
    MessageFolder m;
    m.folder.tmp.Write("LOOSE.DAT", body);
    // Without "[END]" a packed file ends at its entry, not in the next one.
    CPackageWriter package("INFO.DRP");
    package.Add("PACKED.DAT", std::string("NAME=packed\nLAST=no line break"), false);
    package.Add("NEXT.DAT", std::string("AFTER=1\n[END]\n"), false);
    ASSERT_TRUE(m.folder.WritePackage(package));
    ASSERT_TRUE(m.folder.Index());

    ASSERT_EQ(m.table.LoadInfoFile("LOOSE.DAT"), 1);
    EXPECT_EQ(std::atoi(m.table.GetInfo("LOGO_COUNT")), 2);
    EXPECT_STREQ(m.table.GetInfo("NAME"), "second  ");
    EXPECT_STREQ(m.table.GetInfo("name"), "lower");
    EXPECT_STREQ(m.table.GetInfo("AFTER"), "");
    EXPECT_EQ(std::atoi(m.table.GetInfo("ABSENT")), 0);

    ASSERT_EQ(m.table.LoadInfoFile("PACKED.DAT"), 1);
    EXPECT_STREQ(m.table.GetInfo("NAME"), "packed");
    EXPECT_STREQ(m.table.GetInfo("LAST"), "no line break");
    EXPECT_STREQ(m.table.GetInfo("AFTER"), "");

    m.table.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
    EXPECT_EQ(m.table.LoadInfoFile("NOWHERE.DAT"), 0);
    EXPECT_EQ(m.report.GetCode(), ERR_FILE_NOT_FOUND);
    EXPECT_STREQ(m.report.GetText(), "Cannot find the file NOWHERE.DAT.");
}
