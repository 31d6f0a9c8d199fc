// The lists the screens before the lobby read from the servers: the first
// byte picks the nickname list (0) or the channel list (1); every text that
// comes out stays within its field, and every gauge level within 1..14.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "screens/lobby/ChannelWindow.h"
#include "screens/lobby/SelectNicknameWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] == 0) {
        NicknameList list;
        if (ReadNicknameList(data + 1, size - 1, &list)) {
            for (const NicknameSlot& slot : list.slots)
                if (slot.nickname.size() >= NicknameList::kNicknameSize) std::abort();
            if (DisconnectLevel(list.disconnectPoints) > 6) std::abort();
        }
    } else {
        ChannelList list;
        if (ReadChannelList(data + 1, size - 1, &list)) {
            for (const ChannelEntry& entry : list.entries) {
                if (entry.name.size() >= ChannelList::kNameSize || entry.address.size() >= ChannelList::kAddressSize)
                    std::abort();
                const int level = ChannelGaugeLevel(entry.users, entry.capacity);
                if (level < 1 || level > CChannelWindow::kMaxLevel) std::abort();
            }
        }
    }
    return 0;
}
