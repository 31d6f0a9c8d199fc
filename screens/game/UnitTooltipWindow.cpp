// The unit label.
#include "screens/game/UnitTooltipWindow.h"

#include <cmath>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/render/Camera.h"
#include "engine/render/Draw2D.h"
#include "net/ClientSession.h"
#include "ui/UiStatic.h"
#include "world/CombatObject.h"
#include "world/GameDataRecord.h"
#include "world/WorldObjectManager.h"

std::string CUnitTooltipWindow::BuildLabel(CWorldObject& object, int32_t localTeam, float* lift) {
    const char* colour = object.team == localTeam ? "</C=ffffff>" : "</C=ff8888>";
    const std::string name = object.record ? object.record->text : std::string();
    *lift = kOtherLift;
    // Only units, heroes and their kin show a level.
    if ((object.stateFlags & 0x8) || !(object.unitFlags & 0x200000B0u) || !object.IsCombatObject())
        return std::string(colour) + name;
    const int32_t level = static_cast<CCombatObject&>(object).level;
    if (object.owner >= 0 && object.owner < kPlayerSlots) {
        *lift = kPlayerLift;
        const char* nick =
            g_pClientSession ? g_pClientSession->slots[static_cast<size_t>(object.owner)].GetNickname() : "";
        return FormatText(GetMessageText(MSG_GAMEPLAY_ID_PLAYER), level, colour, name, colour, nick);
    }
    return FormatText(GetMessageText(MSG_GAMEPLAY_ID_OTHER), level, colour, name);
}

void CUnitTooltipWindow::LabelPosition(int32_t left, int32_t top, int32_t right, float lift, float* x, float* y) {
    const float width = static_cast<float>(right - left);
    *x = std::trunc(static_cast<float>(left) - (kCentreWidth - width) * 0.5f);
    *y = std::trunc(static_cast<float>(top) - lift - 7.0f);
}

void CUnitTooltipWindow::FitToText() {
    if (!m_text) return;
    const UiPoint text = m_label.empty() ? UiPoint{} : UiPoint{m_text->LabelSize().x, m_text->LabelSize().y + 5};
    LayOutFrame(text.x + kTextPadding, text.y);
    m_text->SetSize(text.x + kTextPadding, text.y);
}

void CUnitTooltipWindow::PlaceFrame() {
    if (!m_text) return;
    const UiPoint c = CornerSize();
    m_text->SetPosition(std::trunc(c.x), std::trunc(c.y));
    SetPosition(m_labelX, m_labelY);
}

bool CUnitTooltipWindow::UpdateLabel() {
    CWorldObjectManager* world = g_pWorldObjectManager;
    CWorldObject* object = world ? world->GetObjectById(m_objectId) : nullptr;
    if (!object || !m_text) return false;
    float lift = kOtherLift;
    m_label = BuildLabel(*object, world->localTeam, &lift);
    if (m_camera) {
        platform::Viewport viewport;
        viewport.width = m_camera->viewportWidth;
        viewport.height = m_camera->viewportHeight;
        int32_t points[4] = {};
        ProjectBoundsToScreen(viewport, m_camera->view, m_camera->projection, object->bounds.boxMin,
                              object->bounds.boxMax, points);
        const int32_t left = std::min(points[0], points[2]), right = std::max(points[0], points[2]);
        const int32_t top = std::min(points[1], points[3]);
        LabelPosition(left, top, right, lift, &m_labelX, &m_labelY);
    }
    m_text->SetText(m_label);
    FitToText();
    PlaceFrame();
    return true;
}

void CUnitTooltipWindow::Render() {
    ClearFlags(UI_HIDDEN);
    if (!UpdateLabel() || HasFlags(UI_NOT_DRAWN)) return;
    CUiWindow::Render();
}
