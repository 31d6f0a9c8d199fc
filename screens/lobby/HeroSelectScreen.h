// Between a room and its match: every player picks a hero of his side within
// sixty seconds, sees his team mates' picks and chats; the server's final
// assignment leads to the loading screen, a cancel back to the room. A
// practice room picks locally and sends nothing.
//
// Phases: 0 load, 1 fade in, 2 picking, 3 to the match, 4 back to the room;
// 10000.. the error popup.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "net/NetPacket.h"
#include "screens/lobby/HeroPreview.h"
#include "screens/lobby/HeroSelectWindow.h"
#include "screens/lobby/HeroStats.h"
#include "ui/Screen.h"

class CGameDataRecord;
class CResource;
class CUnitData;

// One hero of a race list.
struct HeroEntry {
    const CUnitData* record = nullptr;
    std::array<float, hero_stats::kStats> stats{};
    bool owned = false;
    bool selectable = true;
    int cardLevel = 0;
    CResource* portrait = nullptr;
};

class CHeroSelectScreen : public CScreen {
public:
    enum ScreenPhase { PHASE_LOAD, PHASE_FADE_IN, PHASE_PICKING, PHASE_TO_MATCH, PHASE_TO_ROOM };
    static constexpr int kRaces = 5;
    static constexpr int kHiddenRace = 4;
    static constexpr int kRandom = -1;
    static constexpr int kNothing = -2;
    static constexpr uint32_t kTimeLimitMs = 60000;
    static constexpr float kPickWait = 0.5f;
    static constexpr uint32_t kClearColor = 0xff0000ffu;
    static constexpr uint32_t kHeroBit = 0x10;
    static constexpr uint32_t kSideBit = 1u << 28;
    static constexpr uint32_t kNotListedBit = 0x40000000u;

    ~CHeroSelectScreen() override;

    int Update() override;
    void Render() override;
    int RestoreDeviceObjects() override;
    int InvalidateDeviceObjects() override;
    // 0 when the error popup is to be shown.
    int HandlePackets();
    // 0 when a portrait or the random portrait cannot be loaded.
    int BuildHeroLists();
    void SendHeroPick();

    CHeroSelectWindow* Window() const { return m_window; }
    const std::vector<HeroEntry>& HeroList(int race) const { return m_lists[static_cast<size_t>(race)]; }
    int Page() const { return m_page; }
    int SelectedIndex() const { return m_selectedIndex; }
    int SelectedRace() const { return m_selectedRace; }
    bool Confirmed() const { return m_confirmed; }
    bool TimeUp() const { return m_timeUp; }
    const std::array<uint32_t, 12>& HeroChoices() const { return m_choices; }
    const CHeroPreviewGlide& Glide() const { return m_preview.Glide(); }
    const CHeroPreview& Preview() const { return m_preview; }
    int Side() const { return m_side; }

private:
    int Load();
    int Prepare();
    void UpdatePicking();
    void TickTimers();
    void ShowPage();
    void ShowHeroDetails(const HeroEntry& hero);
    void ClearHeroDetails();
    void RefreshPlayerRows();
    void ShowSelectedHero();
    void PickOk();
    void SendChat();
    void LockPickButtons();
    void UnlockPickButtons();
    void StartFadeOut(int phase);
    void ApplyChoices(const NetPacket& packet, bool final);
    const HeroEntry* Selected() const;
    const HeroEntry* FindHero(uint32_t id) const;
    bool SinglePlay() const;
    int OwnSlot() const;

    CResource* m_layout = nullptr;
    CHeroSelectWindow* m_window = nullptr;
    std::array<std::vector<HeroEntry>, kRaces> m_lists;
    CResource* m_randomPortrait = nullptr;
    int m_page = 1;
    int m_selectedIndex = kRandom;
    int m_selectedRace = 0;
    int m_side = 0;
    std::array<uint32_t, 12> m_choices{};
    std::array<uint8_t, 12> m_cardLevels{};
    bool m_confirmed = false;
    uint32_t m_startTick = 0;
    uint32_t m_elapsedMs = 0;
    bool m_timeUp = false;
    CHeroPreview m_preview{platform::Vec3{0, 0, 30.0f}, platform::Vec3{0, 5.0f, 0}};
    float m_pickWait = 0;
    bool m_pickPending = false;
    bool m_waitCursor = true;
    bool m_leaveNow = false;
    NetPacket m_received;
};

// The hero select screen the waiting room goes on to.
CScreen* NewHeroSelectScreen();
