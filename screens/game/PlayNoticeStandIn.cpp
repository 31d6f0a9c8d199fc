// Stand-ins for the floating texts the play render draws: a notice and a
// map-alert ring are kept here until the floating-text list shows them.
#include "screens/game/PlayScreen.h"

void CPlayScreen::AddMapAlertMarker(float screenX, float screenY, float r, float g, float b, float a) {
    // Rings live a moment; only the latest few are worth keeping.
    if (m_mapAlertMarks.size() >= 16) m_mapAlertMarks.erase(m_mapAlertMarks.begin());
    m_mapAlertMarks.push_back(MapAlertMark{screenX, screenY, {r, g, b, a}});
}
