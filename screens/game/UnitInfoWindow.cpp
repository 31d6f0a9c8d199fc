// The unit information window.
#include "screens/game/UnitInfoWindow.h"

#include <cmath>

#include "engine/core/TextFormat.h"
#include "engine/resource/Resource.h"
#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayResources.h"
#include "ui/UiGauge.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/CombatObject.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/Unit.h"
#include "world/UnitEffect.h"
#include "world/WorldObjectManager.h"

namespace {
// The stats behind abilities 1 to 6.
constexpr int32_t kAbilityStats[CUnitInfoWindow::kAbilityBonuses] = {0, 1, 2, 3, 4, 10};
constexpr float kBlinkWindow = 5.0f;
constexpr float kBlinkPeriod = 0.8f;

bool IsHero(const CWorldObject& o) { return (o.unitFlags & 0x10) != 0 && o.IsUnit(); }

void SetIcon(CUiObject* control, CResource* icon) {
    if (icon) icon->AddRef();
    control->SetImage(icon, std::string());
}

// "HP/max" on the number and its tooltip; the gauge only for a positive maximum and value.
void ShowGauge(CUiGauge* gauge, CUiStatic* number, float value, float maximum) {
    if (!(maximum > 0)) return;
    const float percent = value * 100.0f / maximum;
    if (gauge && percent > 0) {
        gauge->SetPercent(percent);
        gauge->UpdateBar();
    }
    if (number) {
        const std::string text = FormatText("%d/%d", static_cast<int32_t>(value), static_cast<int32_t>(maximum));
        number->SetText(text);
        number->CUiObject::SetText(text);
    }
}
}  // namespace

void EffectBlink(float remaining, float* alpha, bool* hidden) {
    *alpha = 1.0f;
    *hidden = false;
    if (remaining >= kBlinkWindow) return;
    if (remaining <= 1.0f)
        *alpha = std::max(remaining, 0.0f);
    else
        *hidden = std::fmod(remaining, kBlinkPeriod) > kBlinkPeriod * 0.5f;
}

void ShowEffectIcons(CWorldObject& object, CUiObject* const* controls, int count, int blink) {
    for (int i = 0; i < count; ++i)
        if (controls[i]) {
            SetShown(controls[i], false);
            controls[i]->SetAlpha(1.0f, false);
        }
    int next = 0;
    for (CUnitEffect* effect : object.effects) {
        if (next >= count) break;
        CEffectRecord* record = effect ? effect->record : nullptr;
        if (!record || !record->iconResource) continue;
        CUiObject* control = controls[next++];
        if (!control) continue;
        SetIcon(control, record->iconResource);
        std::string tip = "</>";
        if (record->params.size() > 1) tip += FormatText("Lv%d ", effect->level);
        tip += record->text;
        if (!record->effectText2.empty()) tip += "\n" + record->effectText2;
        control->SetText(tip);
        SetShown(control, true);
        const CEffectParam* param = effect->LevelParam();
        if (blink && param && param->duration > 0) {
            float alpha = 1.0f;
            bool hidden = false;
            EffectBlink(param->duration - effect->elapsed, &alpha, &hidden);
            control->SetAlpha(alpha, false);
            if (hidden) SetShown(control, false);
        }
    }
}

