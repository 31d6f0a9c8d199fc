// The server messages any screen may receive: relayed guild chat, notices,
// guild and friend updates, operators' command replies and the duplicate-login
// notice. Every field is read through the bounded reader within the received
// length; a packet cut short changes nothing.
#include <cstring>
#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"
#include "platform/CodePage.h"
#include "ui/Screen.h"
#include "ui/ScreenHost.h"
#include "world/GameDataRegistry.h"

namespace {

constexpr uint32_t kRed = 0xff0000;
constexpr uint32_t kGreen = 0x00ff00;
constexpr uint32_t kMagenta = 0xff00ff;
constexpr uint32_t kOrange = 0xff8800;
constexpr uint32_t kNoticeColour = 0x31f1ff;

constexpr uint16_t kGuildInfoRequest = 2025;
constexpr uint16_t kGuildMasterRequest = 2027;
constexpr uint16_t kGuildRosterInfo = 3027;
constexpr uint16_t kFriendStateNotice = 1061;
constexpr uint16_t kGuildMasterQuery = 1059;

// Operators' replies: an account field, a nickname field and a 129-byte text.
constexpr size_t kAccountField = 51;
constexpr size_t kTextField = 129;
constexpr size_t kGuildNameField = 17;
constexpr uint8_t kCodePopup = 50;

// A fixed text field at the offset, bounded by the payload and the field.
std::string FieldAt(const NetPacket& packet, size_t offset, size_t field) {
    if (offset >= packet.length) return std::string();
    const char* start = reinterpret_cast<const char*>(packet.payload.data()) + offset;
    size_t n = packet.length - offset;
    if (n > field) n = field;
    const void* nul = std::memchr(start, 0, n);
    if (nul) n = static_cast<size_t>(static_cast<const char*>(nul) - start);
    // A field that fills its bytes still ends before a cut double-byte character.
    return platform::Cp949Cut(std::string_view(start, n), field - 1);
}

void Line(CUiListBox* list, int entry, uint32_t colour) { AddChatLine(list, GetMessageText(entry), colour); }
template <typename T>
void LineWith(CUiListBox* list, int entry, const T& value, uint32_t colour) {
    AddChatLine(list, FormatText(GetMessageText(entry), value), colour);
}

// The report of a refused request: the code's text in the error report and
// the message box.
void Report(uint8_t code) {
    ReportServerResult(code);
    if (IScreenHost* host = ScreenHost()) ShowMessageBox(host->MessageBox(), ErrorReport().GetText(), 1, 1);
}
// The report's text as a red line.
void ReportLine(CUiListBox* list, uint8_t code) {
    ReportServerResult(code);
    AddChatLine(list, ErrorReport().GetText(), kRed);
}

// 0 after a failed send: the popup closes the connection.
int SendOrPopup(CScreen& screen, CClientSession& session, uint16_t id, const uint8_t* data, int size) {
    if (session.net && session.net->SendPacket(id, data, size)) return 1;
    screen.ShowErrorPopup(1);
    return 0;
}

int SendOwnNickname(CScreen& screen, CClientSession& session) {
    uint8_t data[kNicknameField];
    CByteWriter w(data, sizeof(data));
    w.WriteText(session.nickname.c_str(), kNicknameField);
    return SendOrPopup(screen, session, kGuildMasterRequest, data, sizeof(data));
}

// 3027: the guild information of the player.
int HandleGuildInfo(CScreen& screen, CClientSession& session, const NetPacket& packet) {
    CByteReader in = packet.Reader();
    const uint8_t ok = in.ReadU8();
    const uint8_t code = in.ReadU8();
    if (!in.Ok()) return 1;
    if (ok != 1) {
        Report(code);
        return 1;
    }
    const uint32_t guildId = in.ReadU32();
    const uint8_t rank = in.ReadU8();
    in.Seek(24);
    const int32_t money = in.ReadI32();
    if (!in.Ok()) return 1;
    session.money = money;
    session.guildId = guildId;
    session.guildRank = rank;
    session.guildState = rank;
    session.guildName = FieldAt(packet, 7, kGuildNameField);
    if (rank == 0) session.community.ClearGuildRoster();
    if (rank == CClientSession::kGuildMember) {
        uint8_t data[4];
        CByteWriter w(data, sizeof(data));
        w.WriteU32(guildId);
        return SendOrPopup(screen, session, kGuildInfoRequest, data, sizeof(data));
    }
    return 1;
}

// 3043 and 3047: a friend or a blocked user added.
void HandleCommunityAdd(CClientSession& session, const NetPacket& packet, CUiListBox* list, bool isFriend) {
    CByteReader in = packet.Reader();
    const uint8_t ok = in.ReadU8();
    const uint8_t code = in.ReadU8();
    if (!in.Ok()) return;
    if (ok == 1) {
        HandleCommunityListPacket(session, packet.id, packet.payload.data(), packet.length);
        LineWith(list, isFriend ? MSG_FRIEND_ADD : MSG_OUTSIDE_ADD, FieldAt(packet, 2, kNicknameField), kGreen);
    } else if (code == (isFriend ? 41 : 42)) {
        Line(list, MSG_NOT_ADD_MEMBER, kRed);
    } else {
        Report(code);
    }
}

// The operators' command replies (3057-3065). 0 when the popup was opened.
int HandleOperatorReply(CScreen& screen, const NetPacket& packet, CUiListBox* list) {
    CByteReader in = packet.Reader();
    const uint8_t ok = in.ReadU8();
    const uint8_t code = in.ReadU8();
    if (!in.Ok()) return 1;
    const uint16_t id = packet.id;
    if (ok != 1) {
        const bool popupOnCode = id == PK_KILLGAME_RESULT || id == PK_BAN_RESULT || id == PK_USERSEARCH_RESULT ||
                                 id == PK_REPORT_RESULT || id == PK_BANOFF_RESULT;
        if (popupOnCode && code == kCodePopup) {
            ReportServerResult(code);
            screen.ShowErrorPopup(0);
            return 0;
        }
        if (id == PK_USERSEARCH_RESULT) {
            // The reply names nobody: the text's name is left empty.
            if (code == 38) LineWith(list, MSG_CHAT_NOT_CONNECTED_NICK, std::string(), kRed);
            return 1;
        }
        if (id == PK_ROOMCRY || id == PK_CURRENTUSER_RESULT || id == PK_BANOFF_RESULT) {
            ReportServerResult(code);
            AddChatLine(list, ErrorReport().GetText(), kRed);
        } else {
            ReportLine(list, code);
        }
        return 1;
    }
    const size_t nameAt = 2 + kAccountField;
    const size_t afterName = nameAt + kNicknameField;
    switch (id) {
        case PK_KILLGAME_RESULT: {
            const uint16_t room = in.ReadU16();
            if (!in.Ok()) return 1;
            LineWith(list, MSG_CHAT_MGR_KILLGAME_DESTROY, room, kRed);
            LineWith(list, MSG_CHAT_MGR_REASON, FieldAt(packet, 4, kTextField), kRed);
            break;
        }
        case PK_BAN_RESULT:
        case PK_REPORT_RESULT: {
            in.Seek(afterName);
            const uint32_t value = id == PK_BAN_RESULT ? in.ReadU16() : in.ReadU32();
            if (!in.Ok()) return 1;
            LineWith(list, MSG_CHAT_MGR_USER_ACCOUNT, FieldAt(packet, 2, kAccountField), kRed);
            LineWith(list, MSG_CHAT_MGR_USER_CHAR_NAME, FieldAt(packet, nameAt, kNicknameField), kRed);
            LineWith(list, id == PK_BAN_RESULT ? MSG_CHAT_MGR_USER_BLOCK_DAY : MSG_CHAT_MGR_USER_REPORT_INDEX, value,
                     kRed);
            LineWith(list, MSG_CHAT_MGR_REASON, FieldAt(packet, in.Position(), kTextField), kRed);
            break;
        }
        case PK_USERSEARCH_RESULT: {
            const uint8_t state = in.ReadU8();
            in.Skip(1);
            const uint16_t room = in.ReadU16();
            if (!in.Ok()) return 1;
            if (state == 3) LineWith(list, MSG_CHAT_MGR_USERSEARCH_NUM, room, kRed);
            AddChatLine(list, GetUserStateName(state), kRed);
            break;
        }
        case PK_ROOMCRY:
            LineWith(list, MSG_CHAT_MGR_ROOM_CRY, FieldAt(packet, 4, kTextField), kMagenta);
            break;
        case PK_CHATOFF_RESULT:
        case PK_CHATON_RESULT:
            if (packet.length < 2 + kTextField) return 1;
            LineWith(list, id == PK_CHATOFF_RESULT ? MSG_CHAT_MGR_CHAT_USER_OFF : MSG_CHAT_MGR_CHAT_USER_ON,
                     FieldAt(packet, 2, kNicknameField), kMagenta);
            LineWith(list, MSG_CHAT_MGR_REASON, FieldAt(packet, 2 + kTextField, kTextField), kMagenta);
            break;
        case PK_CURRENTUSER_RESULT: {
            const uint32_t count = in.ReadU32();
            if (!in.Ok()) return 1;
            LineWith(list, MSG_CHAT_MGR_CURRENT_USER, count, kMagenta);
            break;
        }
        case PK_BANOFF_RESULT:
            if (packet.length < afterName) return 1;
            LineWith(list, MSG_CHAT_MGR_USER_ACCOUNT, FieldAt(packet, 2, kAccountField), kGreen);
            LineWith(list, MSG_CHAT_MGR_USER_CHAR_NAME, FieldAt(packet, nameAt, kNicknameField), kGreen);
            LineWith(list, MSG_CHAT_MGR_REASON, FieldAt(packet, afterName, kTextField), kGreen);
            break;
        default:
            break;
    }
    return 1;
}

}  // namespace

