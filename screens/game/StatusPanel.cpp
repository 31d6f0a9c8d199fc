// The hero portraits: binding, the rows by team, the 0.2 s refresh of the
// gauges and of the enemies' reveal order, the marks drawn over the rows and
// the clicks on a face.
#include "screens/game/StatusPanel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/UnitInfoWindow.h"
#include "ui/UiGauge.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/SkillInstance.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr int kHeroSlots = 12;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kWarningColour = 0xFFFF0000u;
// The revival wait of a dead hero: death, sub-kind "waiting".
constexpr int32_t kDeathOrder = 4, kWaitingRevival = 7;
constexpr float kPulseRate = 2.5f;
constexpr float kMarkerScale = 2.2f;
const float kFullUv[8] = {0, 0, 1, 0, 0, 1, 1, 1};

CWorldObjectManager* World() { return g_pWorldObjectManager; }

// A hero of a player slot: the unit whose id is the slot.
CUnit* HeroOfSlot(int32_t slot) {
    CWorldObject* o = World() ? World()->GetObjectById(slot) : nullptr;
    return o && o->IsUnit() ? static_cast<CUnit*>(o) : nullptr;
}

CUnit* HeroById(int32_t id) { return id >= 0 && id < kHeroSlots ? HeroOfSlot(id) : nullptr; }

bool OwnerLeft(const CWorldObject& hero) {
    return World() && hero.owner >= 0 && hero.owner < kHeroSlots && World()->slotGone[hero.owner];
}

bool WaitingRevival(const CUnit& hero) {
    return hero.order.kind == kDeathOrder && hero.order.subKind == kWaitingRevival;
}

void SetFace(CUiStatic* face, CResource* picture) {
    if (!face) return;
    if (picture) picture->AddRef();
    face->SetImage(picture, std::string());
}

float Pulse(float phase) { return 0.5f + 0.5f * std::sin(phase); }

void DrawOver(CResource* picture, float x, float y, float w, float h, uint32_t argb) {
    const UiImageInfo image = UiImageOf(picture);
    if (g_pUiManager && image.texture) g_pUiManager->DrawQuad(argb, kFullUv, image.texture, x, y, w, h);
}
}  // namespace

CStatusPanel::~CStatusPanel() {
    if (g_pResourceManager) g_pResourceManager->ReleaseResource(m_cover);
}

int CStatusPanel::OnLayoutLoaded() {
    auto label = [this](const std::string& name) {
        return static_cast<CUiStatic*>(Bind(name.c_str(), UI_TYPE_STATIC));
    };
    auto gauge = [this](const std::string& name) {
        return static_cast<CUiGauge*>(Bind(name.c_str(), UI_TYPE_GAUGE));
    };
    for (int i = 0; i < kAllyRows; ++i) {
        AllyRow& row = allies[static_cast<size_t>(i)];
        row.face = label(FormatText("ID_STATIC_CHA_FACE_ALLY%.2d", i + 1));
        row.name = label(FormatText("ID_STATIC_CHA_ALLY_%.2d", i + 1));
        row.hp = gauge(FormatText("ID_PROGRESS_CHA_ALLY_%.2d", i + 1));
        row.cooldown = gauge(FormatText("ID_PROGRESS_COOL_%d", i + 1));
        row.colour = label(FormatText("ID_STATIC_P_COLOR%d", i + 1));
        if (!row.face || !row.name || !row.hp || !row.cooldown || !row.colour) return 0;
    }
    for (int i = 0; i < kEnemyRows; ++i) {
        EnemyRow& row = enemyRows[static_cast<size_t>(i)];
        row.face = label(FormatText("ID_STATIC_CHA_FACE_ENEMY_%.2d", i + 1));
        row.name = label(FormatText("ID_STATIC_CHA_ENEMY_%.2d", i + 1));
        if (!row.face || !row.name) return 0;
    }
    if (!m_cover && g_pResourceManager) {
        m_cover = g_pResourceManager->GetResource(kCoverTexture, RES_TEXTURE, nullptr, 1);
        if (!m_cover) return 0;
    }
    Rebuild();
    return 1;
}

void CStatusPanel::ShowHero(CUiStatic* face, CUiStatic* name, CWorldObject* hero) {
    if (!hero) {
        face->AddFlags(UI_HIDDEN);
        name->AddFlags(UI_HIDDEN);
        name->SetText(std::string());
        name->CUiObject::SetText(std::string());
        return;
    }
    face->ClearFlags(UI_HIDDEN);
    name->ClearFlags(UI_HIDDEN);
    const CUnitData* data = hero->IsUnit() ? static_cast<CUnit*>(hero)->UnitRecord() : nullptr;
    SetFace(face, data ? data->iconResource : nullptr);
    const std::string& heroName = hero->record ? hero->record->name : hero->recordName;
    const CPlayerSlot* slot = g_pClientSession && hero->owner >= 0 && hero->owner < kHeroSlots
                                  ? &g_pClientSession->slots[static_cast<size_t>(hero->owner)]
                                  : nullptr;
    // Who plays the hero is the name's tooltip; the label carries the revival count.
    name->CUiObject::SetText(
        FormatText(GetMessageText(MSG_GAMEPLAY_PLAYER_INFO), heroName.c_str(), slot ? slot->GetNickname() : ""));
}

