#include "engine/core/ErrorReport.h"
#include "engine/core/TutorialProgress.h"

#include <gtest/gtest.h>

#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"

TEST(TutorialProgress, SaveAndLoadTheCancelFlag) {
    CErrorReport report;
    TempFolder tmp;
    CTutorialProgress progress(tmp.path() + "\\SAVE");
    EXPECT_EQ(progress.LoadTutorialCancel("Alice"), 0);  // no file yet: not cancelled
    EXPECT_EQ(progress.TutorialCancel(), 0);
    EXPECT_TRUE(platform::FolderExists(tmp.Path("SAVE")));

    progress.SetTutorialCancel(1);
    ASSERT_EQ(progress.SaveTutorialCancel("Alice"), 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(tmp.Path("SAVE/Alice.INI"), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[INFO]\r\nTUTORIAL_CANCEL = TRUE\r\n");

    CTutorialProgress again(tmp.path() + "\\SAVE");
    EXPECT_EQ(again.LoadTutorialCancel("Alice"), 1);
    EXPECT_EQ(again.TutorialCancel(), 1);

    struct Case {
        const char* text;
        int flag;
    } cases[] = {{"TRUE", 1}, {"true", 0}, {"FALSE", 0}, {"", 0}, {"TRUE1", 0}};
    for (const Case& c : cases) {
        tmp.Write("SAVE/Bob.INI", std::string("[INFO]\r\nTUTORIAL_CANCEL = ") + c.text + "\r\n");
        EXPECT_EQ(again.LoadTutorialCancel("Bob"), 1);
        EXPECT_EQ(again.TutorialCancel(), c.flag) << c.text;
    }
}

TEST(TutorialProgress, NicknamesThatLeaveTheFolderAreRefused) {
    CErrorReport report;
    TempFolder tmp;
    CTutorialProgress progress(tmp.path() + "\\SAVE");
    progress.SetTutorialCancel(1);
    const std::string refused[] = {"",          "..",       "../evil", "a/b", "a\\b", "x..y", std::string("a\0b", 3),
                                   "tab\there", "bell\x07", "del\x7f"};
    for (const std::string& name : refused) {
        EXPECT_FALSE(CTutorialProgress::IsSafeNickname(name)) << name;
        EXPECT_EQ(progress.SaveTutorialCancel(name), 0) << name;
        progress.SetTutorialCancel(1);
        EXPECT_EQ(progress.LoadTutorialCancel(name), 0) << name;
        EXPECT_EQ(progress.TutorialCancel(), 0) << name;
        progress.SetTutorialCancel(1);
    }
    EXPECT_TRUE(platform::ListFolder(tmp.path() + "\\SAVE").empty());
    EXPECT_EQ(platform::ListFolder(tmp.path()).size(), 1u);  // only SAVE

    // Korean nicknames (double-byte characters) are fine.
    const std::string korean = "\xB0\xA1\xB3\xAA";
    EXPECT_EQ(progress.SaveTutorialCancel(korean), 1);
    EXPECT_TRUE(platform::FileExists(tmp.Path("SAVE/" + korean + ".INI")));
}
