// The chat state that lives as long as the client and passes from screen to
// screen: the chat mode, the record handed to the screens, the whisper target
// and the last whisperer, the flood history and the mute.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Nicknames travel in 17-byte fields: at most 16 bytes and a NUL.
constexpr size_t kNicknameField = 17;
constexpr size_t kNicknameMax = kNicknameField - 1;

enum ChatMode : int { CHAT_MODE_ALL = 1, CHAT_MODE_TEAM = 2, CHAT_MODE_WHISPER = 3, CHAT_MODE_GUILD = 5 };

// The line a screen sends in its own message.
struct ChatRecord {
    uint32_t mode = 1;  // 1 to all, 0 to the own team or party
    std::string text;   // at most kTextMax bytes
    static constexpr size_t kTextMax = 255;
};

class CChatInput {
public:
    // Four lines each less than this after the one before trip the flood limit.
    static constexpr uint32_t kFloodGapMs = 800;
    static constexpr size_t kFloodLines = 3;
    // A mute ends with the first line typed this long after it began.
    static constexpr uint32_t kMuteMs = 60001;
    static constexpr int kFlooded = 18;

    // kFlooded when the line at now trips the flood limit (the mute starts),
    // else 1 and the line's time is recorded.
    int CheckChatFlood(uint32_t now);
    // True while muted at now; a mute that has run out is cleared.
    bool IsMuted(uint32_t now);

    int mode = CHAT_MODE_ALL;
    ChatRecord record;
    std::string whisperTarget;
    std::string lastWhisperer;
    std::vector<uint32_t> sendTimes;
    bool muted = false;
    uint32_t muteStart = 0;
    bool chatOff = false;
};
