#include "screens/game/PlayMainPanel.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/SkillTooltip.h"
#include "screens/game/UnitInfoWindow.h"
#include "ui/UiButton.h"
#include "ui/UiGauge.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/UnitEffect.h"
#include "world/TerrainEngine.h"
#include "world/WorldObjectManager.h"

const std::array<const char*, CPlayMainPanel::ST_COUNT> CPlayMainPanel::kStaticNames = {
    "ID_STATIC_TIME",        "ID_STATIC_HPBAR",       "ID_STATIC_MANABAR",     "ID_STATIC_CLASSNAME",
    "ID_STATIC_CHARNAME",    "ID_STATIC_RACEICON",    "ID_STATIC_STATICON",    "ID_STATIC_ALL",
    "ID_STATIC_ATTACK",      "ID_STATIC_DEFENCE",     "ID_STATIC_MOVE",        "ID_STATIC_ATTACKSPEED",
    "ID_STATIC_ATTACKRATE",  "ID_STATIC_EVADERATE",   "ID_STATIC_ATTACK_PLUS", "ID_STATIC_DEFENCE_PLUS",
    "ID_STATIC_MOVE_PLUS",   "ID_STATIC_TITLE",       "ID_STATIC_GOLD",
};

namespace {
constexpr int kEffectKindTimer = 11;
const UiColor kWhite{1, 1, 1, 1};
const UiColor kRed{1, 0, 0, 1};
const UiColor kGreen{0, 1, 0, 1};

std::string Numbered(const char* format, int i) {
    char name[48];
    std::snprintf(name, sizeof name, format, i);
    return name;
}
template <class T, size_t N>
bool BindAll(std::array<T*, N>& out, const char* format, uint32_t type,
             const std::function<CUiObject*(const char*, uint32_t)>& bind) {
    for (size_t i = 0; i < N; ++i) {
        out[i] = static_cast<T*>(bind(Numbered(format, static_cast<int>(i + 1)).c_str(), type));
        if (!out[i]) return false;
    }
    return true;
}
// One more reference for a control that takes over the one it is given.
CResource* Share(CResource* texture) {
    if (texture) texture->AddRef();
    return texture;
}
bool IsHero(const CWorldObject& object) { return object.record && (object.record->flags & CPlayMainPanel::kHeroRecord); }
void ShowText(CUiStatic* control, const std::string& text) {
    if (!control) return;
    control->SetText(text);
}
}  // namespace

bool CPlayMainPanel::IsDisabled(const CWorldObject& object) {
    if (!object.IsCombatObject()) return false;
    const auto& combat = static_cast<const CCombatObject&>(object);
    return combat.conditions[3] > 0 || combat.conditions[4] > 0;
}

CPlayMainPanel::CPlayMainPanel(CPlayScreen& play) : m_play(play) {
    minimap.SetName("ID_STATIC_MINIMAP");
    sight.SetName("ID_STATIC_SIGHT");
    AddPreBound(&minimap);
    AddPreBound(&sight);
    for (size_t i = 0; i < m_highlights.size(); ++i)
        m_highlights[i].colour = i == 3 ? UiColor{1.0f, 0.8f, 0.0f, 0.0f} : UiColor{1.0f, 1.0f, 1.0f, 0.0f};
}

CPlayMainPanel::~CPlayMainPanel() {
    // The viewer outlives the portrait that owns its picture.
    DetachPortrait();
    if (g_pUiManager) g_pUiManager->RemoveWindow(&dragIcon);
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(keyNumber1);
        g_pResourceManager->ReleaseResource(keyNumber2);
    }
}

