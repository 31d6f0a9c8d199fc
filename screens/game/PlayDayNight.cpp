// The day and night of a match. The ambient light holds one set for a phase
// of six minutes, then fades to the other in a second and a half; the top
// bar's bubbles count the minutes of the phase.
#include "commands/GameCommandManager.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

void CPlayScreen::StartDayNight() {
    m_dayNight.SetPhase(kDayPeriod, m_day ? 1u : 0u);
    MirrorDay();
}

// The world sees by day or by night with the light.
void CPlayScreen::MirrorDay() {
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (!world) return;
    const uint32_t day = m_day ? 1u : 0u;
    world->dayChanged = world->day != day ? 1u : 0u;
    world->day = day;
}

void CPlayScreen::AdvanceDayNight(float realDt, bool replay) {
    const bool ended = m_dayNight.Update(realDt) != 0;
    if (ended) FlipDay(replay);
    MirrorDay();
}

void CPlayScreen::FlipDay(bool replay) {
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (!replay && world && (!world->online || world->host) && g_pGameCommandManager)
        if (CGameCommand* day = g_pGameCommandManager->BuildPlayerEvent(11, 0, 1)) day->SetU8(3, m_day ? 0 : 1);
    // The new phase starts in the colour of the one that ended and fades from there.
    const uint32_t endedSet = m_day ? 1u : 0u;
    m_day = !m_day;
    m_dayNight.SetPhase(kDayPeriod, endedSet);
    m_dayNight.towardsA = m_day ? 1u : 0u;
    m_dayNight.fading = 1;
}
