// Fuzz target: the messages every screen hands to the shared handler. The
// first byte picks the message id, the rest is its payload (at most a
// packet's). Whatever the bytes, nothing is read past them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "net/ClientSession.h"
#include "net/NetPacket.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/Screen.h"
#include "ui/UiListBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const uint16_t kIds[] = {1026, 1027, 1028, 1029, 1030, 1040, 1041, 1055, 1057, 1058, 1059,
                                    1060, 1061, 1062, 1071, 1072, 1073, 3025, 3026, 3027, 3043, 3047,
                                    3057, 3058, 3059, 3060, 3061, 3062, 3063, 3064, 3065};
    const NetPacket packet = fuzz::PacketFromInput(kIds, std::size(kIds), data, size);
    CClientSession session;
    session.nickname = "abcd";
    session.words.Load({"bad"}, {});
    g_pClientSession = &session;
    CUiListBox list;
    list.CreateEx(nullptr, "ID_CHAT", 0, 0, 200, 100, 1, 5);
    CScreen screen;
    HandleCommonMessage(screen, packet, &list);
    HandleCommonMessage(screen, packet, nullptr);
    g_pClientSession = nullptr;
    if (session.guildName.size() > 16 || session.guildMaster.size() > 16) __builtin_trap();
    return 0;
}
