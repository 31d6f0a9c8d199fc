// The top strip: binding, the slide, the guardians, the day and night, the
// clock and the count-down.
#include "screens/game/TopBarPanel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiButton.h"
#include "ui/UiGauge.h"
#include "ui/UiImage.h"
#include "ui/UiStatic.h"
#include "world/CombatObject.h"
#include "world/GameDataRecord.h"
#include "world/MapScenario.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {
std::string Numbered(const char* format, int n) {
    char name[48];
    std::snprintf(name, sizeof name, format, n);
    return name;
}
}  // namespace

int CTopBarPanel::OnLayoutLoaded() {
    auto label = [this](const std::string& name) {
        return static_cast<CUiStatic*>(Bind(name.c_str(), UI_TYPE_STATIC));
    };
    for (int i = 0; i < kBubbles; ++i) {
        bubbles[static_cast<size_t>(i)] = label(Numbered("ID_STATIC_BURBLE%d", i + 1));
        if (!bubbles[static_cast<size_t>(i)]) return 0;
        bubbles[static_cast<size_t>(i)]->SetAlpha(0.0f, false);
    }
    for (int i = 0; i < kDigits; ++i)
        if (!(digits[static_cast<size_t>(i)] = label(Numbered("ID_STATIC_TIME_%d", i + 1)))) return 0;
    for (int i = 0; i < 3; ++i)
        if (!(warnings[static_cast<size_t>(i)] = label(Numbered("ID_STATIC_WARNING%d", i + 1)))) return 0;
    for (int i = 0; i < kMenuButtons; ++i)
        if (!(menuButtons[static_cast<size_t>(i)] =
                  Bind(Numbered("ID_BUTTON_UP_PLAYUI_MENU%d", i + 1).c_str(), UI_TYPE_BUTTON)))
            return 0;
    clock = label("ID_STATIC_CLOCK");
    timerDeco = label("ID_STATIC_TIMER_DECO");
    day = label("ID_STATIC_DAY");
    nightLabel = label("ID_STATIC_NIGHT");
    if (!clock || !timerDeco || !day || !nightLabel || !label("ID_STATIC_UP_PLAYUI")) return 0;
    const char* const shells[2] = {"ID_STATIC_GODGAUGESHELL1", "ID_STATIC_GODGAUGESHELL2"};
    const char* const levels[2] = {"ID_STATIC_LIGHT_GUARDIAN_LV", "ID_STATIC_DARKNESS_GUARDIAN_LV"};
    const char* const faces[2] = {"ID_BUTTON_LIGHT_GODFACE", "ID_BUTTON_DARK_GODFACE"};
    const char* const gauges[2] = {"ID_PROGRESS_HP_LIGHT", "ID_PROGRESS_HP_DARKNESS"};
    const char* const names[2] = {"ID_STATIC_NAME_1", "ID_STATIC_NAME_2"};
    for (size_t t = 0; t < guardians.size(); ++t) {
        Guardian& g = guardians[t];
        g.shell = label(shells[t]);
        g.level = label(levels[t]);
        g.face = Bind(faces[t], UI_TYPE_BUTTON);
        g.hp = static_cast<CUiGauge*>(Bind(gauges[t], UI_TYPE_GAUGE));
        g.name = label(names[t]);
        if (!g.shell || !g.level || !g.face || !g.hp || !g.name) return 0;
        g.hp->SetPercent(0.0f);
        // A guardian fades in when its time comes; until then its side is empty.
        for (CUiObject* o : {static_cast<CUiObject*>(g.shell), static_cast<CUiObject*>(g.level), g.face,
                             static_cast<CUiObject*>(g.hp), static_cast<CUiObject*>(g.name)}) {
            o->SetAlpha(0.0f, false);
            o->AddFlags(UI_HIDDEN);
        }
    }
    // The count-down shows once the warning before the guardians has gone.
    for (CUiStatic* d : digits) d->AddFlags(UI_HIDDEN);
    timerDeco->AddFlags(UI_HIDDEN);
    return 1;
}

