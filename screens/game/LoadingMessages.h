// The loading exchange of a network match, carried in PK_GAME_COMMANDS before
// the match runs. Every message starts with a u32 kind and the sender's u32
// position (0..11), little-endian:
//   kind 0, loading header: u32 0, u32 n, u32 card level (loading value A),
//           u32 observer flag (loading value B), n x u32 item data ids;
//           20 + 4n bytes
//   kind 1, chat:           u32 chat mode (0 team, 1 all), the text and its
//           NUL; at most 140 bytes in all
//   kind 2, progress:       f32 percent; 12 bytes
// The server relays each message to every player of the match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct LoadingMessage {
    enum Kind : uint32_t { KIND_HEADER = 0, KIND_CHAT = 1, KIND_PROGRESS = 2 };
    static constexpr size_t kHeaderBytes = 20;
    static constexpr size_t kChatHeaderBytes = 12;
    static constexpr size_t kChatMaxBytes = 140;
    static constexpr size_t kProgressBytes = 12;
    // What one PK_GAME_COMMANDS payload can carry.
    static constexpr size_t kMaxPayload = 2044;
    static constexpr size_t kMaxItemIds = (kMaxPayload - kHeaderBytes) / 4;

    uint32_t kind = 0;
    uint32_t position = 0;
    uint32_t cardLevel = 0;
    uint32_t observer = 0;
    std::vector<uint32_t> itemIds;
    uint32_t chatMode = 0;
    std::string text;
    float percent = 0;
};

// 1 with the message; 0 for a payload that is cut short, of another kind, or
// from a position outside the match (12 or above).
int ParseLoadingMessage(std::span<const uint8_t> payload, LoadingMessage* out);

// Each writes the message into out and gives its length (0 when out is too
// small). The header keeps the first kMaxItemIds ids; the chat text is cut on
// a character boundary so the message fits kChatMaxBytes.
size_t WriteLoadingHeader(std::span<uint8_t> out, uint32_t position, uint32_t cardLevel, uint32_t observer,
                          std::span<const uint32_t> itemIds);
size_t WriteLoadingChat(std::span<uint8_t> out, uint32_t position, uint32_t chatMode, std::string_view text);
size_t WriteLoadingProgress(std::span<uint8_t> out, uint32_t position, float percent);