int HandleCommonMessage(CScreen& screen, const NetPacket& packet, CUiListBox* chatList) {
    const uint16_t id = packet.id;
    if (id == PK_DUPLICATE_LOGIN) {
        ReportNetError(MSG_LOGIN_SAME_ID);
        return 0;
    }
    CByteReader in = packet.Reader();
    if (id == PK_SHUTDOWN_COUNTDOWN) {
        in.Seek(4);
        const uint32_t seconds = in.ReadU32();
        if (in.Ok())
            if (IScreenHost* host = ScreenHost()) host->StartShutdownCountdown(static_cast<float>(seconds));
        return 1;
    }
    CClientSession* session = g_pClientSession;
    if (!session) return 1;
    const uint8_t* payload = packet.payload.data();
    const size_t size = packet.length;
    switch (id) {
        case PK_GUILD_CHAT:
            if (chatList && !IsBlockedSender(*session, FieldAt(packet, 10, 34).c_str()))
                ShowGuildChatLine(*session, chatList, payload, size);
            return 1;
        case PK_NOTICE:
            if (chatList && size > 4) AddChatLine(chatList, FieldAt(packet, 4, kTextField), kNoticeColour);
            return 1;
        case PK_GUILD_MEMBER_ONLINE:
        case PK_GUILD_MEMBER_OFFLINE:
            if (chatList) SetGuildMemberOnline(*session, payload, size, id == PK_GUILD_MEMBER_ONLINE, chatList);
            return 1;
        case PK_GUILD_ONLINE_LIST:
            HandleCommunityListPacket(*session, id, payload, size);
            return 1;
        case PK_GUILD_ACCEPT_NOTICE:
        case PK_GUILD_BANISH_NOTICE:
        case PK_GUILD_LEAVE_NOTICE:
            if (chatList && size > 0) HandleGuildNotice(*session, id, FieldAt(packet, 0, kNicknameField), chatList);
            return 1;
        case kGuildMasterQuery:
            return SendOwnNickname(screen, *session);
        case PK_GUILD_MASTER_CHANGED: {
            if (size < 25 + 1) return 1;
            const std::string master = FieldAt(packet, 25, kNicknameField);
            LineWith(chatList, MSG_GUILD_NEW_GUILDMASTER, master, kOrange);
            session->guildMaster = master;
            if (FieldAt(packet, 8, kNicknameField) == master) {
                session->isGuildMaster = true;
                return SendOwnNickname(screen, *session);
            }
            return 1;
        }
        case kFriendStateNotice: {
            in.Seek(kNicknameField);
            const uint32_t state = in.ReadU32();
            if (in.Ok())
                session->community.SetFriendState(FieldAt(packet, 0, kNicknameField), static_cast<uint8_t>(state));
            return 1;
        }
        case PK_BLOCKED_BY_USER:
            if (chatList && size > 0)
                LineWith(chatList, MSG_OUTSIDE_IS_BLOCK_MEMBER, FieldAt(packet, 0, kNicknameField), kRed);
            return 1;
        case PK_CHAT_OFF_NOTICE:
            session->chat.chatOff = true;
            Line(chatList, MSG_CHAT_MGR_CHAT_OFF, kRed);
            return 1;
        case PK_CHAT_ON_NOTICE:
            session->chat.chatOff = false;
            Line(chatList, MSG_CHAT_MGR_CHAT_ON, kGreen);
            return 1;
        case PK_MARKET_ITEM_SOLD: {
            in.Seek(17);
            const uint32_t itemId = in.ReadU32();
            const uint64_t money = in.ReadU64();
            if (!in.Ok()) return 1;
            session->money = static_cast<int64_t>(money);
            const ItemCatalogueEntry* item =
                g_pGameDataRegistry ? g_pGameDataRegistry->FindItemRecord(itemId) : nullptr;
            LineWith(chatList, MSG_MARKET_REGISTRATION_ITEM_SELL, item ? item->texts[0] : std::string(), kNoticeColour);
            return 1;
        }
        case PK_GUILD_MEMBER_LIST: {
            const uint8_t ok = in.ReadU8();
            const uint8_t code = in.ReadU8();
            if (!in.Ok()) return 1;
            if (ok == 1)
                HandleCommunityListPacket(*session, id, payload, size);
            else
                Report(code);
            return 1;
        }
        case PK_WHISPER_RECV:
            if (chatList) HandleWhisperPacket(payload, size, chatList, *session);
            return 1;
        case kGuildRosterInfo:
            return HandleGuildInfo(screen, *session, packet);
        case PK_FRIEND_ADD_RESULT:
        case PK_BLOCK_ADD_RESULT:
            if (chatList) HandleCommunityAdd(*session, packet, chatList, id == PK_FRIEND_ADD_RESULT);
            return 1;
        case PK_KILLGAME_RESULT:
        case PK_BAN_RESULT:
        case PK_USERSEARCH_RESULT:
        case PK_REPORT_RESULT:
        case PK_ROOMCRY:
        case PK_CHATOFF_RESULT:
        case PK_CHATON_RESULT:
        case PK_CURRENTUSER_RESULT:
        case PK_BANOFF_RESULT:
            return HandleOperatorReply(screen, packet, chatList);
        default:
            return 1;
    }
}

