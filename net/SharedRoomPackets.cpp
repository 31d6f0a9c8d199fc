#include "net/SharedRoomPackets.h"

#include <cstring>

#include "engine/core/MessageTable.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"

namespace {

constexpr uint32_t kWhite = 0xffffff;
constexpr size_t kSlotTableBytes = RoomRecord::kSlots * RoomRecord::kSlotBytes;

void NicknameLine(CUiListBox* chatList, int entry, std::string_view nickname) {
    AddChatLineFormat(chatList, GetMessageText(entry), FormatArg(std::string(nickname)), kWhite);
}

bool WasMember(const RoomRecord& previous, std::string_view nickname) {
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot)
        if (previous.MemberNickname(slot) == nickname) return true;
    return false;
}

// The slot named by a u16 at the payload's start, or -1 when cut or out of the room.
int SlotOf(const NetPacket& packet) {
    CByteReader in = packet.Reader();
    const uint16_t slot = in.ReadU16();
    return in.Ok() && slot < RoomRecord::kSlots ? slot : -1;
}

void RoomInfo(CClientSession& session, const NetPacket& packet, CUiListBox* chatList, IRoomPacketScreen* room) {
    const RoomRecord previous = session.room;
    if (!session.room.Assign(packet.payload.data(), packet.length)) return;
    if (room) room->OnRoomRecord();
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot) {
        if (session.room.SlotState(slot) != RoomRecord::kOccupied || previous.SlotState(slot) == RoomRecord::kOccupied)
            continue;
        const std::string_view nickname = session.room.MemberNickname(slot);
        if (!WasMember(previous, nickname)) NicknameLine(chatList, MSG_WAITROOM_ENTER_PLAYER, nickname);
    }
}

void SlotRemoved(CClientSession& session, const NetPacket& packet, CUiListBox* chatList, IRoomPacketScreen* room) {
    const int slot = SlotOf(packet);
    if (slot < 0) return;
    if (slot == FindOwnRoomSlot()) {
        session.leaveToLobby = true;
        if (room) room->OnOwnSlotRemoved();
        return;
    }
    if (room) room->skipNextLeave = true;
    NicknameLine(chatList, MSG_WAITROOM_EXIT_PLAYER, session.room.MemberNickname(slot));
}

void PlayerOut(const CClientSession& session, const NetPacket& packet, CUiListBox* chatList, IRoomPacketScreen* room) {
    if (room && room->skipNextLeave) {
        room->skipNextLeave = false;
        return;
    }
    const int slot = SlotOf(packet);
    if (slot >= 0) NicknameLine(chatList, MSG_WAITROOM_LEAVE_PLAYER, session.room.MemberNickname(slot));
}

void ChangeResult(CClientSession& session, const NetPacket& packet, IRoomPacketScreen* room) {
    if (IScreenHost* host = ScreenHost()) host->Ui().SetCursor(0);
    CByteReader in = packet.Reader();
    const uint8_t ok = in.ReadU8();
    const uint8_t code = in.ReadU8();
    const uint16_t value = in.ReadU16();
    if (!in.Ok() && packet.length < 2) return;
    if (ok != 1) {
        ReportServerResult(code);
        return;
    }
    if (!in.Ok()) return;
    if (packet.id == PK_ROOM_MAP_CHANGE_RESULT) {
        session.room.SetMapId(value);
        if (room) room->OnMapChanged();
    } else {
        session.room.SetGuardianChoice(value);
        if (room) room->OnGuardianChanged();
    }
}

}  // namespace

int HandleSharedRoomPackets(CScreen&, const NetPacket& packet, CUiListBox* chatList, IRoomPacketScreen* room) {
    CClientSession* session = g_pClientSession;
    switch (packet.id) {
        case PK_ROOM_INFO:
            if (session) RoomInfo(*session, packet, chatList, room);
            return 0;
        case PK_ROOM_SLOT_STATES:
            if (session && packet.length >= kSlotTableBytes) {
                std::memcpy(session->room.Slot(0), packet.payload.data(), kSlotTableBytes);
                if (room) room->OnSlotStates();
            }
            return 0;
        case PK_ROOM_SLOT_REMOVED:
            if (session) SlotRemoved(*session, packet, chatList, room);
            return 0;
        case PK_PLAYER_OUT:
            if (session) PlayerOut(*session, packet, chatList, room);
            return 0;
        case PK_ROOM_MAP_CHANGE_RESULT:
        case PK_ROOM_TIME_CHANGE_RESULT:
            if (session) ChangeResult(*session, packet, room);
            return 0;
        default:
            return 1;
    }
}
