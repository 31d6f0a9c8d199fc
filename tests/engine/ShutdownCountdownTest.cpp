#include "engine/core/MessageTable.h"
#include "engine/core/ShutdownCountdown.h"

#include <gtest/gtest.h>

namespace {

struct ChatLog : IChatLines {
    std::vector<std::string> lines;
    void AddChatLine(const std::string& text, unsigned rgb) override {
        EXPECT_EQ(rgb, 0xFF0000u);
        lines.push_back(text);
    }
};

struct Texts {
    CMessageTable table;
    Texts() {
        table.SetMsg(MSG_TIME_SHUTDOWN_SERVER_SEC, "%d seconds");
        table.SetMsg(MSG_TIME_SHUTDOWN_SERVER_MIN, "%d minutes");
    }
};

// Ticks of 0.25 s (exact in binary) until the count-down returns 0 or max ticks.
int RunUntilDisconnect(CShutdownCountdown& c, IChatLines* chat, int maxTicks) {
    for (int tick = 1; tick <= maxTicks; ++tick) {
        if (c.TickShutdownCountdown(chat, 0.25f) == 0) return tick;
    }
    return -1;
}

}  // namespace

TEST(ShutdownCountdown, SecondsWithAChatList) {
    Texts texts;
    ChatLog chat;
    CShutdownCountdown c;
    c.StartCountdown(30.0f);
    EXPECT_EQ(RunUntilDisconnect(c, &chat, 1000), 120);
    ASSERT_EQ(chat.lines.size(), 29u);  // one a second: 29 .. 1
    EXPECT_EQ(chat.lines.front(), "29 seconds");
    EXPECT_EQ(chat.lines.back(), "1 seconds");
    EXPECT_FALSE(c.NoticeShown());
    EXPECT_EQ(c.TickShutdownCountdown(&chat, 0.25f), 1);  // over: nothing more
}

TEST(ShutdownCountdown, MinutesWithAChatListGiveOneLineAndNoDisconnect) {
    Texts texts;
    ChatLog chat;
    CShutdownCountdown c;
    c.StartCountdown(300.0f);
    EXPECT_EQ(RunUntilDisconnect(c, &chat, 2000), -1);
    EXPECT_EQ(chat.lines, (std::vector<std::string>{"5 minutes"}));
}

TEST(ShutdownCountdown, OnScreenNoticeWithoutAChatList) {
    Texts texts;
    CShutdownCountdown c;
    c.StartCountdown(30.0f);
    EXPECT_EQ(c.TickShutdownCountdown(nullptr, 0.25f), 1);
    std::string text;
    int x = 0, y = 0;
    ASSERT_TRUE(c.GetNotice(&text, &x, &y));
    EXPECT_EQ(text, "29 seconds");
    EXPECT_EQ(x, ((64 - 10) * 16) / 5);
    EXPECT_EQ(y, 38);
    EXPECT_EQ(RunUntilDisconnect(c, nullptr, 1000), 119);
    EXPECT_FALSE(c.GetNotice(&text, &x, &y));

    // Minutes: shown for the ten-second step, then the count-down ends quietly.
    c.StartCountdown(300.0f);
    EXPECT_EQ(c.TickShutdownCountdown(nullptr, 0.25f), 1);
    ASSERT_TRUE(c.GetNotice(&text, nullptr, nullptr));
    EXPECT_EQ(text, "5 minutes");
    EXPECT_EQ(RunUntilDisconnect(c, nullptr, 2000), -1);
    EXPECT_FALSE(c.GetNotice(&text, nullptr, nullptr));
    EXPECT_EQ(c.SecondsLeft(), 0.0f);
}
