// The loading screen's window ("LOADING.DUI"): the press-a-key text, the game
// tip, the overall gauge, the chat (edit, list, help, mode label) and twelve
// player rows of name, percent text, gauge shell and gauge. Enter in the chat
// edit and Tab raise requests that the loading screen takes every frame.
#pragma once

#include <array>

#include "ui/UiWindow.h"

class CUiEditBox;
class CUiGauge;
class CUiListBox;
class CUiStatic;

class CLoadingWindow : public CUiWindow {
public:
    static constexpr int kRows = 12;
    struct Row {
        CUiStatic* name = nullptr;
        CUiStatic* text = nullptr;
        CUiStatic* shell = nullptr;
        CUiGauge* gauge = nullptr;
    };

    int OnLayoutLoaded() override;
    // Enter in the chat edit sends the line; Tab switches the chat mode.
    void OnEnter(CUiObject* control) override;
    void OnTab(CUiObject* control) override;

    // 1 when the request was raised since the last call.
    int TakeChatRequest();
    int TakeModeRequest();

    CUiStatic* loadText = nullptr;
    CUiStatic* tip = nullptr;
    CUiGauge* progress = nullptr;
    CUiEditBox* chatEdit = nullptr;
    CUiListBox* chatList = nullptr;
    CUiStatic* help = nullptr;
    CUiStatic* messageTo = nullptr;
    CUiStatic* chatTitle = nullptr;
    std::array<Row, kRows> rows{};

private:
    bool m_chatRequest = false;
    bool m_modeRequest = false;
};
