// The login screen's window ("LOGIN.DUI"): user id and password boxes, and
// the buttons login, exit, home page, sign-up and replay. It checks the typed
// lengths, opens the home page and the sign-up page in the web browser and
// raises requests that the login screen takes every frame.
#pragma once

#include <string>

#include "ui/UiWindow.h"

class CScreen;
class CUiButton;
class CUiEditBox;

class CLoginWindow : public CUiWindow {
public:
    enum Request { REQUEST_LOGIN, REQUEST_EXIT, REQUEST_UNUSED1, REQUEST_UNUSED2, REQUEST_REPLAY, REQUEST_COUNT };
    // The id field holds 50 bytes and its NUL; the password field 20 and its NUL.
    static constexpr int kIdByteLimit = 50;
    static constexpr int kPasswordByteLimit = 20;
    static constexpr size_t kMinLength = 4;

    explicit CLoginWindow(CScreen* owner);

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;

    // 1 when the request was raised; every request is then cleared.
    int TakeRequest(int index);
    void TryLogin();

    CUiEditBox* IdEdit() const { return m_id; }
    CUiEditBox* PasswordEdit() const { return m_password; }
    std::string IdText() const;
    std::string PasswordText() const;
    bool EditHasFocus() const;

private:
    bool OwnerInteractive() const;
    static void OpenAddress(const std::string& address);

    CUiButton* m_login = nullptr;
    CUiButton* m_exit = nullptr;
    CUiButton* m_homepage = nullptr;
    CUiButton* m_join = nullptr;
    CUiButton* m_replay = nullptr;
    int m_requests[REQUEST_COUNT] = {};
    CUiEditBox* m_id = nullptr;
    CUiEditBox* m_password = nullptr;
    CScreen* m_owner;
};
