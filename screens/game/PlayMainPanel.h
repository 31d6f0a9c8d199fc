// The bottom bar of the play screen ("PLAY_MAIN.DUI"): the object the player
// has selected (portrait, name, icons, gauges, statistics with their
// bonuses, buffs, one button per selected unit), its five skills with their
// skill points, the hero's eight items and the player's twelve storage
// items, the combination buttons and the minimap's two statics.
//
// What the player does here never changes the world of a networked match
// directly: a cast, a learned level or an item move becomes a command record
// that runs when the server relays it (the panel applies the local part that
// the record's echo then skips). Slot actions live in PanelSlots.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Math.h"
#include "screens/game/DragIconWindow.h"
#include "screens/game/MiniMap.h"
#include "screens/game/UnitPortrait.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "ui/UiWindow.h"

class CInventoryItem;
class CPlayScreen;
class CPlayerSlot;
class CResource;
class CSkillInstance;
class CUiButton;
class CUiGauge;
class CUnit;
class CWorldObject;
struct ItemCombination;

class CPlayMainPanel : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_MAIN.DUI";
    static constexpr int kSkills = 5;
    static constexpr int kItems = 8;
    static constexpr int kStorage = 12;
    static constexpr int kArmy = 12;
    static constexpr int kBuffs = 7;
    static constexpr float kPanelX = 0.0f;
    static constexpr float kPanelY = 564.0f;
    static constexpr float kStatInterval = 0.1f;
    // The screen the panel's layout is made for.
    static constexpr float kScreenWidth = 1024.0f;
    static constexpr float kScreenHeight = 768.0f;
    // Lines of the skill-and-attack message list the slot refusals show.
    static constexpr int kLineNoMana = 23;
    static constexpr int kLineCannotAct = 24;
    static constexpr int kLineNotLearned = 25;
    static constexpr int kLineNotReady = 26;
    // Slot colours of the readiness rule.
    static constexpr uint32_t kColourReady = 0xFFFFFFFF;
    static constexpr uint32_t kColourDisabled = 0xFFAAAAAA;
    static constexpr uint32_t kColourNotLearned = 0xFF555555;
    static constexpr uint32_t kColourNoMana = 0xFF5555FF;
    // The unusable mark of a slot button's flags.
    static constexpr uint32_t kUnusable = 0x01000000;
    // The play screen's input modes the panel enters, leaves or reads.
    enum InputModeId : int {
        MODE_NORMAL = 0,
        MODE_ITEM_HELD = 3,
        MODE_SKILL_TARGET = 4,
        MODE_COMBINATION = 8,
        MODE_MAP_ALERT = 9,
        MODE_UI_ONLY = 10,
    };
    // Kind flags of a SKILL record, and the hero bit of a UNIT record.
    static constexpr uint32_t kSkillActive = 0x10;
    static constexpr uint32_t kSkillPassive = 0x20;
    static constexpr uint32_t kSkillToggle = 0x40;
    static constexpr uint32_t kHeroRecord = 0x10;
    // Stunned or disabled: either of the object's two disabling counters is up.
    static bool IsDisabled(const CWorldObject& object);

    // The statics, in the order of their names (kStaticNames).
    enum Static : int {
        ST_TIME, ST_HPBAR, ST_MANABAR, ST_CLASSNAME, ST_CHARNAME, ST_RACEICON, ST_STATICON, ST_ALL, ST_ATTACK,
        ST_DEFENCE, ST_MOVE, ST_ATTACKSPEED, ST_ATTACKRATE, ST_EVADERATE, ST_ATTACK_PLUS, ST_DEFENCE_PLUS,
        ST_MOVE_PLUS, ST_TITLE, ST_GOLD, ST_COUNT
    };
    static const std::array<const char*, ST_COUNT> kStaticNames;

    explicit CPlayMainPanel(CPlayScreen& play);
    ~CPlayMainPanel() override;

    int OnLayoutLoaded() override;
    // The per-frame update, then the window's own input.
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    // The slots' cool-downs, the window, then highlights and key numbers (PlayMainPanelRender.cpp).
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnRButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;
    // Presses on the minimap (MiniMapPresses.cpp).
    void OnLButtonPress(CUiObject* control) override;
    void OnLButtonHold(CUiObject* control) override;
    void OnRButtonPress(CUiObject* control) override;
    void OnDrag(CUiObject* control) override { OnLButtonHold(control); }

    // Shows an object (-1: keep the shown one or take the selection's first).
    void Refresh(int32_t objectIndex);
    void Update(float dt);
    void SetControlsEnabled(int enable);
    CWorldObject* GetSelectedObject() const;
    // The shown object while it is active (alive).
    CWorldObject* GetActiveSelection() const;
    CUiButton* GetStorageButton(uint32_t recordId) const;
    CUiButton* GetInventoryButton(uint32_t recordId) const;
    void RefreshStorage();

    // Slot actions (PanelSlots.cpp). UseSlot: 1 when something started.
    int UseSlot(int index, int isItem);
    void SpendSkillPoint(int index);
    // The held item dropped on a control; 1 when the control took it.
    int DropHeldItem(CUiObject* control);
    void Combine();
    void AutoCombine();
    bool HasIngredients(const ItemCombination& recipe) const;
    int PerformCombination(const ItemCombination* recipe);
    void CancelCombination();
    // Toggles a storage index in the combination pick.
    void TogglePick(int storageIndex);

    // The panel's input modes, one frame each (PlayPanelModes.cpp). Item held
    // (3): target is what the drop pick marks, released a button let go.
    void ItemHeldFrame(CZEMDXInput& input, CWorldObject* target, bool released);
    // Skill target (4): the pick's point or object (-1: the ground) confirms;
    // 1 when the order went out.
    int ConfirmSkillTarget(const platform::Vec3& point, int32_t targetId);
    void SkillTargetFrame(CZEMDXInput& input, bool rightReleased);
    void CancelSkillTarget();
    // The army unit or portrait clicked as a waiting skill's target (-1: none); taking it clears it.
    int32_t TakeHudPickedTarget() {
        const int32_t id = m_hudPickedTarget;
        m_hudPickedTarget = -1;
        return id;
    }
    // A line of the skill-and-attack messages as a red notice.
    void NoticeLine(int line);
    // Combination pick (8): D combines, Esc cancels.
    void CombinationFrame(CZEMDXInput& input, bool rightReleased);

    // The item on the cursor, which the drag icon window carries.
    using HeldItem = CDragIconWindow::HeldItem;
    const HeldItem& Held() const { return dragIcon.Held(); }
    void ClearHeld() { dragIcon.Drop(); }

    // Refusals and results for the player go here (the play screen's notice line).
    std::function<void(const std::string& text)> noticeSink;
    const std::string& LastNotice() const { return m_lastNotice; }
    // The keyboard the Shift tests read (the frame's input; tests set it).
    void SetInput(CZEMDXInput* input) { m_input = input; }

    int32_t SelectedIndex() const { return m_selectedObject; }
    CSkillInstance* PendingSkill() const { return m_pendingSkill; }
    int PendingIsItem() const { return m_pendingIsItem; }
    int ControlsEnabled() const { return m_controlsEnabled; }
    const std::vector<int32_t>& PickedItems() const { return m_combinationItems; }
    const std::vector<int32_t>& PickedSlots() const { return m_combinationSlots; }
    const std::string& TooltipText() const { return m_tooltipText; }
    const CUiBlinkImage& Highlight(int slot) const { return m_highlights[static_cast<size_t>(slot)]; }
    // The highlights pulse at this many times the frame time.
    static constexpr float kHighlightPulse = 2.5f;

    CMiniMapStatic minimap;
    CMiniMapSightStatic sight;
    CDragIconWindow dragIcon;
    // The last press on the minimap in a target mode: the map point and whether it was inside.
    platform::Vec3 minimapPoint;
    int minimapPointValid = 0;
    int cameraMovedByMinimap = 0;
    CUiButton* viewer = nullptr;
    std::array<CUiButton*, kSkills> skill{};
    std::array<CUiStatic*, kSkills> skillCoolTime{};
    std::array<CUiButton*, kSkills> skillPoint{};
    std::array<CUiButton*, kItems> item{};
    std::array<CUiStatic*, ST_COUNT> statics{};
    std::array<CUiStatic*, kBuffs> buff{};
    std::array<CUiButton*, kArmy> army{};
    CUiGauge* hpGauge = nullptr;
    CUiGauge* mpGauge = nullptr;
    CUiGauge* expGauge = nullptr;
    CUiButton* notify = nullptr;
    CUiButton* combinationList = nullptr;
    std::array<CUiButton*, kStorage> storage{};
    CUiButton* combine = nullptr;
    CUiButton* autoCombine = nullptr;
    CResource* keyNumber1 = nullptr;
    CResource* keyNumber2 = nullptr;

    // The portrait of the shown object on the viewer button.
    static constexpr float kPortraitFov = 0.5235988f;  // pi / 6
    // Again after a device reset; 0 when the device refuses the target.
    int RestorePortrait();
    void InvalidatePortrait() { m_portrait.Invalidate(); }
    // Draws the shown object's portrait into its target when the viewer shows.
    void RenderPortrait();
    // The viewer lets go of the portrait's picture.
    void DetachPortrait();
    const CUnitPortrait& Portrait() const { return m_portrait; }

