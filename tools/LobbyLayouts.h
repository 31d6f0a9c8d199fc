// The lobby's layouts with every control its windows bind: the lobby window
// ("LOBBY2.DUI"), the make-room, room-password and quick-join windows, and
// the mode icons of the room rows. Used by the lobby tests and the sample
// game folder.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec LobbyLayout();
LayoutFileSpec MakeRoomLayout();
LayoutFileSpec RoomPasswordLayout();
LayoutFileSpec QuickJoinLayout();

// "LOBBY2.DUI", "MAKEROOM2.DUI", "ROOMINPASS.DUI", "QUICKJOIN2.DUI".
int AddLobbyLayouts(CPackageWriter& package);
// "SM.DDS" and "PVM.DDS".
int AddLobbyMedia(CPackageWriter& package);
