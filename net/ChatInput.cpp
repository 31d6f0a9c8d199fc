#include "net/ChatInput.h"

int CChatInput::CheckChatFlood(uint32_t now) {
    if (!sendTimes.empty()) {
        const uint32_t gap = now - sendTimes.back();
        if (gap < kFloodGapMs && sendTimes.size() == kFloodLines) {
            muted = true;
            muteStart = now;
            sendTimes.clear();
            return kFlooded;
        }
        // A pause ends the burst; this line starts a new one.
        if (gap >= kFloodGapMs) sendTimes.clear();
    }
    sendTimes.push_back(now);
    return 1;
}

bool CChatInput::IsMuted(uint32_t now) {
    if (!muted) return false;
    if (now - muteStart < kMuteMs) return true;
    muted = false;
    muteStart = 0;
    return false;
}
