// What the chat tests share: message texts named after their number (format
// entries keep their conversions), a session, a chat list 200 pixels wide in a
// UI manager with a 7-pixel fixed-width font, a mode label, and a clock the
// test steps by hand.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/MessageTable.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "platform/Clock.h"
#include "tests/ui/UiFixture.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

inline uint32_t g_chatTestNow = 0;

class ChatTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 0; n < MESSAGE_COUNT; ++n) messages.SetMsg(n, "m" + std::to_string(n));
        // Entries that are formatted keep a conversion, so the tests see the value.
        messages.SetMsg(MSG_CHAT_SEND_TO_TEAM, "</C=%06x>team");
        messages.SetMsg(MSG_CHAT_TO_WHISPER_MESSAGE, "</C=%06x>to %s");
        messages.SetMsg(MSG_GUILD_MESSAGE_MODE, "</C=%06x>guild");
        for (int n : {MSG_CHAT_NOT_CONNECTED_NICK, MSG_CHAT_NOT_REPLY_STATE, MSG_GUILD_ACCEPT, MSG_GUILD_BANISH,
                      MSG_GUILD_UNSUBSCRIBE, MSG_GUILD_CONNECTED_MEMBER, MSG_GUILD_DISCONNECTED_MEMBER})
            messages.SetMsg(n, "m" + std::to_string(n) + " %s");
        list.CreateEx(nullptr, "ID_CHAT", 0, 0, 200, 100, 1, 5);
        label.Create(nullptr, "ID_MODE", 0, 0, 50, 12, 0);
        label.SetText(messages.GetMsg(MSG_CHAT_SEND_TO_ALL));
        session.nickname = "abcdef";
        g_chatTestNow = 100000;
        platform::SetClockSource([] { return g_chatTestNow; });
    }
    void TearDown() override { platform::SetClockSource(nullptr); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < list.ItemCount(); ++i) out.push_back(list.ItemAt(i).text);
        return out;
    }
    std::string LastLine() const { return list.ItemCount() ? list.ItemAt(list.ItemCount() - 1).text : ""; }
    static std::string Red(int entry) { return "</C=ff0000>m" + std::to_string(entry); }

    CMessageTable messages;
    UiFixture ui;
    CUiListBox list;
    CUiStatic label;
    CClientSession session;
};
