#include "ui/UiPopupMenu.h"

#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiManager.h"

CUiPopupMenu::CUiPopupMenu(CUiWindow* owner) : m_owner(owner) {}

// The list is a member: the window's clean-up knows it as pre-bound and leaves it.
CUiPopupMenu::~CUiPopupMenu() = default;

void CUiPopupMenu::Create(const std::string& name) {
    CUiWindow::Create(nullptr, name, 0, 0, 100, 30, 0);
    m_menuWidth = 100;
    AddFlags(UI_HIDDEN);
    m_list.CreateEx(this, "ID_LIST_POPUP_MENU", 5, 5, 90, 20, 1, 1);
    m_list.SetFont(0);
    m_list.SetScrollBarWidth(0);
    m_list.SetRows(1, 1);
    m_list.ScrollBar().AddFlags(UI_HIDDEN);
    AddPreBound(&m_list);
    AddChild(&m_list);
    if (g_pUiManager) g_pUiManager->AddLowerWindow(this);
}

void CUiPopupMenu::AddItem(const std::string& text, const UiColor& colour) {
    m_list.AddItem(text, colour);
    if (IUiFont* font = m_list.Font()) {
        int32_t w = 0, h = 0;
        font->Measure(text, &w, &h);
        if (m_menuWidth < static_cast<float>(w)) m_menuWidth = static_cast<float>(w) + kTextPadding;
    }
    const float height = static_cast<float>(m_list.ItemCount()) * kRowHeight;
    SetSize(m_menuWidth, height);
    m_list.SetSize(m_menuWidth - 10, height - 10);
    m_list.SetRows(1, m_list.ItemCount());
}

CUiObject* CUiPopupMenu::ProcessInput(float dt, CZEMDXInput& input) {
    UiPoint at = m_position;
    if (m_parent) {
        const UiPoint base = m_parent->GetAbsolutePos();
        at = {base.x + at.x, base.y + at.y};
    }
    const float screenW = static_cast<float>(CUiManager::kScreenWidth);
    const float screenH = static_cast<float>(CUiManager::kScreenHeight);
    if (at.x + m_size.x > screenW) at.x -= at.x + m_size.x - screenW;
    if (at.y + m_size.y > screenH) at.y -= at.y + m_size.y - screenH;
    SetPosition(std::trunc(at.x), std::trunc(at.y));
    return CUiWindow::ProcessInput(dt, input);
}

void CUiPopupMenu::OnLButtonClick(CUiObject* control) {
    if (control == &m_list) m_selected = m_list.Selected();
}