int CPlayMainPanel::OnLayoutLoaded() {
    SetPosition(kPanelX, kPanelY);
    auto bind = [this](const char* name, uint32_t type) { return Bind(name, type); };
    viewer = static_cast<CUiButton*>(Bind("ID_BUTTON_VIEWER", UI_TYPE_BUTTON));
    if (!viewer || !BindAll(skill, "ID_BUTTON_SKILL_%d", UI_TYPE_BUTTON, bind) ||
        !BindAll(skillCoolTime, "ID_STATIC_SKILL_COOLTIME_%d", UI_TYPE_STATIC, bind) ||
        !BindAll(skillPoint, "ID_BUTTON_SKILL_POINT_%d", UI_TYPE_BUTTON, bind) ||
        !BindAll(item, "ID_BUTTON_ITEM_%d", UI_TYPE_BUTTON, bind) ||
        !BindAll(buff, "ID_STATIC_BUFF_%d", UI_TYPE_STATIC, bind) ||
        !BindAll(army, "ID_BUTTON_ARMY_%d", UI_TYPE_BUTTON, bind) ||
        !BindAll(storage, "ID_BUTTON_INVEN_ITEM_%d", UI_TYPE_BUTTON, bind))
        return 0;
    for (size_t i = 0; i < statics.size(); ++i)
        if (!(statics[i] = static_cast<CUiStatic*>(Bind(kStaticNames[i], UI_TYPE_STATIC)))) return 0;
    hpGauge = static_cast<CUiGauge*>(Bind("ID_PROGRESS_HP", UI_TYPE_GAUGE));
    mpGauge = static_cast<CUiGauge*>(Bind("ID_PROGRESS_MP", UI_TYPE_GAUGE));
    expGauge = static_cast<CUiGauge*>(Bind("ID_PROGRESS_EXP", UI_TYPE_GAUGE));
    notify = static_cast<CUiButton*>(Bind("ID_BUTTON_NOTIFY", UI_TYPE_BUTTON));
    combinationList = static_cast<CUiButton*>(Bind("ID_BUTTON_COMBINATIONLIST", UI_TYPE_BUTTON));
    combine = static_cast<CUiButton*>(Bind("ID_BUTTON_COMBINATION", UI_TYPE_BUTTON));
    autoCombine = static_cast<CUiButton*>(Bind("ID_BUTTON_AUTO_COMBINATION", UI_TYPE_BUTTON));
    if (!hpGauge || !mpGauge || !expGauge || !notify || !combinationList || !combine || !autoCombine) return 0;
    // The minimap's two statics are the panel's own; the layout must name them too.
    for (CUiObject* own : {static_cast<CUiObject*>(&minimap), static_cast<CUiObject*>(&sight)})
        if (own->Parent() != this) {
            ErrorReport().SetError(ERR_DATA, "%s : %s", kLayout, own->Name().c_str());
            return 0;
        }

    // The buttons' texts are their tooltips.
    const std::pair<CUiButton*, int> tooltips[] = {
        {notify, MSG_GAMEPLAY_UI_NOTIFY_TOOLTIP},
        {combinationList, MSG_GAMEPLAY_UI_COMBINATION_TOOLTIP},
        {combine, MSG_GAMEPLAY_UI_SELECTCOM_BUTTON_TOOLTIP},
        {autoCombine, MSG_GAMEPLAY_UI_AUTOCOM_BUTTON_TOOLTIP},
    };
    for (const auto& [button, message] : tooltips) button->SetText(GetMessageText(message));

    if (!g_pResourceManager) {
        ErrorReport().SetError(ERR_DATA, "%s", "The main panel has no resources to load its textures from");
        return 0;
    }
    keyNumber1 = g_pResourceManager->GetResource("KEYNUM1.DDS", RES_TEXTURE, nullptr, 1);
    if (!keyNumber1) return 0;
    keyNumber2 = g_pResourceManager->GetResource("KEYNUM2.DDS", RES_TEXTURE, nullptr, 1);
    if (!keyNumber2) return 0;
    minimap.map = dynamic_cast<CZEMMap*>(m_play.Ground());
    // A map without its picture still shows its marks, fog and frame.
    if (minimap.map && !minimap.map->mapFileName.empty()) {
        const std::string picture = CZEMMap::MinimapPictureName(minimap.map->mapFileName);
        if (CResource* texture = g_pResourceManager->GetResource(picture.c_str(), RES_TEXTURE, nullptr, 1))
            minimap.SetImage(texture, picture);
    }
    sight.SetUp(minimap.map, m_play.Camera(), minimap, kScreenWidth, kScreenHeight);
    // Without a target the panel still works; the viewer stays empty.
    RestorePortrait();
    sight.sightGrid = g_pTerrainEngine ? g_pTerrainEngine->SightGrid() : nullptr;
    if (g_pPlayResources) {
        platform::CGfxTexture* glow = UiImageOf(g_pPlayResources->textures[CPlayResources::TEX_PANEL_ALPHA]).texture;
        for (CUiBlinkImage& highlight : m_highlights) highlight.texture = glow;
    }
    RefreshStorage();
    return 1;
}

