#include "platform/MessageSink.h"

#include <gtest/gtest.h>

#include "tests/fixtures/ScopedEnv.h"

TEST(MessageSink, AHookRecordsMessages) {
    std::vector<std::string> seen;
    platform::SetMessageHook(
        [&](const std::string& title, const std::string& text) { seen.push_back(title + "/" + text); });
    platform::ShowMessage("Morvane", "Cannot execute the file.!");
    platform::SetMessageHook(nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{"Morvane/Cannot execute the file.!"});
}

TEST(MessageSink, WithoutADisplayMessagesGoToStandardErrorAsUtf8) {
    ScopedEnv x("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    testing::internal::CaptureStderr();
    platform::ShowMessage("QOR", "\xC7\xD1\xB1\xDB error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "QOR: \xED\x95\x9C\xEA\xB8\x80 error\n");
}
