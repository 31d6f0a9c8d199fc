// The window that asks for a locked room's password ("ROOMINPASS.DUI"). The
// lobby polls its accept latch and sends the join with the typed password.
#pragma once

#include "ui/UiWindow.h"

class CUiButton;
class CUiEditBox;
class CUiStatic;

class CRoomPasswordWindow : public CUiWindow {
public:
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;

    // Shown in front with the focus on the empty edit.
    void Open();
    // The edit emptied and the window hidden.
    void Close();
    // The edit emptied and focused again, for another try.
    void Retry();
    int TakeAccept() {
        const int was = m_accept;
        m_accept = 0;
        return was;
    }
    CUiEditBox* Edit() const { return m_edit; }

private:
    int m_accept = 0;
    CUiButton* m_acceptButton = nullptr;
    CUiButton* m_cancel = nullptr;
    CUiEditBox* m_edit = nullptr;
    CUiStatic* m_message = nullptr;
};