std::string GetUserStateName(int state) {
    static constexpr int kStates[] = {MSG_CHAT_USER_STAGE_EMPTY,   MSG_CHAT_USER_STAGE_INBOUND,
                                      MSG_CHAT_USER_STAGE_LOBBY,   MSG_CHAT_USER_STAGE_GAMEROOM,
                                      MSG_CHAT_USER_STAGE_SHOP,    MSG_CHAT_USER_STAGE_SINGLE_PLAY,
                                      MSG_CHAT_USER_STAGE_TUTORIAL};
    if (state < 0 || state >= static_cast<int>(std::size(kStates))) return "NoState";
    return GetMessageText(kStates[state]);
}

int StartWhisperTo(const char* nickname, CUiListBox* chatList) {
    if (!nickname || !*nickname || !g_pClientSession) return 1;
    const std::string command = "/w " + std::string(nickname, strnlen(nickname, kNicknameMax));
    const ChatRecord* record = ProcessChatInput(nullptr, *g_pClientSession, command, chatList);
    return record && record->text.compare(0, 16, "CHAT_SEND_ERROR") == 0 ? 0 : 1;
}

int IsChatErrorClass(int code) { return code == 18 || code == 19 || code == 20 || code == 22 || code == 28 ? 1 : 0; }

int FindOwnRoomSlot() {
    if (!g_pClientSession) return -1;
    const CClientSession& session = *g_pClientSession;
    if (session.nickname.empty()) return -1;
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot)
        if (session.room.MemberNickname(slot) == session.nickname) return slot;
    return -1;
}
