// The small windows of the community: adding a friend or blocked user,
// creating a guild, the guild master's applicant list, the guild search and
// the guild's data. Each binds its buttons in order and turns a click on
// the n-th into latch n, which the lobby takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/UiWindow.h"

class CUiButton;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
struct GuildDataBlock;

class CLatchWindow : public CUiWindow {
public:
    explicit CLatchWindow(std::vector<const char*> buttonNames) : m_names(std::move(buttonNames)) {}

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;

    // 1 when button n was clicked since the last take; taking one clears all.
    int TakeLatch(size_t n);
    void PressLatch(size_t n) {
        if (n < m_latches.size()) m_latches[n] = 1;
    }
    CUiButton* ButtonAt(size_t n) const { return n < m_buttons.size() ? m_buttons[n] : nullptr; }
    // Shown in front, or hidden and sent to the back.
    void Open();
    void Close();

protected:
    // The window's other controls; 0 when one is missing.
    virtual int BindControls() = 0;

private:
    std::vector<const char*> m_names;
    std::vector<CUiButton*> m_buttons;
    std::vector<int> m_latches;
};

// "OTHERPANNELS.DUI": the name of a new friend or blocked user.
class CAddFriendWindow : public CLatchWindow {
public:
    enum { LATCH_OK, LATCH_CLOSE };
    CAddFriendWindow() : CLatchWindow({"ID_BUTTON_OK", "ID_BUTTON_CLOSE"}) {}
    // Shows the title of the friends (1) or the blocked users (0).
    void ShowTitle(bool friends);
    CUiEditBox* Edit() const { return m_edit; }

protected:
    int BindControls() override;

private:
    CUiEditBox* m_edit = nullptr;
    CUiStatic* m_friendTitle = nullptr;
    CUiStatic* m_blockedTitle = nullptr;
};

// "CREATE_GUILD.DUI": the name of a new guild.
class CCreateGuildWindow : public CLatchWindow {
public:
    enum { LATCH_CREATE, LATCH_CLOSE };
    CCreateGuildWindow() : CLatchWindow({"ID_BUTTON_GUILD_CREATE", "ID_BUTTON_CLOSE"}) {}
    CUiEditBox* Edit() const { return m_edit; }

protected:
    int BindControls() override;

private:
    CUiEditBox* m_edit = nullptr;
};

// "GUILD_WAIT_LIST.DUI": the players who applied to the master's guild.
class CGuildWaitListWindow : public CLatchWindow {
public:
    enum { LATCH_ACCEPT, LATCH_REFUSE, LATCH_CLOSE };
    CGuildWaitListWindow() : CLatchWindow({"ID_BUTTON_OK", "ID_BUTTON_CANCLE", "ID_BUTTON_CLOSE"}) {}
    // The non-empty names as rows in the list's default colour; the number of rows.
    int ShowApplicants(const std::vector<std::string>& names);
    // The chosen applicant, or empty.
    std::string ChosenName() const;
    CUiListBox* List() const { return m_list; }

protected:
    int BindControls() override;

private:
    CUiListBox* m_list = nullptr;
};

// "JOIN_GUILD.DUI": a guild searched by name and applied to.
class CJoinGuildWindow : public CLatchWindow {
public:
    enum { LATCH_JOIN, LATCH_CLOSE, LATCH_SEARCH };
    CJoinGuildWindow() : CLatchWindow({"ID_BUTTON_JOIN", "ID_BUTTON_CLOSE", "ID_BUTTON_SEARCH"}) {}
    void AddGuildName(const std::string& name);
    std::string ChosenName() const;
    CUiEditBox* Edit() const { return m_edit; }
    CUiListBox* List() const { return m_list; }

protected:
    int BindControls() override;

private:
    CUiEditBox* m_edit = nullptr;
    CUiListBox* m_list = nullptr;
};

// "GUILD_DATA.DUI": the guild's name, master, members, points and notice.
class CGuildDataWindow : public CLatchWindow {
public:
    enum { LATCH_CLOSE };
    static constexpr int kLines = 5;
    CGuildDataWindow() : CLatchWindow({"ID_BUTTON_CLOSE"}) {}
    void ShowGuildData(const GuildDataBlock& data);
    CUiStatic* Line(int n) const { return m_lines[static_cast<size_t>(n)]; }

protected:
    int BindControls() override;

private:
    CUiStatic* m_lines[kLines] = {};
};