int CUnitInfoWindow::OnLayoutLoaded() {
    auto bind = [this](const std::string& n, uint32_t type) { return Bind(n.c_str(), type); };
    m_face = bind("ID_STATIC_CHARFACE", UI_TYPE_STATIC);
    name = static_cast<CUiStatic*>(bind("ID_STATIC_CHARNAME", UI_TYPE_STATIC));
    m_statIcon = bind("ID_STATIC_STATICON", UI_TYPE_STATIC);
    m_raceIcon = bind("ID_STATIC_RACEICON", UI_TYPE_STATIC);
    m_barShell = bind("ID_STATIC_BAR_SHELL", UI_TYPE_STATIC);
    hpNumber = static_cast<CUiStatic*>(bind("ID_STATIC_HP_NUM", UI_TYPE_STATIC));
    mpNumber = static_cast<CUiStatic*>(bind("ID_STATIC_MP_NUM", UI_TYPE_STATIC));
    bool ok = m_face && name && m_statIcon && m_raceIcon && m_barShell && hpNumber && mpNumber;
    for (int i = 0; i < kAbilities; ++i)
        ok = (abilities[i] = static_cast<CUiStatic*>(
                  bind(FormatText("ID_STATIC_ABILITYNUM%d", i + 1), UI_TYPE_STATIC))) != nullptr && ok;
    for (int i = 0; i < kAbilityBonuses; ++i)
        ok = (bonuses[i] = static_cast<CUiStatic*>(
                  bind(FormatText("ID_STATIC_ABILITY_PLUS%d", i + 1), UI_TYPE_STATIC))) != nullptr && ok;
    hpGauge = static_cast<CUiGauge*>(bind("ID_PROGRESS_HP", UI_TYPE_GAUGE));
    mpGauge = static_cast<CUiGauge*>(bind("ID_PROGRESS_MP", UI_TYPE_GAUGE));
    for (int i = 0; i < kEffectIcons; ++i)
        ok = (effectIcons[i] = bind(FormatText("ID_STATIC_BUFF%d", i + 1), UI_TYPE_STATIC)) != nullptr && ok;
    for (int i = 0; i < kItems; ++i)
        ok = (items[i] = bind(FormatText("ID_STATIC_ITEM%d", i + 1), UI_TYPE_STATIC)) != nullptr && ok;
    m_close = bind("ID_BUTTON_CLOSE", UI_TYPE_BUTTON);
    if (!ok || !hpGauge || !mpGauge || !m_close) return 0;
    // Without a target the window still works; the face stays empty.
    RestorePreview();
    Refresh(1);
    return 1;
}

CUnitInfoWindow::~CUnitInfoWindow() {
    // The face control outlives the portrait that owns its picture.
    if (m_face) m_face->SetImage(nullptr, std::string());
}

int CUnitInfoWindow::RestorePreview() {
    const int made = m_portrait.Restore();
    if (m_face && m_face->Image() != m_portrait.Picture()) m_face->SetImage(m_portrait.Picture(), std::string());
    return made;
}

void CUnitInfoWindow::RenderPreview() {
    if (HasFlags(UI_HIDDEN) || HasFlags(UI_NOT_DRAWN) || !ShownObject()) return;
    m_portrait.Render();
}

CWorldObject* CUnitInfoWindow::ShownObject() const {
    return g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(m_shown) : nullptr;
}

void CUnitInfoWindow::ShowObject(int32_t index) {
    CWorldObject* object = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(index) : nullptr;
    if (!object || !object->record || (object->stateFlags & kUnshownFlags)) {
        if (m_shown != -1) Refresh(1);
        m_shown = -1;
        m_portrait.Clear();
        if (g_pUiManager) g_pUiManager->ShowWindow(this, false);
        return;
    }
    if (g_pUiManager) {
        g_pUiManager->ShowWindow(this, true);
        g_pUiManager->BringToFront(this);
    }
    m_shown = index;
    m_portrait.Show(*object, CUnitPortrait::kShowAction);
    Refresh(1);
    Rewrite(*object);
}

void CUnitInfoWindow::Refresh(int hide) {
    if (hide) {
        m_refreshTimer = 0;
        SetShown(m_face, true);
        SetShown(name, true);
        SetShown(m_barShell, true);
        SetShown(hpGauge, true);
        SetShown(mpGauge, true);
        for (CUiObject* item : items) SetShown(item, false);
        for (CUiStatic* a : abilities) SetShown(a, true);
        for (CUiStatic* b : bonuses) SetShown(b, true);
        CWorldObject* object = ShownObject();
        const bool hero = object && IsHero(*object);
        if (hero && g_pPlayResources) {
            g_pPlayResources->SetRaceIcon(m_raceIcon, object->record);
            g_pPlayResources->SetClassIcon(m_statIcon, object->record);
        }
        SetShown(m_raceIcon, hero);
        SetShown(m_statIcon, hero);
        return;
    }
    if (m_refreshTimer <= kRefreshInterval) return;
    m_refreshTimer = 0;
    if (CWorldObject* object = ShownObject()) Rewrite(*object);
}

