// The play screen's network poll: the command frames of every player, a
// player leaving, the host slot and the answer to leaving the room; every
// other message goes to the handlers all screens share. Each message is
// checked whole before anything of it runs.
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr int kSlotCount = 12;
constexpr int kErrorOther = 10000;
// The lag check: a frame this far behind the own clock counts against its sender.
constexpr float kLagSeconds = 120.0f;
constexpr int32_t kLagLimit = 5;

int ProtocolError(int message) {
    ErrorReport().SetError(kErrorOther, "%s", GetMessageText(message));
    return 0;
}
}  // namespace

int CPlayScreen::HandleServerMessages() {
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    if (!net || !net->IsConnected()) return 1;
    NetPacket packet;
    for (;;) {
        if (Phase() == PHASE_LEAVING) return 1;
        if (!net->RecvPacket(packet)) return 0;
        if (packet.id == 0) return 1;
        const int result = HandlePlayMessage(packet);
        if (result != kPollNext) return result;
    }
}

int CPlayScreen::HandlePlayMessage(const NetPacket& packet) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    switch (packet.id) {
        case PK_GAME_COMMANDS:
            return OnGameCommands(packet) ? kPollNext : 0;
        case PK_PLAYER_OUT: {
            if (packet.length < 2) return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
            const uint16_t slot = LoadU16(packet.payload.data());
            if (slot >= kSlotCount) return kPollNext;
            m_lagCounters[slot] = 0;
            world.slotGone[slot] = true;
            g_pGameCommandManager->BuildPlayerEvent(1, slot, 0);
            return kPollNext;
        }
        case PK_HOST_SLOT:
        case PK_HOST_SLOT_CHANGED: {
            if (packet.length < 2) return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
            const uint16_t slot = LoadU16(packet.payload.data());
            if (slot >= kSlotCount) return kPollNext;
            m_hostSlot = slot;
            world.host = slot == world.localSlot ? 1 : 0;
            return kPollNext;
        }
        case PK_LEAVE_ROOM_RESULT:
            return OnLeaveRoomResult(packet);
        default:
            if (!HandleCommonMessage(*this, packet, nullptr)) return 0;
            if (packet.id >= 2 && packet.id <= 999) return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
            return kPollNext;
    }
}

int CPlayScreen::OnGameCommands(const NetPacket& packet) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    // A frame shorter than its head, or from no player, is not a frame.
    if (packet.length < CommandFrame::kHeaderSize) return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
    const uint8_t* frame = packet.payload.data();
    const int slot = frame[1];
    if (slot >= kSlotCount) return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
    const float sent = LoadF32(frame + 4);
    if (slot == world.localSlot) {
        m_ownLatency = static_cast<int32_t>((world.gameClock - sent) * 500.0f);
    } else if (sent - world.gameClock < -kLagSeconds) {
        ++m_lagCounters[static_cast<size_t>(slot)];
        int active = 0;
        for (int s = 0; s < kSlotCount; ++s) active += world.slotOccupied[s] && !world.slotGone[s];
        if (world.gameMode == 4) active = 0;
        if (active > 2) {
            int lagging = 0;
            for (int32_t c : m_lagCounters) lagging += c > kLagLimit;
            if (lagging > active / 2 + 1) return ProtocolError(MSG_GAMEPLAY_WRONG_TIME_INFO);
        }
    } else if (m_lagCounters[static_cast<size_t>(slot)] > 0) {
        --m_lagCounters[static_cast<size_t>(slot)];
    }
    g_pGameCommandManager->UnpackFrame(frame, packet.length);
    return 1;
}

int CPlayScreen::OnLeaveRoomResult(const NetPacket& packet) {
    if (packet.length < 1 || packet.payload[0] != 1) {
        // The server's code says why; the popup shows it.
        if (packet.length >= 2) return ReportServerResult(packet.payload[1]);
        return ProtocolError(MSG_GAMEPLAY_WRONG_HEADER_DATA);
    }
    if (packet.length >= 2 + MemberEntry::kBytes && g_pClientSession)
        std::memcpy(g_pClientSession->ownEntry.bytes.data(), packet.payload.data() + 2, MemberEntry::kBytes);
    BeginLeave(LEAVE_LOBBY);
    return 1;
}
