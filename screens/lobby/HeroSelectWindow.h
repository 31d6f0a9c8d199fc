// The hero select window: the hero buttons of a page, the race tabs, the
// detail panel, six player rows, the chat, and the pick buttons. Clicks only
// set flags that the hero select screen takes.
#pragma once

#include <array>
#include <cstdint>

#include "screens/lobby/HeroCardMarks.h"
#include "ui/UiWindow.h"

class CUiButton;
class CUiCheckButton;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
class CResource;

class CHeroSelectWindow : public CUiWindow {
public:
    static constexpr int kHeroButtons = 12;
    static constexpr int kRaceTabs = 5;
    static constexpr int kRows = 6;
    static constexpr int kFlags = 17;
    enum Flag { FLAG_BEFORE = 12, FLAG_NEXT = 13, FLAG_RANDOM = 14, FLAG_OK = 15, FLAG_CANCEL = 16 };

    struct PlayerRow {
        CUiStatic* nick = nullptr;
        CUiStatic* grade = nullptr;
        CUiStatic* raceName = nullptr;
        CUiStatic* portrait = nullptr;
    };

    int OnLayoutLoaded() override;
    // The controls, then over the hero buttons the not-owned overlay or the
    // card's level frame, and the level frames of the player rows' cards.
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;

    // 1 when flag i was set; taking one clears all seventeen.
    int TakeCommand(int index);
    void PressCommand(int index) { m_flags[static_cast<size_t>(index)] = 1; }
    // The hero button pressed since the last take, or -1.
    int TakeHeroButton();
    int TakeRaceTab();
    int TakeHalfButton();
    void PressHero(int i) {
        m_pressedHero = i;
        m_heroPressed = true;
    }
    int RaceTab() const { return m_raceTab; }
    void SelectRaceTab(int tab);
    void ClearRaceTabs();
    // Toggles team/all chat while the chat edit has the focus.
    void OnChatModeKey();
    int ChatMode() const { return m_chatMode; }
    void SetChatMode(int mode);

    CUiButton* HeroButton(int i) const { return m_heroes[static_cast<size_t>(i)]; }
    CUiCheckButton* RaceTabButton(int i) const { return m_tabs[static_cast<size_t>(i)]; }
    CUiCheckButton* HalfButton(int i) const { return m_halves[static_cast<size_t>(i)]; }
    const PlayerRow& Row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    CUiButton* RandomButton() const { return m_random; }
    CUiButton* OkButton() const { return m_ok; }
    CUiButton* CancelButton() const { return m_cancel; }
    CUiStatic* Detail() const { return m_detail; }
    CUiStatic* PageText() const { return m_page; }
    CUiStatic* LimitText() const { return m_limit; }
    CUiStatic* HeroName() const { return m_heroName; }
    CUiStatic* Stat(int i) const { return m_stats[static_cast<size_t>(i)]; }
    CUiStatic* Portrait() const { return m_portrait; }
    CUiStatic* Title() const { return m_title; }
    CUiStatic* RaceIcon() const { return m_raceIcon; }
    CUiStatic* ClassIcon() const { return m_classIcon; }
    CUiStatic* HunterLabel() const { return m_hunterLabel; }
    CUiListBox* Description() const { return m_description; }
    CUiListBox* ChatList() const { return m_chatList; }
    CUiEditBox* ChatEdit() const { return m_chatEdit; }
    CUiStatic* ChatPrompt() const { return m_prompt; }
    // Not-owned marks of the hero buttons, drawn by the layout's overlay look.
    std::array<bool, kHeroButtons> notOwned{};
    std::array<int, kHeroButtons> cardLevel{};
    // The card level drawn on each player row's portrait (0: none).
    std::array<int, kRows> rowCardLevel{};

private:
    std::array<uint32_t, kFlags> m_flags{};
    bool m_heroPressed = false;
    bool m_tabPressed = false;
    int m_halfPressed = -1;
    int m_pressedHero = -1;
    int m_raceTab = 0;
    int m_chatMode = 0;
    std::array<CUiButton*, kHeroButtons> m_heroes{};
    std::array<CUiCheckButton*, kRaceTabs> m_tabs{};
    std::array<CUiCheckButton*, 2> m_halves{};
    std::array<PlayerRow, kRows> m_rows{};
    // Stat statics in the order of stats 0..6, then attack speed and HP/MP.
    std::array<CUiStatic*, 9> m_stats{};
    CUiButton* m_before = nullptr;
    CUiButton* m_next = nullptr;
    CUiButton* m_random = nullptr;
    CUiButton* m_ok = nullptr;
    CUiButton* m_cancel = nullptr;
    CUiStatic* m_detail = nullptr;
    CUiStatic* m_page = nullptr;
    CUiStatic* m_limit = nullptr;
    CUiStatic* m_heroName = nullptr;
    CUiStatic* m_portrait = nullptr;
    CUiStatic* m_title = nullptr;
    CUiStatic* m_raceIcon = nullptr;
    CUiStatic* m_classIcon = nullptr;
    CUiStatic* m_hunterLabel = nullptr;
    CUiListBox* m_description = nullptr;
    CUiListBox* m_chatList = nullptr;
    CUiEditBox* m_chatEdit = nullptr;
    CUiStatic* m_prompt = nullptr;
    CHeroCardMarks m_marks;
};