void CUnitInfoWindow::Rewrite(CWorldObject& object) {
    const bool combat = object.IsCombatObject();
    auto* fighter = combat ? static_cast<CCombatObject*>(&object) : nullptr;
    if (name && object.record) {
        name->SetText(IsHero(object) && fighter ? FormatText("</C=ffff00>Lv%d </>%s", fighter->level, object.record->text)
                                                 : object.record->text);
    }
    if (object.IsUnit()) {
        auto& unit = static_cast<CUnit&>(object);
        for (int i = 0; i < kItems; ++i) {
            CInventoryItem* item = unit.Item(i);
            if (!items[i]) continue;
            if (!item || !item->record) {
                SetShown(items[i], false);
                continue;
            }
            SetIcon(items[i], item->record->iconResource);
            items[i]->SetText(BuildItemTooltip(*item->record, 0, item->charges, 0));
            SetShown(items[i], true);
        }
    }
    ShowGauge(hpGauge, hpNumber, object.hitPoints, object.GetStat(5));
    ShowGauge(mpGauge, mpNumber, object.mana, object.GetStat(6));
    if (fighter) {
        for (int i = 0; i < kAbilityBonuses; ++i) {
            const float base = fighter->stats.base[kAbilityStats[i]];
            if (abilities[i]) abilities[i]->SetNumber(static_cast<int32_t>(base));
            const int32_t bonus = static_cast<int32_t>(object.GetStat(kAbilityStats[i]) - base + 0.5f);
            if (bonuses[i]) bonuses[i]->SetText(bonus > 0 ? FormatText("+%d", bonus) : std::string());
        }
    }
    if (abilities[6]) abilities[6]->SetText(FormatText("%.1f", object.GetStat(9)));
    if (abilities[7]) abilities[7]->SetText(FormatText("%d%%", static_cast<int32_t>(object.GetStat(12))));
    if (abilities[8]) abilities[8]->SetText(FormatText("%d%%", static_cast<int32_t>(object.GetStat(11))));
    ShowEffectIcons(object, effectIcons.data(), kEffectIcons, 0);
}

CUiObject* CUnitInfoWindow::ProcessInput(float dt, CZEMDXInput& input) {
    if (!HasFlags(UI_HIDDEN) && m_shown != -1) {
        if (CWorldObject* shown = ShownObject()) {
            m_refreshTimer += dt;
            m_portrait.Step(dt, *shown, true);
            Refresh(0);
        } else {
            Refresh(1);
            m_shown = -1;
        }
    }
    return CUiWindow::ProcessInput(dt, input);
}

void CUnitInfoWindow::Render() {
    if (HasFlags(UI_HIDDEN) || HasFlags(UI_NOT_DRAWN)) return;
    CUiWindow::Render();
    CWorldObject* object = ShownObject();
    if (!object) {
        Refresh(1);
        m_shown = -1;
        return;
    }
    if (!IsHero(*object)) return;
    auto& unit = static_cast<CUnit&>(*object);
    // Consumables carry their count.
    for (int i = 0; i < kItems; ++i)
        if (CInventoryItem* item = unit.Item(i); item && item->record && items[i] && item->record->kind == 0)
            DrawCountBadge(*items[i], item->charges);
}

void CUnitInfoWindow::OnLButtonClick(CUiObject* control) {
    if (control == m_close && g_pUiManager) g_pUiManager->ShowWindow(this, false);
}
