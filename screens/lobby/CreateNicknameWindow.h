// The window in which a new nickname is typed ("CREATE_NICKNAME.DUI").
#pragma once

#include "ui/UiWindow.h"

class CScreen;
class CUiButton;
class CUiEditBox;
class CUiStatic;

class CCreateNicknameWindow : public CUiWindow {
public:
    // The nickname field holds 16 bytes and its NUL.
    static constexpr int kByteLimit = 16;

    explicit CCreateNicknameWindow(CScreen* owner) : m_owner(owner) {}

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;

    // Takes the focus away, hides the window, empties the box; the owner goes back to choosing.
    void Close();
    int TakeCreate() {
        const int was = m_create;
        m_create = 0;
        return was;
    }
    CUiEditBox* Edit() const { return m_edit; }

private:
    CUiButton* m_ok = nullptr;
    CUiButton* m_cancel = nullptr;
    int m_create = 0;
    CUiEditBox* m_edit = nullptr;
    CUiStatic* m_info = nullptr;
    CScreen* m_owner;
};
