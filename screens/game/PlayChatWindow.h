// The chat box of the play screen: a list of chat lines that fades out when
// nothing happens, and an input part (frame, addressee label, notice label and
// edit line) that opens for typing. A typed line goes through the shared chat
// input; in a network match it becomes a CMD_CHAT record in the player's
// command frames and shows only when the server relays it back, so every
// player sees the same lines in the same order. Offline it shows at once.
//
// Closed, the box lets clicks through to the match (the drag-area flag on the
// window and the list) and the list fades: full for 8 s after the last line,
// then down to nothing at 11 s. Open, it never fades.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/UiWindow.h"

class CPlayScreen;
class CUiEditBox;
class CUiListBox;
class CUiScrollBar;
class CUiStatic;

class CPlayChatWindow : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_CHAT_BOX.DUI";
    // The input method stops typing at 100 bytes before this limit is reached.
    static constexpr int kEditLimit = 120;
    static constexpr float kFadeStart = 8.0f;
    static constexpr float kFadeEnd = 11.0f;
    static constexpr float kBackgroundAlpha = 0.2f;
    // Colours of the own line: to all players, to the team.
    static constexpr uint32_t kAllColour = 0xFFFFFF;
    static constexpr uint32_t kTeamColour = 0xFFFF00;
    enum Target : uint32_t { TARGET_TEAM = 0, TARGET_ALL = 1 };

    explicit CPlayChatWindow(CPlayScreen& owner);

    int OnLayoutLoaded() override { return BindControls(); }
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject*) override;
    void OnTab(CUiObject*) override { ToggleTarget(); }

    int BindControls();
    // Sets the addressee label and focuses the edit line.
    void SetTarget(uint32_t target);
    // Only while the edit line has the focus.
    void ToggleTarget();
    // Sends the typed line and ends typing; gives the edit line the focus when it lacks it.
    void SendLine();
    // A line in a colour (0xRRGGBB, 0: the text's own), and the list wakes.
    void AddLine(uint32_t colour, std::string_view text);
    // The list at full opacity and the fade count restarted.
    void Wake();
    // Shows the input part, in front, with the edit line focused.
    void Open();
    // Hides the input part and forgets the typed text; the list fades again.
    void Close();
    // The box's place: at the left edge, its input part over the main panel.
    void PlaceAbove(float panelY);

    bool IsOpen() const;
    bool EditFocused() const;
    uint32_t Target() const { return m_target; }
    float IdleTime() const { return m_idle; }
    float ListTextAlpha() const { return m_textAlpha; }
    float ListBackgroundAlpha() const { return m_backgroundAlpha; }
    CUiListBox* List() const { return m_list; }
    CUiEditBox* Edit() const { return m_edit; }
    CUiStatic* AddresseeLabel() const { return m_to; }
    // Whether a control belongs to the box (the box itself included).
    bool Owns(const CUiObject* control) const;

private:
    void SetListAlphas(float text, float background);

    CPlayScreen& m_owner;
    CUiListBox* m_list = nullptr;
    CUiEditBox* m_edit = nullptr;
    CUiStatic* m_main = nullptr;
    CUiStatic* m_to = nullptr;
    CUiStatic* m_alarm = nullptr;
    CUiScrollBar* m_scroll = nullptr;
    uint32_t m_target = TARGET_TEAM;
    float m_idle = 0.0f;
    float m_textAlpha = 0.0f;
    float m_backgroundAlpha = kBackgroundAlpha;
    // Where the input method's candidate list opens.
    int32_t m_candidateX = 0, m_candidateY = 0;
};