CWorldObject* CPlayMainPanel::GetSelectedObject() const {
    if (m_selectedObject < 0 || !g_pWorldObjectManager) return nullptr;
    return g_pWorldObjectManager->GetObjectById(m_selectedObject);
}

CWorldObject* CPlayMainPanel::GetActiveSelection() const {
    CWorldObject* object = GetSelectedObject();
    return object && object->alive ? object : nullptr;
}

CUnit* CPlayMainPanel::ShownUnit() const {
    CWorldObject* object = GetActiveSelection();
    return object && object->IsUnit() ? static_cast<CUnit*>(object) : nullptr;
}

CPlayerSlot* CPlayMainPanel::LocalPlayer() const {
    const int32_t slot = m_play.LocalPlayerSlot();
    if (!g_pClientSession || slot < 0 || slot >= CClientSession::kPlayerSlots) return nullptr;
    return &g_pClientSession->slots[static_cast<size_t>(slot)];
}

int CPlayMainPanel::GameMode() const { return g_pWorldObjectManager ? g_pWorldObjectManager->gameMode : 0; }
bool CPlayMainPanel::ReplayOrObserver() const { return GameMode() == 3 || GameMode() == 4; }

bool CPlayMainPanel::ShiftHeld() const { return m_input && m_input->KeyDown(platform::DIK_LSHIFT); }

void CPlayMainPanel::Notice(const std::string& text) {
    m_lastNotice = text;
    if (noticeSink) noticeSink(text);
}

void CPlayMainPanel::NoticeLine(int line) {
    Notice(g_pPlayResources ? CPlayResources::ListEntry(g_pPlayResources->skillAttackMessages, line) : "");
}

void CPlayMainPanel::SetControlsEnabled(int enable) {
    auto apply = [enable](CUiButton* button) {
        if (!button) return;
        button->SetEnabled(enable);
        if (enable)
            button->ClearFlags(UI_DISABLED);
        else
            button->AddFlags(UI_DISABLED);
    };
    for (int i = 0; i < kItems; ++i) {
        apply(item[static_cast<size_t>(i)]);
        if (i < kSkills) {
            apply(skill[static_cast<size_t>(i)]);
            apply(skillPoint[static_cast<size_t>(i)]);
        }
    }
    m_controlsEnabled = enable;
}

CUiButton* CPlayMainPanel::GetStorageButton(uint32_t recordId) const {
    const CPlayerSlot* player = LocalPlayer();
    if (!player) return nullptr;
    for (size_t i = 0; i < storage.size(); ++i)
        if (const CInventoryItem* entry = player->items[i]; entry && entry->recordId == recordId) return storage[i];
    return nullptr;
}

CUiButton* CPlayMainPanel::GetInventoryButton(uint32_t recordId) const {
    CWorldObject* object = GetSelectedObject();
    if (!object || !object->IsUnit()) return nullptr;
    const auto* unit = static_cast<const CUnit*>(object);
    for (int32_t i = 0; i < kItems; ++i)
        if (const CInventoryItem* entry = unit->Item(i); entry && entry->recordId == recordId)
            return item[static_cast<size_t>(i)];
    return nullptr;
}

// An item's icon on a button, or an empty button.
static void ShowItem(CUiButton* button, const CInventoryItem* entry, bool fullRefresh) {
    if (!button) return;
    CResource* icon = entry && entry->record ? entry->record->iconResource : nullptr;
    if (button->StateImage(0) != icon) {
        button->SetImage(0, Share(icon), false, entry ? entry->record->icon : std::string());
        button->SetImage(1, Share(icon), false, entry ? entry->record->icon : std::string());
    }
    if (!entry)
        button->SetText("");
    else if (fullRefresh)
        button->SetText(entry->record ? FormatText("%s\n%s", entry->record->name, entry->record->text) : "");
}

