// The options window as the lobby shows it: in front of a backdrop that
// covers the lobby, closed by its own close button or by Escape. The options
// are saved whenever it closes.
#pragma once

class COptionsWindow;
class CResource;
class CUiWindow;

class CLobbyOptions {
public:
    static constexpr const char* kBackdropLayout = "LOBBY_OPTION_BACK.DUI";

    CLobbyOptions() = default;
    ~CLobbyOptions();
    CLobbyOptions(const CLobbyOptions&) = delete;
    CLobbyOptions& operator=(const CLobbyOptions&) = delete;

    // Both windows, hidden, the options centred; 0 when a layout is missing.
    int Load();
    void Open();
    // While the window is up: Escape closes it. 1 while it is shown, so that
    // the lobby's other rules wait.
    int Update(bool escape);
    bool Shown() const;

    COptionsWindow* Window() const { return m_window; }
    CUiWindow* Backdrop() const { return m_backdrop; }

private:
    void Close();

    COptionsWindow* m_window = nullptr;
    CResource* m_windowLayout = nullptr;
    CUiWindow* m_backdrop = nullptr;
    CResource* m_backdropLayout = nullptr;
};
