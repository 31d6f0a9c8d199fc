// Fuzz target: the whisper answer (the payload of PK_WHISPER_RECV). Whatever
// the bytes, the handler reads nothing past them, and a handled packet leaves
// a last whisperer that fits a nickname field.
#include <cstddef>
#include <cstdint>

#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "ui/UiListBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CClientSession session;
    session.nickname = "abcd";
    session.words.Load({"bad"}, {"nice"});
    CUiListBox list;
    list.CreateEx(nullptr, "ID_CHAT", 0, 0, 200, 100, 1, 5);
    const int handled = HandleWhisperPacket(data, size, &list, session);
    if (handled != (size >= 19 ? 1 : 0)) __builtin_trap();
    if (session.chat.lastWhisperer.size() > kNicknameMax) __builtin_trap();
    if (list.ItemCount() >= kChatListCap) __builtin_trap();
    return 0;
}
