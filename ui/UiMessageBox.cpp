#include "ui/UiMessageBox.h"

#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiManager.h"

CUiMessageBox::CUiMessageBox() = default;

CUiMessageBox::~CUiMessageBox() = default;

int CUiMessageBox::OnLayoutLoaded() {
    if (!CUiFramedWindow::OnLayoutLoaded()) return 0;
    m_ok = static_cast<CUiButton*>(Bind("ID_BTN_OK", UI_TYPE_BUTTON));
    if (!m_ok) return 0;
    m_cancel = static_cast<CUiButton*>(Bind("ID_BTN_CANCEL", UI_TYPE_BUTTON));
    if (!m_cancel) return 0;
    m_background = static_cast<CUiStatic*>(Bind("ID_STT_BG_DECOR", UI_TYPE_STATIC));
    if (!m_background) return 0;
    AddFlags(UI_HIDDEN);
    return 1;
}

void CUiMessageBox::Show(const std::string& text, int mode) {
    m_mode = mode;
    if (!m_text || !m_ok || !m_cancel || !m_background) return;
    m_text->SetText(text);
    const UiPoint measured = m_text->LabelSize();
    const float okWidth = m_ok->Size().x;
    const bool shortText = mode != MODE_NONE && 3 * okWidth > measured.x;
    float width = measured.x;
    m_text->ClearFlags(CUiStatic::kFlagCentreText | CUiStatic::kFlagRightText);
    if (shortText) {
        m_text->AddFlags(CUiStatic::kFlagCentreText);
        width = std::trunc(2.5f * okWidth);
    } else {
        m_text->AddFlags(CUiStatic::kFlagRightText);
    }
    const float frameHeight = measured.y + m_ok->Size().y;
    LayOutFrame(width, frameHeight);
    const UiPoint c = CornerSize();
    m_text->SetPosition(c.x, c.y);
    m_text->SetSize(width, measured.y - kTextHeightTrim);
    m_background->SetPosition(c.x, c.y);
    m_background->SetSize(width, frameHeight);

    m_rowOffset = std::trunc(c.y + measured.y - kTextHeightTrim + kButtonGap);
    m_ok->AddFlags(UI_HIDDEN);
    m_cancel->AddFlags(UI_HIDDEN);
    auto place = [&](CUiButton* button, float share) {
        button->ClearFlags(UI_HIDDEN);
        button->SetPosition(c.x + (width - button->Size().x) * share, m_rowOffset);
    };
    if (mode == MODE_OK) {
        place(m_ok, 0.5f);
    } else if (mode == MODE_OK_CANCEL) {
        place(m_ok, shortText ? 0.0f : 0.2f);
        place(m_cancel, shortText ? 1.0f : 0.8f);
    }
    SetPosition((m_screen.x - m_size.x) * 0.5f, (m_screen.y - m_size.y) * 0.5f);
}

std::string CUiMessageBox::Text() const { return TextStatic() ? TextStatic()->GetText() : std::string(); }

void CUiMessageBox::SetDimAlpha(float alpha) {
    if (g_pUiManager && g_pUiManager->MessageBox() == this && !HasFlags(UI_HIDDEN)) g_pUiManager->ShowMessageBox(alpha);
}

void CUiMessageBox::HideBox() {
    if (g_pUiManager && g_pUiManager->MessageBox() == this)
        g_pUiManager->HideMessageBox();
    else
        AddFlags(UI_HIDDEN);
}

void CUiMessageBox::OnLButtonClick(CUiObject* control) {
    if (control && control == m_ok)
        m_clicked = RESULT_OK;
    else if (control && control == m_cancel)
        m_clicked = RESULT_CANCEL;
}

void CUiMessageBox::OnEnter(CUiObject*) {
    if (m_mode == MODE_OK) m_enterMark = 1;
}

CUiObject* CUiMessageBox::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_clicked = RESULT_NONE;
    CUiWindow::ProcessInput(dt, input);
    // The box is modal: Enter counts wherever the pointer is.
    const bool alt = input.KeyDown(platform::DIK_LMENU) || input.KeyDown(platform::DIK_RMENU);
    if ((!alt && input.KeyPressed(platform::DIK_RETURN)) || input.KeyPressed(platform::DIK_NUMPADENTER)) OnEnter(this);
    if (m_clicked != RESULT_NONE) {
        m_result = m_clicked;
    } else if (m_enterMark) {
        m_result = RESULT_OK;
        m_enterMark = 0;
    } else {
        m_result = RESULT_NONE;
    }
    return this;
}
