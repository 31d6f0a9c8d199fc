// The play screen's column of hero portraits ("PLAY_PLAYER_LIST.DUI"): the
// heroes of the own team with their hit-point and cool-down gauges, and the
// heroes of the other team once they have shown themselves. Rows keep the
// hero's object id, never a pointer, so a hero that is gone only empties its
// row.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/UiWindow.h"

class CCombatObject;
class CPlayScreen;
class CResource;
class CUiGauge;
class CUiStatic;
class CWorldObject;

class CStatusPanel : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_PLAYER_LIST.DUI";
    static constexpr const char* kCoverTexture = "PLAY_STATUS_COVER.DDS";
    static constexpr int kAllyRows = 12;
    static constexpr int kEnemyRows = 6;
    static constexpr float kRefreshInterval = 0.2f;
    // Below this share of its maximum a hero's face blinks.
    static constexpr float kLowHealth = 0.15f;
    // An enemy is shown from this reveal value on.
    static constexpr float kRevealed = 1.0f;
    // The skill whose cool-down the small gauge shows, and the one whose
    // readiness puts a marker on the row (0-based).
    static constexpr size_t kCooldownSkill = 2;
    static constexpr size_t kMarkerSkill = 4;

    explicit CStatusPanel(CPlayScreen* owner = nullptr) : m_owner(owner) {}
    ~CStatusPanel() override;

    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;

    // The rows anew from the world's heroes: the local hero first, then the
    // other heroes of its team by slot; the other team goes to the enemy table.
    void Rebuild();
    // Shows the row with the hero's face and name, or hides it (no hero).
    void FillPlayerSlot(int row, CWorldObject* hero);
    // Counts the refresh timer and refreshes every 0.2 s; a change in the
    // set of heroes (or of the local slot) rebuilds the rows first.
    void Update(float dt);
    // The gauges, the revival counts and the enemy rows, now.
    void Refresh();

    // 0..100; 0 without a maximum.
    static float HitPointPercent(float hitPoints, float maximum);
    // The third skill's cool-down in percent: 0 without that skill or its
    // level, 100 once over (or for a skill without a cool-down).
    static float CooldownPercent(const CCombatObject& hero);
    // Whether the face shows its warning colour at this running time.
    static bool FaceBlinks(float hitPoints, float maximum, float runningTime);

    struct AllyRow {
        CUiStatic* face = nullptr;
        CUiStatic* name = nullptr;
        CUiGauge* hp = nullptr;
        CUiGauge* cooldown = nullptr;
        CUiStatic* colour = nullptr;
        int32_t hero = -1;
    };
    struct EnemyRow {
        CUiStatic* face = nullptr;
        CUiStatic* name = nullptr;
        bool shown = false;
    };
    struct Enemy {
        int32_t hero = -1;
        bool revealed = false;
    };
    std::array<AllyRow, kAllyRows> allies{};
    std::array<EnemyRow, kEnemyRows> enemyRows{};
    // The other team's heroes, most revealed first after a refresh.
    std::vector<Enemy> enemies;
    int AllyCount() const { return m_allyCount; }
    float RunningTime() const { return m_runningTime; }

private:
    // A row's face and name for a hero, or the row hidden and its text cleared.
    void ShowHero(CUiStatic* face, CUiStatic* name, CWorldObject* hero);
    void RefreshAlly(AllyRow& row);
    void RefreshEnemies();
    // Index of the ally row whose face is the control, or -1.
    int AllyRowOfFace(const CUiObject* control) const;
    void DrawRowMarks(const AllyRow& row, float pulse);
    // The slots that have a hero, and the local slot above them.
    static uint32_t HeroSet();

    CPlayScreen* m_owner = nullptr;
    CResource* m_cover = nullptr;
    int m_allyCount = 0;
    uint32_t m_heroSet = 0;
    float m_refreshTimer = 0;
    float m_runningTime = 0;
    float m_pulse = 0;
};