void CPlayMainPanel::RefreshStorage() {
    const CPlayerSlot* player = LocalPlayer();
    for (size_t i = 0; i < storage.size(); ++i)
        ShowItem(storage[i], player ? player->items[i] : nullptr, true);
}

void CPlayMainPanel::SetStatic(int index, bool shown) {
    CUiStatic* control = statics[static_cast<size_t>(index)];
    if (!control) return;
    if (shown)
        control->ClearFlags(UI_HIDDEN);
    else
        control->AddFlags(UI_HIDDEN);
}

void CPlayMainPanel::ClearShown() {
    RefreshStatistics(nullptr, true);
    for (CUiStatic* b : buff)
        if (b) b->AddFlags(UI_HIDDEN);
    for (CUiButton* button : item) ShowItem(button, nullptr, true);
}

void CPlayMainPanel::Refresh(int32_t objectIndex) {
    const CSelectionSet& selection = m_play.Selection();
    if (selection.selected.empty() || !g_pWorldObjectManager) {
        ClearShown();
        m_selectedObject = -1;
        return;
    }
    CWorldObject* object = objectIndex >= 0 ? g_pWorldObjectManager->GetObjectById(objectIndex) : nullptr;
    if (!object) {
        object = GetSelectedObject();
        if (!object || m_selectedObject == -1 || selection.focus < 0)
            object = g_pWorldObjectManager->GetObjectById(selection.selected.front());
    }
    if (!object) {
        ClearShown();
        m_selectedObject = -1;
        return;
    }
    if (object->id != m_selectedObject) m_portrait.Show(*object, CUnitPortrait::kIdleAction);
    m_selectedObject = object->id;
    RefreshStatistics(object, true);
    RefreshSkills(true);
    RefreshItems(true);
}

void CPlayMainPanel::Update(float dt) {
    m_statTimer += dt;
    sight.Advance(dt);
    for (CUiBlinkImage& highlight : m_highlights) highlight.Pulse(std::clamp(dt * kHighlightPulse, 0.0f, 1.0f));
    // A selection made while nothing was shown (the match's first) shows itself.
    if (m_selectedObject < 0 && !m_play.Selection().selected.empty()) Refresh(-1);
    CWorldObject* object = GetActiveSelection();
    if (!object) {
        ClearShown();
    } else {
        const bool disabled = IsDisabled(*object);
        const bool casting = object->IsCombatObject() && static_cast<CCombatObject*>(object)->order.kind == 6 &&
                             static_cast<CCombatObject*>(object)->order.subKind != 4;
        if (!disabled && m_play.InputMode() != MODE_SKILL_TARGET && !casting)
            SetControlsEnabled(1);
        else if (disabled && m_play.InputMode() != MODE_SKILL_TARGET && m_controlsEnabled)
            SetControlsEnabled(0);
        RefreshStatistics(object, false);
        RefreshSkills(false);
        if (m_controlsEnabled) RefreshItems(false);
        m_portrait.Step(dt, *object, false);
    }
    if (CPlayerSlot* player = LocalPlayer(); player && statics[ST_GOLD]) statics[ST_GOLD]->SetNumber(player->gold);
}

CUiObject* CPlayMainPanel::ProcessInput(float dt, CZEMDXInput& input) {
    m_input = &input;
    Update(dt);
    return CUiWindow::ProcessInput(dt, input);
}

