#include "screens/lobby/RoomChat.h"

#include <string>

#include "engine/core/TextFormat.h"
#include "net/ChatCommand.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/RoomSenders.h"
#include "ui/UiEditBox.h"

namespace room_chat {

namespace {
constexpr uint32_t kWhite = 0xffffff;
}

int TakeTypedLine(CUiEditBox* edit, CUiStatic* modeLabel, CUiListBox* list, CClientSession& session, bool local,
                  const ChatRecord** record) {
    const std::string typed = edit->GetText();
    edit->SetText("");
    if (!IsNonBlankText(typed)) return TYPED_NOTHING;
    const ChatRecord* taken = ProcessChatInput(modeLabel, session, typed, list);
    if (!taken) return TYPED_NOTHING;
    if (taken->text.compare(0, 15, "CHAT_SEND_ERROR") == 0) return TYPED_ERROR;
    if (local) {
        std::string shown;
        if (session.words.FilterChatWords(taken->text, session.nickname, nullptr, shown))
            AddChatLine(list, FormatText("%s : %s", session.nickname, shown), chat_colour::kTeam);
        return TYPED_SHOWN;
    }
    if (record) *record = taken;
    return TYPED_SEND;
}

void ShowReceivedLine(const NetPacket& packet, CUiListBox* list, const CClientSession& session, int ownSide) {
    RoomChatLine line;
    if (!ReadRoomChatLine(packet, &line) || IsBlockedSender(session, line.nickname.c_str())) return;
    std::string shown;
    if (!session.words.FilterChatWords(line.text, session.nickname, line.nickname.c_str(), shown)) return;
    const uint32_t colour = line.nickname.find('[') != std::string::npos ? chat_colour::kOperator
                            : ownSide >= 0 && line.audience == ownSide   ? chat_colour::kTeam
                                                                         : kWhite;
    AddChatLine(list, FormatText("%s : %s", line.nickname, shown), colour);
}

}  // namespace room_chat
