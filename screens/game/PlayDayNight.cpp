// The day and night of a match. The ambient light holds one set for a phase
// of six minutes, then fades to the other in a second and a half; the top
// bar's bubbles count the minutes of the phase.
#include "commands/GameCommandManager.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

void CPlayScreen::StartDayNight() { m_dayNight.SetPhase(kDayPeriod, m_day ? 1u : 0u); }

void CPlayScreen::AdvanceDayNight(float realDt, bool replay) {
    if (!m_dayNight.Update(realDt)) return;
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
