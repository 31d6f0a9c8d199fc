// Fuzz target: the loading exchange inside PK_GAME_COMMANDS. Whatever the
// bytes, the reader stays inside them, takes only positions of the match, and
// a message it accepts writes back into one that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "screens/game/LoadingMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadingMessage m;
    if (!ParseLoadingMessage(std::span<const uint8_t>(data, size), &m)) return 0;
    if (m.position >= 12) __builtin_trap();
    if (m.itemIds.size() * 4 > size) __builtin_trap();
    std::vector<uint8_t> out(LoadingMessage::kMaxPayload);
    size_t length = 0;
    if (m.kind == LoadingMessage::KIND_HEADER)
        length = WriteLoadingHeader(out, m.position, m.cardLevel, m.observer, m.itemIds);
    else if (m.kind == LoadingMessage::KIND_CHAT)
        length = WriteLoadingChat(out, m.position, m.chatMode, m.text);
    else
        length = WriteLoadingProgress(out, m.position, m.percent);
    if (length == 0) __builtin_trap();
    LoadingMessage again;
    if (!ParseLoadingMessage(std::span<const uint8_t>(out.data(), length), &again)) __builtin_trap();
    if (again.kind != m.kind || again.position != m.position) __builtin_trap();
    if (m.kind == LoadingMessage::KIND_CHAT && (length > LoadingMessage::kChatMaxBytes || again.text.size() > m.text.size()))
        __builtin_trap();
    if (m.kind == LoadingMessage::KIND_HEADER && m.itemIds.size() <= LoadingMessage::kMaxItemIds &&
        again.itemIds != m.itemIds)
        __builtin_trap();
    return 0;
}
