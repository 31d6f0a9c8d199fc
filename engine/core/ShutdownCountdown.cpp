#include "engine/core/ShutdownCountdown.h"

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"

namespace {

std::string SecondsText(float seconds) {
    return FormatText(GetMessageText(MSG_TIME_SHUTDOWN_SERVER_SEC), static_cast<int>(seconds));
}

std::string MinutesText(float seconds) {
    return FormatText(GetMessageText(MSG_TIME_SHUTDOWN_SERVER_MIN), static_cast<int>(seconds / 60.0f));
}

}  // namespace

void CShutdownCountdown::StartCountdown(float seconds) {
    m_noticeShown = true;
    m_secondsLeft = seconds;
    m_stepTimer = seconds >= 60.0f ? 10.0f : 1.0f;
}

int CShutdownCountdown::TickShutdownCountdown(IChatLines* chat, float dt) {
    if (m_secondsLeft <= 0.0f) return 1;
    m_stepTimer -= dt;
    if (m_secondsLeft > 60.0f) {
        if (chat) {
            // One notice in minutes; the count-down ends there without a disconnect.
            chat->AddChatLine(MinutesText(m_secondsLeft), kChatRed);
            m_secondsLeft = 0.0f;
        } else if (m_stepTimer > 0.0f) {
            m_noticeShown = true;
        } else {
            m_noticeShown = false;
            m_secondsLeft = 0.0f;
        }
        return 1;
    }
    m_secondsLeft -= dt;
    if (m_secondsLeft <= 0.0f) {
        m_noticeShown = false;
        return 0;
    }
    if (chat) {
        if (m_stepTimer <= 0.0f) {
            chat->AddChatLine(SecondsText(m_secondsLeft), kChatRed);
            m_stepTimer = 1.0f;
        }
        m_noticeShown = false;
    } else {
        m_noticeShown = true;
    }
    return 1;
}

bool CShutdownCountdown::GetNotice(std::string* text, int* x, int* y) const {
    if (m_secondsLeft <= 0.0f || !m_noticeShown) return false;
    std::string t = m_secondsLeft <= 60.0f ? SecondsText(m_secondsLeft) : MinutesText(m_secondsLeft);
    if (x) *x = ((64 - static_cast<int>(t.size())) * 16) / 5;
    if (y) *y = kNoticeY;
    if (text) *text = std::move(t);
    return true;
}
