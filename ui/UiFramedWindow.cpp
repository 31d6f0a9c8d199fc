#include "ui/UiFramedWindow.h"

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/input/ZEMDXInput.h"
#include "ui/UiManager.h"

namespace {

const char* const kDecorNames[] = {
    "ID_STT_SIDE_DECOR1",    "ID_STT_SIDE_DECOR2",       "ID_STT_SIDE_DECOR3",     "ID_STT_SIDE_DECOR4",
    "ID_STT_SIDE_TOP_DECOR", "ID_STT_SIDE_BOTTOM_DECOR", "ID_STT_SIDE_LEFT_DECOR", "ID_STT_SIDE_RIGHT_DECOR",
};

}  // namespace

CUiFramedWindow::CUiFramedWindow() = default;

CUiFramedWindow::~CUiFramedWindow() {
    if (g_pUiManager && g_pUiManager->Tooltip() == this) g_pUiManager->SetTooltip(nullptr);
}

int CUiFramedWindow::OnLayoutLoaded() {
    m_text = static_cast<CUiStatic*>(Bind("ID_STT_STRING", UI_TYPE_STATIC));
    if (!m_text) return 0;
    for (int i = 0; i < DECOR_COUNT; ++i) {
        m_decor[i] = static_cast<CUiStatic*>(Bind(kDecorNames[i], UI_TYPE_STATIC));
        if (!m_decor[i]) return 0;
    }
    return 1;
}

UiPoint CUiFramedWindow::CornerSize() const { return m_decor[CORNER_TL] ? m_decor[CORNER_TL]->Size() : UiPoint{}; }

UiPoint CUiFramedWindow::LayOutFrame(float width, float height) {
    const UiPoint c = CornerSize();
    const float right = c.x + width, bottom = c.y + height;
    m_decor[CORNER_TL]->SetPosition(0, 0);
    m_decor[CORNER_TR]->SetPosition(right, 0);
    m_decor[CORNER_BL]->SetPosition(0, bottom);
    m_decor[CORNER_BR]->SetPosition(right, bottom);
    m_decor[EDGE_TOP]->SetPosition(c.x, 0);
    m_decor[EDGE_TOP]->SetSize(width, c.y);
    m_decor[EDGE_BOTTOM]->SetPosition(c.x, bottom);
    m_decor[EDGE_BOTTOM]->SetSize(width, c.y);
    m_decor[EDGE_LEFT]->SetPosition(0, c.y);
    m_decor[EDGE_LEFT]->SetSize(c.x, height);
    m_decor[EDGE_RIGHT]->SetPosition(right, c.y);
    m_decor[EDGE_RIGHT]->SetSize(c.x, height);
    const UiPoint size{std::trunc(2 * c.x + width), std::trunc(2 * c.y + height)};
    SetSize(size.x, size.y);
    return size;
}

void CUiFramedWindow::LayOutTooltip(CZEMDXInput& input) {
    const UiPoint text = m_text->LabelSize();
    const float width = text.x + kTextPadding;
    LayOutFrame(width, text.y);
    const UiPoint c = CornerSize();
    m_text->SetPosition(c.x, c.y);
    m_text->SetSize(width, text.y);
    if (g_pUiManager && g_pUiManager->TooltipShowFlag()) {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        SetPosition(static_cast<float>(cursor.x), static_cast<float>(cursor.y) + 20);
    } else {
        SetPosition(m_shownPosition.x, m_shownPosition.y + m_anchorSize.y);
    }
}

CUiObject* CUiFramedWindow::ProcessInput(float dt, CZEMDXInput& input) {
    m_hoverTime += dt;
    CUiObject* target = g_pUiManager ? g_pUiManager->TooltipTarget() : nullptr;
    if (!target || !m_text) {
        AddFlags(UI_NOT_DRAWN);
        m_shown = nullptr;
        m_hoverTime = 0.0f;
        return nullptr;
    }
    if (target != m_shown) {
        m_hoverTime = 0.0f;
        m_shown = target;
        AddFlags(UI_NOT_DRAWN);
        m_shownPosition = target->GetAbsolutePos();
        m_anchorSize = target->Size();
        return nullptr;
    }
    if (m_hoverTime > kTooltipDelay && HasFlags(UI_NOT_DRAWN)) {
        if (target->Text().empty()) return nullptr;
        m_text->SetText(target->Text());
        ClearFlags(UI_NOT_DRAWN);
    }
    if (!HasFlags(UI_NOT_DRAWN)) LayOutTooltip(input);
    return nullptr;
}
