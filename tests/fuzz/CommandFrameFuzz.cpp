// Fuzz target: a received command frame (the payload of PK_GAME_COMMANDS).
// Whatever the bytes, unpacking reads nothing past them and every record it
// queues has its type's size.
#include <cstddef>
#include <cstdint>

#include "commands/GameCommandManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CGameCommandManager manager;
    const int queued = manager.UnpackFrame(data, size);
    if (queued < 0 || static_cast<size_t>(queued) != manager.QueueSize()) __builtin_trap();
    while (CGameCommand* record = manager.NextCommand()) {
        if (record->Type() >= kGameCommandTypes || record->Size() != GameCommandSize(record->Type())) __builtin_trap();
        if (record->Type() == CMD_CHAT && record->U8(131) != 0) __builtin_trap();
        manager.ReleaseDispatched(record);
    }
    return 0;
}