void CStatusPanel::FillPlayerSlot(int row, CWorldObject* hero) {
    if (row < 0 || row >= kAllyRows) return;
    AllyRow& r = allies[static_cast<size_t>(row)];
    r.hero = hero ? hero->id : -1;
    ShowHero(r.face, r.name, hero);
    for (CUiObject* part : {static_cast<CUiObject*>(r.hp), static_cast<CUiObject*>(r.cooldown),
                            static_cast<CUiObject*>(r.colour)}) {
        if (hero)
            part->ClearFlags(UI_HIDDEN);
        else
            part->AddFlags(UI_HIDDEN);
    }
}

void CStatusPanel::Rebuild() {
    for (int i = 0; i < kAllyRows; ++i) FillPlayerSlot(i, nullptr);
    for (EnemyRow& row : enemyRows) {
        ShowHero(row.face, row.name, nullptr);
        row.shown = false;
    }
    enemies.clear();
    m_allyCount = 0;
    m_heroSet = HeroSet();
    CWorldObjectManager* world = World();
    if (!world) return;
    const int32_t local = world->localSlot;
    if (CUnit* own = HeroById(local)) FillPlayerSlot(m_allyCount++, own);
    for (int32_t slot = 0; slot < kHeroSlots; ++slot) {
        CUnit* hero = HeroOfSlot(slot);
        if (!hero || slot == local) continue;
        if (hero->team == world->localTeam) {
            if (m_allyCount < kAllyRows) FillPlayerSlot(m_allyCount++, hero);
        } else {
            enemies.push_back(Enemy{hero->id, false});
        }
    }
}

float CStatusPanel::HitPointPercent(float hitPoints, float maximum) {
    // Without a maximum there is no share to show.
    if (!(maximum > 0.0f) || !(hitPoints > 0.0f)) return 0.0f;
    return std::min(hitPoints / maximum, 1.0f) * 100.0f;
}

float CStatusPanel::CooldownPercent(const CCombatObject& hero) {
    if (hero.skills.size() <= kCooldownSkill) return 0.0f;
    const CSkillInstance* skill = hero.skills[kCooldownSkill];
    if (!skill || !skill->LevelRecord()) return 0.0f;
    const float cooldown = skill->Cooldown();
    // A skill without a cool-down is always ready.
    if (!(cooldown > 0.0f) || skill->cooldownElapsed >= cooldown) return 100.0f;
    return std::max(0.0f, skill->cooldownElapsed / cooldown * 100.0f);
}

bool CStatusPanel::FaceBlinks(float hitPoints, float maximum, float runningTime) {
    return maximum > 0.0f && hitPoints < maximum * kLowHealth && runningTime < 0.5f;
}

CUiObject* CStatusPanel::ProcessInput(float dt, CZEMDXInput& input) {
    Update(dt);
    return CUiWindow::ProcessInput(dt, input);
}

void CStatusPanel::Update(float dt) {
    m_runningTime += dt;
    if (m_runningTime >= 1.0f) m_runningTime = std::fmod(m_runningTime, 1.0f);
    m_refreshTimer += dt;
    if (m_refreshTimer < kRefreshInterval) return;
    m_refreshTimer = 0;
    if (HeroSet() != m_heroSet) Rebuild();
    Refresh();
}

uint32_t CStatusPanel::HeroSet() {
    uint32_t set = 0;
    for (int32_t slot = 0; slot < kHeroSlots; ++slot)
        if (HeroOfSlot(slot)) set |= 1u << slot;
    const int32_t local = World() ? World()->localSlot : 0;
    return set | static_cast<uint32_t>(local & 0xFF) << 16;
}

void CStatusPanel::Refresh() {
    for (AllyRow& row : allies)
        if (row.hero != -1) RefreshAlly(row);
    if (World() && World()->matchKind == 0) RefreshEnemies();
}

void CStatusPanel::RefreshAlly(AllyRow& row) {
    CUnit* hero = HeroById(row.hero);
    if (!hero) {
        // Its hero is gone: the row empties.
        FillPlayerSlot(static_cast<int>(&row - allies.data()), nullptr);
        return;
    }
    row.name->SetText(std::string());
    if (!hero->alive) {
        row.hp->SetPercent(0.0f);
        row.hp->UpdateBar();
        row.face->SetColor(kWhite);
        if (OwnerLeft(*hero)) {
            SetFace(row.face, m_cover);
        } else if (WaitingRevival(*hero)) {
            row.name->SetNumber(static_cast<int32_t>(hero->revivalTime));
        }
        return;
    }
    row.hp->SetPercent(HitPointPercent(hero->hitPoints, hero->GetStat(5)));
    row.hp->UpdateBar();
    row.cooldown->SetPercent(CooldownPercent(*hero));
    row.cooldown->UpdateBar();
}

