// The replay list of the login screen ("REPLAY_LIST.DUI"): the replay files
// of the user's replay folder, with start and exit buttons.
#pragma once

#include <string>

#include "ui/UiWindow.h"

class CUiButton;
class CUiListBox;

class CReplayListWindow : public CUiWindow {
public:
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;

    // Text of the selected row, or null.
    const char* GetSelectedName() const;
    // 1 when the request was raised; it is then cleared.
    int TakeStart() { return Take(m_start); }
    int TakeExit() { return Take(m_exit); }
    CUiListBox* List() const { return m_list; }

private:
    static int Take(int& flag) {
        const int was = flag;
        flag = 0;
        return was;
    }

    CUiListBox* m_list = nullptr;
    CUiButton* m_startButton = nullptr;
    CUiButton* m_exitButton = nullptr;
    int m_start = 0;
    int m_exit = 0;
};

// Refills the list with the replay files (".SRD", any case) of the folder in
// the order the folder lists them; game files and names under 5 bytes are left out.
void ScanReplayFiles(CReplayListWindow& window, const std::string& folder);
