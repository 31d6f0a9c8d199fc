// Presses on the minimap: in the normal mode they move the camera, in the
// modes that want a point (attack, patrol, move, skill target) they give it.
#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "world/WorldObjectManager.h"

namespace {
bool WantsPoint(int mode) { return mode == 1 || mode == 4 || mode == 6 || mode == 7; }
}  // namespace

bool CPlayMainPanel::CursorOnMap(float* x, float* z) const {
    if (!m_input || !minimap.map) return false;
    platform::CursorPoint cursor{};
    m_input->GetCursor(&cursor);
    return CMiniMap(minimap.map->minimapRect()).ScreenToMap(cursor.x, cursor.y, x, z) != 0;
}

void CPlayMainPanel::MoveCameraTo(float x, float z) {
    CCamera* camera = m_play.Camera();
    if (!camera) return;
    camera->SetTarget({x, camera->target.y, z}, 1);
}

void CPlayMainPanel::TakeTargetPoint() {
    float x = 0, z = 0;
    minimapPointValid = CursorOnMap(&x, &z) ? 1 : 0;
    if (minimapPointValid) minimapPoint = {x, 0, z};
}

void CPlayMainPanel::OnLButtonPress(CUiObject* control) {
    if (!OnMinimap(control) || (m_play.Waiting() && !ReplayOrObserver())) return;
    const int mode = m_play.InputMode();
    if (WantsPoint(mode)) return TakeTargetPoint();
    float x = 0, z = 0;
    if (mode == MODE_NORMAL && CursorOnMap(&x, &z)) MoveCameraTo(x, z);
}

void CPlayMainPanel::OnLButtonHold(CUiObject* control) {
    if (!OnMinimap(control) || (m_play.Waiting() && !ReplayOrObserver())) return;
    if (m_play.InputMode() != MODE_NORMAL || (m_input && m_input->KeyDown(platform::DIK_LMENU))) return;
    float x = 0, z = 0;
    if (!CursorOnMap(&x, &z)) return;
    MoveCameraTo(x, z);
    cameraMovedByMinimap = 1;
}

void CPlayMainPanel::OnRButtonPress(CUiObject* control) {
    if (OnMinimap(control)) TakeTargetPoint();
}
