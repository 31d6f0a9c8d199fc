// The room updates that the waiting room and the market (entered from a room)
// both receive: the room record, the slot states, members leaving or being
// removed, and the answers to the host's map and guardian-time changes. The
// record lives in the session, so it stays current whichever screen runs.
#pragma once

class CScreen;
class CUiListBox;
struct NetPacket;

// What the screen that shows the room does with an update; the market passes
// its own, or none.
class IRoomPacketScreen {
public:
    virtual ~IRoomPacketScreen() = default;
    // A new room record is in the session (the previous one was different or not).
    virtual void OnRoomRecord() = 0;
    // The slot-state table changed.
    virtual void OnSlotStates() = 0;
    // The server took the own player out of the room.
    virtual void OnOwnSlotRemoved() = 0;
    // The map id (3011) or the guardian-time choice (3017) of the record changed.
    virtual void OnMapChanged() = 0;
    virtual void OnGuardianChanged() = 0;
    // A removal line was shown, so the leave notice that follows shows none.
    bool skipNextLeave = false;
};

// 0 when the packet was one of these (handled, or cut short and ignored),
// 1 for any other id: the caller hands it to the common handler.
int HandleSharedRoomPackets(CScreen& screen, const NetPacket& packet, CUiListBox* chatList, IRoomPacketScreen* room);
