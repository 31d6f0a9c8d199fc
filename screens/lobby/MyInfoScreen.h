// The player's own page: the player card (grade, record, disconnections,
// hero counts, guild, experience) and every hero of the game on two side
// tabs and a hidden row, owned or not, with the player's card level. It is
// reached from the lobby and the market and leads back to either.
//
// Phases: 0 load, 1 fade in, 2 the page, 4 leaving for the lobby, 5 leaving
// for the market; 10000.. the error popup.
#pragma once

#include <array>

#include "net/NetPacket.h"
#include "screens/lobby/HeroCardMarks.h"
#include "screens/lobby/HeroPreview.h"
#include "screens/lobby/MarketWindows.h"
#include "screens/lobby/MyInfoCard.h"
#include "ui/Screen.h"

class CUiButton;
class CUiCheckButton;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
class CResource;

class CMyInfoWindow : public CUiWindow {
public:
    enum Label { LABEL_PLAYER, LABEL_LEVEL, LABEL_BATTLE, LABEL_DISGRADE, LABEL_HEROCHA, LABEL_HIDDENCHR, LABEL_GUILD,
                 LABEL_EXP, LABEL_COUNT };

    static constexpr int kCardButtons = kMyInfoSideButtons + kMyInfoHiddenButtons;
    // The hero on show: the tab it was picked on, whether it is from the
    // hidden row, and its button.
    struct ShownHero {
        int tab = 0;
        bool hidden = false;
        int index = 0;
    };

    int OnLayoutLoaded() override;
    // The controls, the highlight on the hero on show while its tab is up,
    // then over every hero button the not-owned overlay or the card's level.
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;

    CLatch& HeroLatch() { return m_hero; }
    CLatch& HiddenLatch() { return m_hidden; }
    CLatch& TabLatch() { return m_tab; }
    CLatch& ShopLatch() { return m_shop; }
    CLatch& BackLatch() { return m_back; }
    int Tab() const { return m_tabIndex; }
    CUiStatic* LabelAt(Label l) const { return m_labels[static_cast<size_t>(l)]; }
    CUiButton* Hero(int i) const { return m_heroes[static_cast<size_t>(i)]; }
    CUiButton* HiddenHero(int i) const { return m_hiddenHeroes[static_cast<size_t>(i)]; }
    CUiStatic* Detail() const { return m_detail; }
    CUiListBox* ChatList() const { return m_chatList; }
    CUiEditBox* ChatEdit() const { return m_chatEdit; }
    CUiStatic* ChatModeLabel() const { return m_messageTo; }
    const ShownHero& Shown() const { return m_shown; }
    // A hero button by card place: the side buttons, then the hidden row.
    CUiButton* CardButton(int place) const;

    // Per card place: whether the player owns the hero, and the card level drawn.
    std::array<bool, kCardButtons> owned{};
    std::array<int, kCardButtons> cardLevel{};

private:
    std::array<CUiStatic*, LABEL_COUNT> m_labels{};
    std::array<CUiButton*, kMyInfoSideButtons> m_heroes{};
    std::array<CUiButton*, kMyInfoHiddenButtons> m_hiddenHeroes{};
    std::array<CUiCheckButton*, 2> m_tabs{};
    CUiButton* m_shopButton = nullptr;
    CUiButton* m_backButton = nullptr;
    CUiStatic* m_detail = nullptr;
    CUiListBox* m_chatList = nullptr;
    CUiEditBox* m_chatEdit = nullptr;
    CUiStatic* m_messageTo = nullptr;
    CLatch m_hero, m_hidden, m_tab, m_shop, m_back;
    int m_tabIndex = 0;
    ShownHero m_shown;
    CHeroCardMarks m_marks;
};

class CMyInfoScreen : public CScreen {
public:
    enum ScreenPhase { PHASE_LOAD, PHASE_FADE_IN, PHASE_PAGE, PHASE_TO_LOBBY = 4, PHASE_TO_MARKET = 5 };
    static constexpr uint32_t kClearColor = 0xff000000u;

    ~CMyInfoScreen() override;
    int Update() override;
    void Render() override;
    int RestoreDeviceObjects() override;
    int InvalidateDeviceObjects() override;

    CMyInfoWindow* Window() const { return m_window; }
    const MyInfoHeroLists& Lists() const { return m_lists; }
    // The hero on show: its row (0, 1 side tabs, 2 hidden) and index.
    int ShownRow() const;
    int ShownIndex() const;
    const CHeroPreview& Preview() const { return m_preview; }

private:
    int Load();
    void FillPlayerCard();
    void FillHeroButtons(int tab);
    void UpdatePage();
    int HandlePackets();
    void BeginLeave(int phase);
    // The hero of a row's index into the preview, when it has a model; 0 when it cannot be loaded.
    int ShowPreview(int row, int index);

    CMyInfoWindow* m_window = nullptr;
    CResource* m_layout = nullptr;
    MyInfoHeroLists m_lists;
    std::vector<CResource*> m_portraits;
    // The hero preview.
    CHeroPreview m_preview{platform::Vec3{-3.0f, 25.0f, 30.0f}, platform::Vec3{-3.0f, 20.0f, 0}};
    NetPacket m_received;
};

CScreen* NewMyInfoScreen();
