// The lobby's community window ("COMMUNITY.DUI"): three tabs (friends,
// blocked users, the guild roster) over one member list, and the action
// buttons that fit the tab and the player's place in a guild. Clicks only
// raise latches; the lobby takes them and asks its questions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/UiManager.h"
#include "ui/UiWindow.h"

class CCommunityLists;
class CUiButton;
class CUiCheckButton;
class CUiListBox;
class CUiStatic;

// What the window asks of the lobby it belongs to.
class ICommunityOwner {
public:
    virtual ~ICommunityOwner() = default;
    // An applicant waits for the guild master: the application-list button blinks.
    virtual bool ApplicantNotice() const = 0;
    // The friends or blocked tab was chosen: the guild's side windows go.
    virtual void HideGuildWindows() = 0;
    // The guild master opened the guild tab: the applicants are asked for.
    virtual void RequestApplicants() = 0;
    // Seconds of the frame being drawn.
    virtual float FrameTime() const = 0;
};

class CCommunityWindow : public CUiWindow {
public:
    enum Tab { TAB_FRIENDS, TAB_BLOCKED, TAB_GUILD, TAB_COUNT };
    enum Button {
        BTN_ADD_FRIEND,
        BTN_DELETE_FRIEND,
        BTN_ADD_BLOCKED,
        BTN_DELETE_BLOCKED,
        BTN_GUILD_CREATE,
        BTN_GUILD_JOIN,
        BTN_GUILD_JOIN_CANCEL,
        BTN_GUILD_BANISH,
        BTN_GUILD_MASTER_CHANGE,
        BTN_APPLICANTS,
        BTN_GUILD_DATA,
        BTN_GUILD_LEAVE,
        BTN_CLOSE,
        BUTTON_COUNT
    };
    static constexpr uint32_t kOnline = 0xff00ff00u;
    static constexpr uint32_t kOffline = 0xff888888u;
    static constexpr uint32_t kBlocked = 0xffffffffu;
    static constexpr float kBlinkRate = 6.5f;
    static const char* const kButtonNames[BUTTON_COUNT];

    // The buttons a tab shows (bit n: button n) for its button state:
    // the tab itself for friends and blocked users, 2 + the guild state for
    // the guild tab. The join-wait text shows with state 3 only.
    static uint32_t VisibleButtons(int state, bool guildMaster);
    // The tab's button state; a guild state outside 0..2 counts as none.
    static int ButtonState(int tab, uint8_t guildState);

    explicit CCommunityWindow(ICommunityOwner* owner = nullptr) : m_owner(owner) {}

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnRButtonClick(CUiObject* control) override;
    void Render() override;

    // Switches to the tab (from another one: the list emptied, its buttons
    // shown, the guild tab asking for applicants as master).
    void ChooseTab(int tab);
    // Shows the buttons of the current tab for the player's guild state.
    void ShowButtons(uint8_t guildState, bool guildMaster);
    // Redraws the member list of the current tab from the tables.
    void ShowRows(const CCommunityLists& lists);
    // The row under the point of the member list becomes the chosen one and
    // asks for the popup; outside the rows the choice is cleared.
    void ChooseRowAt(float x, float y);

    void SetBlinkTexture(platform::CGfxTexture* texture) { m_blink.texture = texture; }
    const CUiBlinkImage& Blink() const { return m_blink; }

    int TakeCommand(int button);
    void PressCommand(int button) { m_commands[static_cast<size_t>(button)] = 1; }
    int TakePopupRequest() {
        const int was = m_popupRequest;
        m_popupRequest = 0;
        return was;
    }
    int TakeChanged() {
        const int was = m_changed;
        m_changed = 0;
        return was;
    }
    int CurrentTab() const { return m_tab; }
    // The nickname of the chosen row, or empty.
    std::string ChosenName() const;

    CUiButton* ButtonAt(int button) const { return m_buttons[static_cast<size_t>(button)]; }
    CUiStatic* JoinWaitText() const { return m_joinWait; }
    CUiStatic* Header(int n) const { return m_headers[static_cast<size_t>(n)]; }
    CUiListBox* Members() const { return m_members; }
    CUiCheckButton* TabBox(int tab) const { return m_tabs[static_cast<size_t>(tab)]; }

private:
    void AddRow(const char* name, uint32_t colour, const std::string& number);

    ICommunityOwner* m_owner;
    std::array<CUiButton*, BUTTON_COUNT> m_buttons{};
    std::array<uint32_t, BUTTON_COUNT> m_commands{};
    std::array<CUiStatic*, 2> m_headers{};
    std::array<CUiCheckButton*, TAB_COUNT> m_tabs{};
    CUiStatic* m_joinWait = nullptr;
    CUiListBox* m_members = nullptr;
    CUiBlinkImage m_blink;
    int m_tab = TAB_FRIENDS;
    int m_changed = 0;
    int m_popupRequest = 0;
};