CUiObject* CTopBarPanel::ProcessInput(float dt, CZEMDXInput& input) {
    UpdateDayNight(dt);
    if (m_sliding) Slide(dt);
    if (warningSwitch) Animate(dt, 1);
    if (guardianFadeIn) Animate(dt, 0);
    UpdateGuardians();
    UpdateClock();
    return CUiWindow::ProcessInput(dt, input);
}

void CTopBarPanel::StartSlide(bool hide) {
    m_sliding = true;
    m_hiding = hide;
    m_slideTimer = 0;
    m_moved = 0;
    if (!hide)
        for (CUiObject* child : Children()) child->ClearFlags(UI_HIDDEN);
}

void CTopBarPanel::Slide(float dt) {
    m_slideTimer += dt;
    if (m_slideTimer < kSlideTick) return;
    float step = std::trunc(m_slideTimer * 100.0f);
    m_slideTimer = 0;
    m_moved += step;
    if (m_moved >= kSlideDistance) {
        // The last step lands the strip exactly.
        step -= m_moved - kSlideDistance;
        m_moved = kSlideDistance;
        m_sliding = false;
    }
    const float dy = m_hiding ? -step : step;
    for (CUiObject* child : Children()) child->SetPosition(child->Position().x, child->Position().y + dy);
    if (!m_sliding && m_hiding)
        for (CUiObject* child : Children()) child->AddFlags(UI_HIDDEN);
}

void CTopBarPanel::Animate(float dt, int which) {
    const float step = dt * 0.15f;
    if (which == 0) {
        CMapScenario* scenario = g_pMapScenario;
        if (!scenario) return;
        for (size_t t = 0; t < guardians.size(); ++t) {
            Guardian& g = guardians[t];
            if (scenario->Lords().entries[t].lordObjectId == -1) continue;
            const float was = g.shell->Colour().a;
            float a = was + step;
            if (was == 0.0f)
                for (CUiObject* o : {static_cast<CUiObject*>(g.shell), static_cast<CUiObject*>(g.level), g.face,
                                     static_cast<CUiObject*>(g.hp), static_cast<CUiObject*>(g.name)})
                    o->ClearFlags(UI_HIDDEN);
            if (a >= 1.0f) {
                a = 1.0f;
                guardianFadeIn = false;
            }
            for (CUiObject* o : {static_cast<CUiObject*>(g.shell), static_cast<CUiObject*>(g.level), g.face,
                                 static_cast<CUiObject*>(g.hp)})
                o->SetAlpha(a, false);
            g.name->SetTextAlpha(a);
        }
        return;
    }
    m_warningTimer += dt;
    if (m_warningTimer <= 5.0f) return;
    const int shown = std::clamp(warningIndex, 0, 2);
    CUiStatic* warning = warnings[static_cast<size_t>(shown)];
    const float a = warning->Colour().a - step;
    warning->SetAlpha(std::max(a, 0.0f), false);
    if (a > 0.0f) return;
    warningSwitch = false;
    warningDone = true;
    warning->AddFlags(UI_HIDDEN);
    m_countdown = true;
    for (CUiStatic* d : digits) d->ClearFlags(UI_HIDDEN);
    timerDeco->ClearFlags(UI_HIDDEN);
}

void CTopBarPanel::UpdateGuardians() {
    CMapScenario* scenario = g_pMapScenario;
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (!scenario || !world || !(scenario->Lords().lordTime > 0.0f)) return;
    for (size_t t = 0; t < guardians.size(); ++t) {
        Guardian& g = guardians[t];
        const int32_t index = scenario->Lords().entries[t].lordObjectId;
        CWorldObject* lord = index == -1 ? nullptr : world->GetObjectById(index);
        if (!lord) continue;
        if (!g.named) {
            g.named = true;
            g.name->SetText(lord->record ? lord->record->name : lord->recordName);
            ShowGuardianFace(g, lord);
        }
        if (g.shell->Colour().a < 1.0f) continue;
        const float maximum = lord->GetStat(5);
        g.godGauge = maximum;
        // A guardian without a maximum leaves its gauge empty.
        g.hp->SetPercent(maximum > 0.0f ? std::clamp(lord->hitPoints / maximum, 0.0f, 1.0f) * 100.0f : 0.0f);
        if (lord->IsCombatObject()) g.level->SetNumber(static_cast<CCombatObject*>(lord)->level);
    }
}

