// The chat of a room and of hero select: the typed line taken from the edit
// through the chat layer, and a received line shown unless its sender is
// blocked or the word filter drops it.
#pragma once

#include <cstdint>

class CClientSession;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
struct ChatRecord;
struct NetPacket;

namespace room_chat {

enum TypedResult { TYPED_NOTHING, TYPED_SHOWN, TYPED_SEND, TYPED_ERROR };

// Empties the edit and runs a non-blank line through the chat layer. A local
// room (no server) shows the filtered line itself (TYPED_SHOWN); otherwise the
// record to send is in *record (TYPED_SEND). TYPED_ERROR: the chat layer could
// not send and the error popup is due.
int TakeTypedLine(CUiEditBox* edit, CUiStatic* modeLabel, CUiListBox* list, CClientSession& session, bool local,
                  const ChatRecord** record);
// A received 1021: "%s : %s" in the operator colour, yellow for the own
// side's audience (ownSide -1: none), else white.
void ShowReceivedLine(const NetPacket& packet, CUiListBox* list, const CClientSession& session, int ownSide);

}  // namespace room_chat
