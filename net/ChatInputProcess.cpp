#include "net/ChatInputProcess.h"

#include <cstdlib>
#include <string>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ChatCommand.h"
#include "net/ChatLines.h"
#include "net/ChatSenders.h"
#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "ui/UiStatic.h"

namespace {

void SetLabel(CUiStatic* label, const std::string& text) {
    if (label) label->SetText(text);
}

void StartWhisperMode(CUiStatic* label, CChatInput& chat, const std::string& target) {
    chat.whisperTarget = target;
    chat.mode = CHAT_MODE_WHISPER;
    SetLabel(label, FormatText(GetMessageText(MSG_CHAT_TO_WHISPER_MESSAGE), chat_colour::kWhisper, target));
}

const ChatRecord* Refuse(CUiListBox* list, int entry) {
    AddChatLine(list, GetMessageText(entry), chat_colour::kError);
    return nullptr;
}

}  // namespace

std::string ChatTeamLabel() { return FormatText(GetMessageText(MSG_CHAT_SEND_TO_TEAM), chat_colour::kTeam); }

const ChatRecord* ProcessChatInput(CUiStatic* modeLabel, CClientSession& session, std::string_view text,
                                   CUiListBox* chatList) {
    CChatInput& chat = session.chat;
    const uint32_t now = platform::TimeGetTime();
    if (chat.IsMuted(now)) return Refuse(chatList, MSG_CHAT_LIMIT);
    if (chat.CheckChatFlood(now) == CChatInput::kFlooded) return Refuse(chatList, MSG_CHAT_LIMIT_1MINUTE);

    ChatRecord& record = chat.record;
    if (modeLabel) {
        if (modeLabel->GetText() == GetMessageText(MSG_CHAT_SEND_TO_ALL)) {
            record.mode = 1;
            chat.mode = CHAT_MODE_ALL;
        } else if (modeLabel->GetText() == ChatTeamLabel()) {
            record.mode = 0;
            chat.mode = CHAT_MODE_TEAM;
        }
    }
    record.text.clear();
    ParsedChatCommand parsed = ParseChatCommand(StripColourTags(text), session.nickname);
    int command = parsed.command;
    if (command == CHAT_CMD_NONE) {
        if (chat.chatOff) return Refuse(chatList, MSG_CHAT_MGR_CHAT_OFF_ING);
        command = chat.mode;
    }
    record.text = platform::Cp949Cut(parsed.text, ChatRecord::kTextMax);
    CNetClient* net = session.net;
    int sent = 1;
    switch (command) {
    case CHAT_CMD_ALL:
        if (record.text.empty()) {
            SetLabel(modeLabel, GetMessageText(MSG_CHAT_SEND_TO_ALL));
            chat.mode = CHAT_MODE_ALL;
            return nullptr;
        }
        if (!IsNonBlankText(record.text)) return nullptr;
        record.mode = 1;
        return &record;
    case CHAT_CMD_TEAM:
        if (record.text.empty()) {
            SetLabel(modeLabel, ChatTeamLabel());
            chat.mode = CHAT_MODE_TEAM;
            return nullptr;
        }
        if (!IsNonBlankText(record.text)) return nullptr;
        record.mode = 0;
        return &record;
    case CHAT_CMD_WHISPER:
        if (record.text.empty() && !parsed.nickname.empty()) {
            StartWhisperMode(modeLabel, chat, parsed.nickname);
            return nullptr;
        }
        sent = net ? SendWhisper(*net, record.text, session.nickname,
                                 parsed.nickname.empty() ? chat.whisperTarget : parsed.nickname)
                   : 0;
        break;
    case CHAT_CMD_REPLY:
        if (chat.lastWhisperer.empty()) return Refuse(chatList, MSG_CHAT_NOT_RECV_NICKNAME);
        if (record.text.empty()) {
            StartWhisperMode(modeLabel, chat, chat.lastWhisperer);
            return nullptr;
        }
        sent = net ? SendWhisper(*net, record.text, session.nickname, chat.lastWhisperer) : 0;
        break;
    case CHAT_CMD_GUILD:
        if (session.guildState != CClientSession::kGuildMember) return Refuse(chatList, MSG_GUILD_NO_JOIN_GUILD);
        if (record.text.empty()) {
            chat.mode = CHAT_MODE_GUILD;
            SetLabel(modeLabel, FormatText(GetMessageText(MSG_GUILD_MESSAGE_MODE), chat_colour::kGuild));
            return nullptr;
        }
        sent = SendGuildChat(session, record.text);
        break;
    case CHAT_CMD_FRIEND_ADD:
    case CHAT_CMD_BLOCK_ADD:
        AddCommunityMember(session, parsed.nickname, command == CHAT_CMD_FRIEND_ADD, chatList);
        return nullptr;
    case CHAT_CMD_KILLGAME:
        sent = net ? SendKillGame(*net, static_cast<uint16_t>(std::atoi(record.text.c_str())), parsed.argument) : 0;
        break;
    case CHAT_CMD_USERSEARCH:
        sent = net ? SendUserSearch(*net, parsed.nickname) : 0;
        break;
    case CHAT_CMD_BAN:
        sent = net ? SendBan(*net, parsed.nickname, static_cast<uint16_t>(parsed.number), record.text) : 0;
        break;
    case CHAT_CMD_REPORT:
        sent = net ? SendReport(*net, parsed.nickname, record.text) : 0;
        break;
    case CHAT_CMD_ROOMCRY:
        sent = net ? SendRoomCry(*net, static_cast<uint16_t>(parsed.number), record.text) : 0;
        break;
    case CHAT_CMD_CHATOFF:
        sent = net ? SendChatOff(*net, parsed.nickname, record.text) : 0;
        break;
    case CHAT_CMD_CHATON:
        sent = net ? SendChatOn(*net, parsed.nickname, record.text) : 0;
        break;
    case CHAT_CMD_NOTICE:
        sent = net ? SendNotice(*net, record.text) : 0;
        break;
    case CHAT_CMD_CURRENTUSER:
        sent = net ? SendCurrentUser(*net) : 0;
        break;
    case CHAT_CMD_BANOFF:
        sent = net ? SendBanOff(*net, parsed.nickname, record.text) : 0;
        break;
    case CHAT_CMD_ERROR:
        AddChatLine(chatList, parsed.text, chat_colour::kError);
        return nullptr;
    default:
        return &record;
    }
    if (sent) return nullptr;
    record.text = "CHAT_SEND_ERROR";
    return &record;
}