void CPlayMainPanel::RefreshStatistics(CWorldObject* object, bool fullRefresh) {
    if (!object) {
        if (!fullRefresh) return;
        for (int i = 0; i < ST_COUNT; ++i)
            if (i != ST_GOLD) SetStatic(i, false);
        SetStatic(ST_TITLE, true);
        for (CUiObject* control : {static_cast<CUiObject*>(hpGauge), static_cast<CUiObject*>(mpGauge),
                                   static_cast<CUiObject*>(expGauge), static_cast<CUiObject*>(viewer)})
            if (control) control->AddFlags(UI_HIDDEN);
        for (CUiButton* button : army)
            if (button) button->AddFlags(UI_HIDDEN);
        for (CUiStatic* b : buff)
            if (b) b->AddFlags(UI_HIDDEN);
        return;
    }
    const size_t selected = m_play.Selection().selected.size();
    if (fullRefresh) {
        for (CUiObject* control : {static_cast<CUiObject*>(viewer), static_cast<CUiObject*>(hpGauge),
                                   static_cast<CUiObject*>(mpGauge), static_cast<CUiObject*>(expGauge)})
            if (control) control->ClearFlags(UI_HIDDEN);
        for (int i : {ST_HPBAR, ST_MANABAR, ST_CHARNAME}) SetStatic(i, true);
        for (int i : {ST_TITLE, ST_RACEICON, ST_STATICON, ST_CLASSNAME, ST_TIME}) SetStatic(i, false);
        if (object->IsUnit() && object->record) {
            SetStatic(ST_CLASSNAME, true);
            if (g_pPlayResources) {
                g_pPlayResources->SetRaceIcon(statics[ST_RACEICON], object->record);
                g_pPlayResources->SetClassIcon(statics[ST_STATICON], object->record);
            }
            const int32_t level = static_cast<CCombatObject*>(object)->level;
            ShowText(statics[ST_CHARNAME], FormatText("</C=ffff00>Lv%d </>%s", level, object->record->name));
        } else if (object->record) {
            ShowText(statics[ST_CHARNAME], object->record->name);
        }
        const int statisticStatics[] = {ST_ALL,         ST_ATTACK,     ST_DEFENCE,    ST_MOVE,
                                        ST_ATTACKSPEED, ST_ATTACKRATE, ST_EVADERATE};
        for (int i : statisticStatics) SetStatic(i, selected < 2);
        if (selected >= 2)
            for (int i : {ST_ATTACK_PLUS, ST_DEFENCE_PLUS, ST_MOVE_PLUS}) SetStatic(i, false);
        for (CUiButton* button : army)
            if (button) button->AddFlags(UI_HIDDEN);
    }
    if (!fullRefresh && m_statTimer <= kStatInterval) return;
    RefreshNumbers(*object);
    RefreshThirdGauge(*object);
    if (selected == 1)
        RefreshCombatStatistics(*object);
    else if (selected >= 2)
        RefreshArmy();
    m_statTimer = 0;
}

void CPlayMainPanel::RefreshNumbers(CWorldObject& object) {
    const float maxHp = object.GetStat(5);
    // No maximum leaves the gauge as it was.
    if (maxHp > 0) {
        const float hp = object.hitPoints / maxHp * 100.0f;
        if (hp >= 0 && hpGauge) hpGauge->SetPercent(hp);
    }
    if (hpGauge) hpGauge->Fill().SetColor(UiColor{object.healthBarColor.x, object.healthBarColor.y,
                                                  object.healthBarColor.z, object.healthBarColor.w});
    ShowText(statics[ST_HPBAR],
             FormatText("%d/%d", static_cast<int32_t>(object.hitPoints), static_cast<int32_t>(maxHp)));
    const float maxMp = object.GetStat(6);
    if (mpGauge) mpGauge->SetPercent(maxMp > 0 ? object.mana / maxMp * 100.0f : 100.0f);
    ShowText(statics[ST_MANABAR], FormatText("%d/%d", static_cast<int32_t>(object.mana), static_cast<int32_t>(maxMp)));
    // The buffs blink as they run out.
    std::array<CUiObject*, kBuffs> buffs{};
    std::copy(buff.begin(), buff.end(), buffs.begin());
    ShowEffectIcons(object, buffs.data(), kBuffs, 1);
}

void CPlayMainPanel::RefreshThirdGauge(CWorldObject& object) {
    for (CUnitEffect* effect : object.effects) {
        if (!effect || effect->Kind() != kEffectKindTimer) continue;
        SetStatic(ST_TIME, true);
        const float duration = effect->Duration();
        if (duration > 0 && expGauge) expGauge->SetPercent((duration - effect->elapsed) / duration * 100.0f);
        return;
    }
    if (object.IsCombatObject() && static_cast<CCombatObject&>(object).lifetime != CCombatObject::kUnlimitedLife) {
        const auto& combat = static_cast<CCombatObject&>(object);
        SetStatic(ST_TIME, true);
        if (combat.lifetimeTotal > 0 && expGauge) expGauge->SetPercent(combat.lifetime / combat.lifetimeTotal * 100.0f);
        return;
    }
    if (object.IsUnit() && IsHero(object) && expGauge) {
        const auto& unit = static_cast<CUnit&>(object);
        const float range = unit.nextExperience - unit.previousExperience;
        if (range > 0) expGauge->SetPercent((unit.experience - unit.previousExperience) / range * 100.0f);
    }
}