void CStatusPanel::RefreshEnemies() {
    auto reveal = [](const Enemy& e) {
        const CUnit* hero = HeroById(e.hero);
        return hero ? hero->revealValue : 0.0f;
    };
    for (Enemy& e : enemies) {
        CUnit* hero = HeroById(e.hero);
        if (!hero) continue;
        // A leaver stays first.
        if (OwnerLeft(*hero)) hero->revealValue = FLT_MAX;
        if (!hero->alive && !e.revealed && hero->revealValue > kRevealed) e.revealed = true;
    }
    std::stable_sort(enemies.begin(), enemies.end(),
                     [&](const Enemy& a, const Enemy& b) { return reveal(a) > reveal(b); });
    for (size_t i = 0; i < enemyRows.size(); ++i) {
        EnemyRow& row = enemyRows[i];
        if (i >= enemies.size()) {
            ShowHero(row.face, row.name, nullptr);
            row.shown = false;
            continue;
        }
        CUnit* hero = HeroById(enemies[i].hero);
        if (hero && hero->alive && !(hero->revealValue >= kRevealed)) {
            ShowHero(row.face, row.name, nullptr);
            row.shown = false;
            enemies[i].revealed = false;
            continue;
        }
        ShowHero(row.face, row.name, hero);
        row.shown = hero != nullptr;
        if (!hero) continue;
        row.name->SetText(std::string());
        if (OwnerLeft(*hero))
            SetFace(row.face, m_cover);
        else if (WaitingRevival(*hero))
            row.name->SetNumber(static_cast<int32_t>(hero->revivalTime));
    }
}

void CStatusPanel::DrawRowMarks(const AllyRow& row, float pulse) {
    CUnit* hero = HeroById(row.hero);
    if (!hero || !hero->alive || !g_pPlayResources) return;
    const uint32_t pulsing = static_cast<uint32_t>(pulse * 255.0f) << 24 | 0xFFFFFFu;
    if (row.cooldown->Percent() >= 100.0f) {
        const UiPoint at = row.cooldown->GetAbsolutePos();
        DrawOver(g_pPlayResources->textures[CPlayResources::TEX_SELECT_SKILL_ON], at.x, at.y, row.cooldown->Size().x,
                 row.cooldown->Size().y, pulsing);
    }
    if (hero->skills.size() > kMarkerSkill && hero->skills[kMarkerSkill] && hero->skills[kMarkerSkill]->IsReady()) {
        const UiPoint at = row.colour->GetAbsolutePos();
        const float w = row.colour->Size().x * kMarkerScale, h = row.colour->Size().y * kMarkerScale;
        DrawOver(g_pPlayResources->textures[CPlayResources::TEX_SELECT_SKILL], at.x + (row.colour->Size().x - w) / 2,
                 at.y + (row.colour->Size().y - h) / 2, w, h, pulsing);
    }
    if (g_pClientSession && hero->owner >= 0 && hero->owner < kHeroSlots) {
        const int32_t bonus = g_pClientSession->slots[static_cast<size_t>(hero->owner)].bonusLevel;
        if (bonus > 0) {
            const size_t icon = static_cast<size_t>(std::min<int32_t>(bonus, 100) - 1);
            const UiPoint at = row.face->GetAbsolutePos();
            const float side = row.face->Size().y * 0.4f;
            DrawOver(g_pPlayResources->levelIcons[icon], at.x + row.face->Size().x - side, at.y, side, side, kWhite);
        }
    }
}

void CStatusPanel::Render() {
    if (HasFlags(UI_HIDDEN)) return;
    // A low hero's face blinks in the warning colour.
    for (const AllyRow& row : allies) {
        CUnit* hero = HeroById(row.hero);
        if (!hero || !hero->alive) continue;
        row.face->SetColor(FaceBlinks(hero->hitPoints, hero->GetStat(5), m_runningTime) ? kWarningColour : kWhite);
    }
    CUiWindow::Render();
    m_pulse = std::fmod(m_pulse + kPulseRate * (m_owner ? m_owner->Dt() : 0.0f), 6.2831853f);
    for (const AllyRow& row : allies)
        if (row.hero != -1 && !row.face->HasFlags(UI_HIDDEN)) DrawRowMarks(row, Pulse(m_pulse));
}

int CStatusPanel::AllyRowOfFace(const CUiObject* control) const {
    for (size_t i = 0; i < allies.size(); ++i)
        if (control && allies[i].face == control) return static_cast<int>(i);
    return -1;
}

void CStatusPanel::OnLButtonClick(CUiObject* control) {
    const int row = AllyRowOfFace(control);
    CUnit* hero = row < 0 ? nullptr : HeroById(allies[static_cast<size_t>(row)].hero);
    if (!hero || !hero->alive || !m_owner || !m_owner->UnitInfo()) return;
    m_owner->UnitInfo()->ShowObject(hero->id);
}

void CStatusPanel::OnLButtonDoubleClick(CUiObject* control) {
    const int row = AllyRowOfFace(control);
    CUnit* hero = row < 0 ? nullptr : HeroById(allies[static_cast<size_t>(row)].hero);
    if (!hero || !hero->alive || !m_owner || !World() || World()->gameMode == 3 || m_owner->Waiting()) return;
    if (CCamera* camera = m_owner->Camera()) camera->SetTarget(hero->position, 1);
}