void CTopBarPanel::ShowGuardianFace(Guardian& g, CWorldObject* lord) {
    const CUnitData* data = lord->IsUnit() ? static_cast<CUnit*>(lord)->UnitRecord() : nullptr;
    CResource* picture = data ? data->iconResource : nullptr;
    const UiImageInfo image = UiImageOf(picture);
    if (!image.texture || image.width == 0 || image.height == 0) return;
    auto* face = static_cast<CUiButton*>(g.face);
    const float u = std::min(1.0f, face->Size().x / static_cast<float>(image.width));
    const float v = std::min(1.0f, face->Size().y / static_cast<float>(image.height));
    const float uv[8] = {0, 0, u, 0, 0, v, u, v};
    for (int state = 0; state < 3; ++state) {
        picture->AddRef();
        face->SetImage(state, picture, false);
        face->SetStateUv(state, uv);
    }
}

void CTopBarPanel::UpdateDayNight(float dt) {
    if (night) {
        for (CUiStatic* b : bubbles) b->SetAlpha(std::max(0.0f, b->Colour().a - dt * kNightFade), false);
        return;
    }
    const int phase = static_cast<int>(std::max(0.0f, dayClock) / kStepSeconds) % kDaySteps;
    if (phase == m_phase) return;
    m_phase = phase;
    for (int k = 1; k <= kBubbles; ++k) bubbles[static_cast<size_t>(k - 1)]->SetAlpha(phase >= k + 1 ? 1.0f : 0.0f, false);
}

void CTopBarPanel::UpdateClock() {
    const CWorldObjectManager* world = g_pWorldObjectManager;
    if (!clock || !world) return;
    const int32_t total = static_cast<int32_t>(std::max(0.0f, world->gameClock));
    const int32_t h = total / 3600, m = total / 60 % 60, s = total % 60;
    if (h > 0)
        clock->SetText(FormatText(GetMessageText(MSG_TIME_HOUR_MIN_SEC), h, m, s));
    else if (m > 0)
        clock->SetText(FormatText(GetMessageText(MSG_TIME_MIN_SEC), m, s));
    else
        clock->SetText(FormatText(GetMessageText(MSG_TIME_SEC), s));
}

std::array<int, CTopBarPanel::kDigits> CTopBarPanel::CountdownDigits(float remaining) {
    int32_t left = static_cast<int32_t>(std::clamp(remaining, 0.0f, static_cast<float>(kMaxCountdown)));
    std::array<int, kDigits> out{};
    for (int i = kDigits - 1; i >= 0; --i) {
        out[static_cast<size_t>(i)] = left % 10;
        left /= 10;
    }
    return out;
}

void CTopBarPanel::DrawCountdown() {
    CMapScenario* scenario = g_pMapScenario;
    const CWorldObjectManager* world = g_pWorldObjectManager;
    if (!scenario || !world) return;
    const float remaining = scenario->Lords().lordTime - world->gameClock;
    if (remaining <= 0.0f) {
        for (CUiStatic* d : digits) d->AddFlags(UI_HIDDEN);
        timerDeco->AddFlags(UI_HIDDEN);
        return;
    }
    const std::array<int, kDigits> cells = CountdownDigits(remaining);
    for (size_t i = 0; i < digits.size(); ++i) {
        const float u = static_cast<float>(cells[i]) * 0.1f;
        const float uv[8] = {u, 0, u + 0.1f, 0, u, 1, u + 0.1f, 1};
        std::copy(uv, uv + 8, digits[i]->Uv());
    }
}

void CTopBarPanel::Render() {
    for (Guardian& g : guardians)
        if (!g.shell->HasFlags(UI_HIDDEN) && g.godGauge >= 0.0f) g.shell->SetNumber(static_cast<int32_t>(g.godGauge));
    if (m_countdown) DrawCountdown();
    CUiWindow::Render();
}

void CTopBarPanel::OnLButtonClick(CUiObject* control) {
    if (!owner || !control) return;
    // The buttons raise the play screen's requests in their own order.
    for (size_t i = 0; i < menuButtons.size(); ++i)
        if (menuButtons[i] == control) owner->RequestUi(CPlayScreen::UI_REQUEST_MENU + static_cast<int>(i));
}