void CPlayMainPanel::RefreshCombatStatistics(CWorldObject& object) {
    if (!object.IsCombatObject()) return;
    auto& combat = static_cast<CCombatObject&>(object);
    const bool building = (object.flags & WO_BUILDING) != 0;
    const struct {
        int stat, shown, bonus;
        bool bonusApplies;
    } rows[] = {
        {3, ST_ATTACK, ST_ATTACK_PLUS, !building || (object.unitFlags & 0x10000) != 0},
        {4, ST_DEFENCE, ST_DEFENCE_PLUS, true},
        {10, ST_MOVE, ST_MOVE_PLUS, IsHero(object)},
    };
    for (const auto& row : rows) {
        const float current = combat.GetStat(row.stat);
        if (statics[static_cast<size_t>(row.shown)]) statics[static_cast<size_t>(row.shown)]->SetNumber(static_cast<int32_t>(current));
        CUiStatic* bonus = statics[static_cast<size_t>(row.bonus)];
        if (!bonus) continue;
        bonus->AddFlags(UI_HIDDEN);
        if (!row.bonusApplies) continue;
        const int32_t value = static_cast<int32_t>(current - combat.stats.base[row.stat]);
        if (value < 1) {
            bonus->SetText(FormatText("%d", value));
            bonus->SetTextColour(kRed);
        } else {
            bonus->SetText(FormatText("+%d", value));
            bonus->SetTextColour(kGreen);
        }
        if (value != 0) bonus->ClearFlags(UI_HIDDEN);
    }
    const float speed = std::max(combat.GetStat(9), 0.3f);
    const float speedBase = combat.stats.base[9];
    if (CUiStatic* s = statics[ST_ATTACKSPEED]) {
        s->SetText(FormatText("%.1f", speed));
        s->SetTextColour(speed == speedBase ? kWhite : (speed > speedBase ? kRed : kGreen));
    }
    const struct {
        int stat, shown;
    } rates[] = {{11, ST_ATTACKRATE}, {12, ST_EVADERATE}};
    for (const auto& rate : rates) {
        CUiStatic* s = statics[static_cast<size_t>(rate.shown)];
        if (!s) continue;
        const float value = combat.GetStat(rate.stat);
        const float base = combat.stats.base[rate.stat];
        s->SetText(FormatText("%d%%", static_cast<int32_t>(value)));
        s->SetTextColour(value == base ? kWhite : (value > base ? kGreen : kRed));
    }
}

void CPlayMainPanel::RefreshArmy() {
    const std::vector<int32_t>& selected = m_play.Selection().selected;
    for (size_t i = 0; i < army.size(); ++i) {
        CUiButton* button = army[i];
        if (!button) continue;
        CWorldObject* object = i < selected.size() && g_pWorldObjectManager
                                   ? g_pWorldObjectManager->GetObjectById(selected[i])
                                   : nullptr;
        if (!object || !object->record) {
            button->AddFlags(UI_HIDDEN);
            continue;
        }
        CResource* icon = nullptr;
        if (object->IsUnit())
            if (const CUnitData* data = static_cast<CUnit*>(object)->UnitRecord()) icon = data->iconResource;
        if (button->StateImage(0) != icon) {
            button->SetImage(0, Share(icon), false);
            button->SetImage(1, Share(icon), false);
        }
        button->SetText(object->record->name);
        button->ClearFlags(UI_HIDDEN);
    }
}