private:
    void ClearShown();
    void RefreshStatistics(CWorldObject* object, bool fullRefresh);
    void RefreshNumbers(CWorldObject& object);
    void RefreshThirdGauge(CWorldObject& object);
    void RefreshCombatStatistics(CWorldObject& object);
    void RefreshArmy();
    void RefreshSkills(bool fullRefresh);
    void RefreshItems(bool fullRefresh);
    // The readiness colour and mark of one skill or item slot.
    void ApplyReadiness(CUiButton& button, CUnit* unit, CSkillInstance* skill, bool keepColour);
    void SetStatic(int index, bool shown);
    void Notice(const std::string& text);
    bool ShiftHeld() const;
    // The shown object as a unit (skills and items need one).
    CUnit* ShownUnit() const;
    CPlayerSlot* LocalPlayer() const;
    int GameMode() const;
    bool ReplayOrObserver() const;
    void CancelInputMode();
    bool OnMinimap(const CUiObject* control) const { return control && (control == &minimap || control == &sight); }
    // The cursor's map point; false off the minimap.
    bool CursorOnMap(float* x, float* z) const;
    void MoveCameraTo(float x, float z);
    void TakeTargetPoint();
    void HoldItem(CInventoryItem* item, int32_t index, int32_t holder, int fromStorage);
    void EndHold();
    // Slot handlers of the click hook.
    bool ClickSlots(CUiObject* control);
    void ClickArmy(int index);
    void ClickStorage(int index);
    int PickUpStorage(CUiObject* control);
    void PickUpItem(CUiObject* control);
    // The combination's record queues (certain or rolled).
    void RemovePicked(bool onlyLost);

    CPlayScreen& m_play;
    int32_t m_selectedObject = -1;
    CSkillInstance* m_pendingSkill = nullptr;
    int m_pendingIsItem = 0;
    int m_controlsEnabled = 0;
    float m_statTimer = 0;
    std::vector<int32_t> m_combinationItems;
    std::vector<int32_t> m_combinationSlots;
    std::array<CResource*, kSkills> m_skillIcons{};
    std::string m_tooltipText;
    std::string m_lastNotice;
    CZEMDXInput* m_input = nullptr;
    // The portrait.
    CUnitPortrait m_portrait{kPortraitFov};
    int32_t m_hudPickedTarget = -1;
    // One pulsing highlight per skill slot; the fourth (the hero's great skill) in gold.
    std::array<CUiBlinkImage, kSkills> m_highlights{};
};

// The index of a control among slots, or -1.
template <size_t N, class T>
int SlotIndex(const std::array<T*, N>& slots, const CUiObject* control) {
    for (size_t i = 0; i < N; ++i)
        if (control && slots[i] == control) return static_cast<int>(i);
    return -1;
}
