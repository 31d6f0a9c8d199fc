// The patch window: the skin, the notice page, the status line and two bars
// that follow the patch engine, the start and re-patch buttons and the
// home-page link. It owns the engine, starts its worker once it has been
// painted, and at the end starts the client or hands over to the launcher.
//
// Threads: the worker reports through IPatchView. Status hand-offs wait until
// this window has copied the text, through Fl::awake; the bars and the finish
// are posted without waiting; the worker's end posts one callback that joins
// it and applies the hand-over. Closing releases a waiting hand-off first.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "patcher/DialogBackground.h"
#include "patcher/DialogLayout.h"
#include "patcher/PatchEngine.h"
#include "patcher/PatchView.h"

class CSkinnedStatic;
class CZEMBitmapButton;
class CZEMStaticEx;
class Fl_Help_View;
class Fl_Progress;
class Fl_RGB_Image;

namespace platform {
class PageFetch;
}

class CZEMPatchDlg : public Fl_Double_Window, public IPatchView {
public:
    // How long the notice page may take, and how large it may be.
    static constexpr long kNoticeSeconds = 10;
    static constexpr size_t kNoticeMaxBytes = 1u << 20;

    explicit CZEMPatchDlg(uint16_t languageId);
    ~CZEMPatchDlg() override;

    // The configuration of the game folder (see CPatchEngine); 0: no dialog.
    int LoadPatchConfig(const std::string& commandLine, const std::string& folder);
    // Loads the skin and the notice, lays the controls out, shows the window
    // and starts the worker, which waits for the first paint.
    void OnInitDialog();
    // Runs FLTK until the dialog has ended; the program's exit status.
    int RunModal();
    bool Ended() const { return m_ended; }
    int ExitStatus() const { return m_exitStatus; }

    void NavigateNotice(const std::string& url);
    void OnStart();
    void OnRepatch();
    // The window manager's close (WM_DELETE_WINDOW).
    void OnClose();
    void ShowErrorAndClose();

    // IPatchView, called by the worker.
    void StatusChanged(const std::string& status) override;
    void TotalProgress(uint32_t position, uint32_t range) override;
    void FileProgress(uint32_t position, uint32_t range) override;
    void PatchFinished() override;
    void WorkerEnded() override;

    // What tests look at.
    CPatchEngine& Engine() { return m_engine; }
    const DialogLayout& Layout() const { return m_layout; }
    const CDialogBackground& Background() const { return m_background; }
    CZEMBitmapButton& StartButton() { return *m_start; }
    CZEMBitmapButton& RepatchButton() { return *m_repatch; }
    CZEMStaticEx& HomepageLink() { return *m_link; }
    std::string StatusLabel() const;
    std::string NoticeHtml() const;
    bool NoticeFetching() const { return m_fetch != nullptr; }
    double TotalBarValue() const;
    double TotalBarMaximum() const;

    int handle(int event) override;

protected:
    void draw() override;

private:
    void LoadDialogLayout();
    void ShowNotice(const std::string& page);
    void ApplyHandOver();
    void EndDialog(int exitStatus);
    void ReleaseHandOff();
    void SetPatchingBitmaps();
    void PostProgress();
    // While the patch runs, Start and the close ask first (118); Yes cancels. True when it asked.
    bool AskedToCancel(uint32_t flags);

    static CZEMPatchDlg* Find(void* id);
    void* Id() const { return reinterpret_cast<void*>(m_id); }
    static void StatusAwake(void* id);
    static void ProgressAwake(void* id);
    static void FinishedAwake(void* id);
    static void WorkerEndedAwake(void* id);
    static void PollNotice(void* id);
    static void WindowCallback(Fl_Widget* w, void* data);

    uintptr_t m_id;
    CDialogBackground m_background;
    DialogLayout m_layout;
    std::unique_ptr<Fl_RGB_Image> m_icon;
    std::vector<uint8_t> m_iconPixels;
    Fl_Help_View* m_notice = nullptr;
    CSkinnedStatic* m_status = nullptr;
    Fl_Progress* m_totalBar = nullptr;
    Fl_Progress* m_fileBar = nullptr;
    CZEMBitmapButton* m_start = nullptr;
    CZEMBitmapButton* m_repatch = nullptr;
    CZEMStaticEx* m_link = nullptr;
    std::string m_noticeHtml;
    std::unique_ptr<platform::PageFetch> m_fetch;

    // The status hand-off.
    std::mutex m_handOffMutex;
    std::condition_variable m_handOffCv;
    uint64_t m_statusPosted = 0;
    uint64_t m_statusShown = 0;
    bool m_closing = false;

    std::atomic<uint32_t> m_totalPosition{0}, m_totalRange{0}, m_filePosition{0}, m_fileRange{0};
    std::atomic<bool> m_progressPosted{false};

    bool m_painted = false;
    bool m_ended = false;
    int m_exitStatus = 0;

    // Declared last: its worker calls back into everything above, and the
    // destructor ends it before any of it goes.
    CPatchEngine m_engine;
};