void CPlayMainPanel::ApplyReadiness(CUiButton& button, CUnit* unit, CSkillInstance* slotSkill, bool keepColour) {
    button.SetColor(kColourReady);
    if (m_play.Waiting()) {
        button.SetEnabled(0);
        button.AddFlags(UI_DISABLED);
        return;
    }
    // Controls the panel has switched off stay off until it switches them on.
    if (button.HasFlags(UI_DISABLED) && m_controlsEnabled) {
        button.SetEnabled(1);
        button.ClearFlags(UI_DISABLED);
    }
    button.ClearFlags(kUnusable);
    const CSkillLevelRecord* level = slotSkill ? slotSkill->LevelRecord() : nullptr;
    if (unit && IsDisabled(*unit)) {
        button.SetColor(kColourDisabled);
        button.AddFlags(kUnusable);
    } else if (!slotSkill || !slotSkill->record) {
        button.AddFlags(kUnusable);
    } else if (slotSkill->level + slotSkill->pendingLevels < 1) {
        button.SetColor(kColourNotLearned);
        button.AddFlags(kUnusable);
    } else if (unit && level && unit->mana < level->manaCost) {
        button.SetColor(kColourNoMana);
        button.AddFlags(kUnusable);
    } else if (slotSkill->record->flags & kSkillPassive) {
        button.AddFlags(kUnusable);
        if (!keepColour) button.SetColor(kColourDisabled);
    } else if (!slotSkill->IsReady()) {
        button.AddFlags(kUnusable);
    }
}

void CPlayMainPanel::RefreshSkills(bool fullRefresh) {
    CWorldObject* object = GetActiveSelection();
    CUnit* unit = object && object->IsUnit() ? static_cast<CUnit*>(object) : nullptr;
    const int32_t points = unit ? unit->levelUps : 0;
    for (size_t i = 0; i < skill.size(); ++i) {
        CUiButton* button = skill[i];
        if (!button) continue;
        CSkillInstance* instance = unit && i < unit->skills.size() ? unit->skills[i] : nullptr;
        const CSkillRecord* record = instance ? instance->record : nullptr;
        CResource* icon = nullptr;
        if (record)
            icon = (record->flags & kSkillToggle) && instance->active && record->iconDisabledResource
                       ? record->iconDisabledResource
                       : record->iconResource;
        const bool changed = icon != m_skillIcons[i];
        if (changed) {
            button->SetImage(0, Share(icon), false);
            button->SetImage(1, Share(icon), false);
            m_skillIcons[i] = icon;
        }
        if (changed || fullRefresh) {
            BuildSlotTooltip(instance, false, m_tooltipText);
            button->SetText(m_tooltipText);
        }
        ApplyReadiness(*button, unit, instance, false);

        CUiButton* learn = skillPoint[i];
        if (!learn) continue;
        const int32_t learned = instance ? instance->level + instance->pendingLevels : 0;
        const CSkillLevelRecord* next =
            record && learned < static_cast<int32_t>(record->LevelCount()) ? record->Level(static_cast<size_t>(learned))
                                                                           : nullptr;
        const bool shown = unit && IsHero(*unit) && !ReplayOrObserver() && (GameMode() != 2 || i < 4) && points > 0 &&
                           next && static_cast<int32_t>(next->levelWord3) <= unit->level;
        if (shown)
            learn->ClearFlags(UI_HIDDEN);
        else
            learn->AddFlags(UI_HIDDEN);
        if (shown && fullRefresh) {
            BuildSlotTooltip(instance, true, m_tooltipText);
            learn->SetText(m_tooltipText);
        }
        if (m_play.Waiting() || !m_controlsEnabled) {
            learn->SetEnabled(0);
            learn->AddFlags(UI_DISABLED);
        }
    }
}

void CPlayMainPanel::RefreshItems(bool fullRefresh) {
    CWorldObject* object = GetActiveSelection();
    CUnit* unit = object && object->IsUnit() ? static_cast<CUnit*>(object) : nullptr;
    for (size_t i = 0; i < item.size(); ++i) {
        CUiButton* button = item[i];
        if (!button) continue;
        CInventoryItem* entry = unit ? unit->Item(static_cast<int32_t>(i)) : nullptr;
        ShowItem(button, entry, fullRefresh);
        ApplyReadiness(*button, unit, entry ? entry->useSkill : nullptr, true);
    }
}
