// Map alerts: the player's G-and-click that every team mate sees, and the
// record that carries it. The sender writes the local slot, which is also the
// id of that slot's hero, so the handler finds the hero by it.
#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/input/ZEMDXInput.h"
#include "screens/game/FloatingText.h"
#include "screens/game/MiniMap.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "world/SightGrid.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
// Whether the local side sees the point now; without fog everything is seen.
bool PointSeen(const CWorldObjectManager& world, const Vec3& point) {
    if (!world.fogOfWar || !world.sightGrid) return true;
    return world.sightGrid->GetCell(point, -1) >= 1;
}
}  // namespace

void CPlayScreen::InputModeMapAlert() {
    CZEMDXInput* in = InputDevice();
    if (!in) return;
    SetCursor(21);
    if (!HandleHotkeys()) return;
    if (in->MousePressed(0) && !m_waiting) {
        Vec3 point;
        int hit = 0;
        PickGroundPoint(&point, &hit);
        if (hit && g_pGameCommandManager) {
            g_pGameCommandManager->BuildMapAlert(LocalSlot(), point, 1, 1);
            m_inputMode = INPUT_NORMAL;
            return;
        }
    }
    if (in->MouseReleased(1) || in->KeyPressed(DIK_ESCAPE)) {
        m_inputMode = INPUT_NORMAL;
        SetCursor(0);
    }
}

void CPlayScreen::OnMapAlert(CGameCommand& r) {
    CWorldObjectManager* world = g_pWorldObjectManager;
    CWorldObject* unit = world ? world->GetObjectById(r.I16(2)) : nullptr;
    if (!unit) return;
    const MapAlertFields f = UnpackMapAlert(r.U32(4));
    const Vec3 point{static_cast<float>(f.x), 0, static_cast<float>(f.z)};
    const bool ownTeam = unit->team == world->localTeam;
    const bool seen = PointSeen(*world, point);
    float color[4] = {1, 0, 0, 1};
    bool sound = false;
    switch (f.kind) {
        case 0:
            if (ownTeam || !seen) return;
            break;
        case 1:
            if (!ownTeam) return;
            sound = true;
            break;
        case 2:
            if (!ownTeam || !seen) return;
            color[1] = 1;
            break;
        default:
            return;
    }
    int32_t x = 0, y = 0;
    CMiniMap::OfCurrentMap().MapToScreen(point.x, point.z, &x, &y);
    AddMapAlertMarker(static_cast<float>(x), static_cast<float>(y), color[0], color[1], color[2], color[3]);
    if (sound && g_pPlayResources) g_pPlayResources->PlaySound(CPlayResources::SND_MAP_ALARM);
}

void CPlayScreen::AddMapAlertMarker(float screenX, float screenY, float r, float g, float b, float a) {
    constexpr float kRingSize = 10.0f;
    if (auto* ring = static_cast<CMapAlertMarker*>(m_floatingTexts.CreateItem(FT_MAP_ALERT))) {
        const uint32_t argb = CFloatingText::ToArgb(platform::ColorValue{r, g, b, a});
        ring->Setup(PlayTexture(CPlayResources::TEX_MAP_NOTIFY), PlayTexture(CPlayResources::TEX_MAP_NOTIFY_CIRCLE),
                    argb, kRingSize, kRingSize, screenX, screenY, 0);
        m_floatingTexts.Add(ring);
    }
    // What the alerts showed, for the match's own checks; only the latest few are kept.
    if (m_mapAlertMarks.size() >= 16) m_mapAlertMarks.erase(m_mapAlertMarks.begin());
    m_mapAlertMarks.push_back(MapAlertMark{screenX, screenY, {r, g, b, a}});
}
