// The count-down the server announces before it shuts down. Screens with a
// chat list get notices as chat lines (one in minutes while more than a
// minute is left, then one per second); screens without one show the notice
// on screen. When the seconds run out the screen drops the connection.
#pragma once

#include <string>

// Where chat notices go (the chat list of a screen).
class IChatLines {
public:
    virtual ~IChatLines() = default;
    // rgb: 0xRRGGBB
    virtual void AddChatLine(const std::string& text, unsigned rgb) = 0;
};

class CShutdownCountdown {
public:
    static constexpr unsigned kChatRed = 0xFF0000u;
    static constexpr unsigned kNoticeColor = 0xFFFF0000u;  // ARGB, opaque red
    static constexpr int kNoticeFont = 2;                  // the third font of the font list
    static constexpr int kNoticeY = 38;

    // Starts a count-down of the given seconds; notices step every 10 seconds
    // from a minute on, else every second.
    void StartCountdown(float seconds);

    // One frame of dt seconds; chat may be null. 0 exactly when the seconds
    // have just run out (the caller then shows the disconnect popup), else 1.
    int TickShutdownCountdown(IChatLines* chat, float dt);

    // The on-screen notice to draw this frame: false when none. x follows the
    // text's length so that it stands about in the middle of the top line.
    bool GetNotice(std::string* text, int* x, int* y) const;

    float SecondsLeft() const { return m_secondsLeft; }
    float StepTimer() const { return m_stepTimer; }
    bool NoticeShown() const { return m_noticeShown; }

private:
    float m_secondsLeft = 0.0f;
    float m_stepTimer = 0.0f;
    bool m_noticeShown = false;
};
