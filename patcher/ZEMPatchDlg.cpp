#include "patcher/ZEMPatchDlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <map>

#include "patcher/PatchBitmaps.h"
#include "patcher/PatchStrings.h"
#include "patcher/SkinnedStatic.h"
#include "patcher/ZEMBitmapButton.h"
#include "patcher/ZEMStaticEx.h"
#include "platform/CodePage.h"
#include "platform/Dialog.h"
#include "platform/File.h"
#include "platform/PageFetch.h"
#include "platform/Process.h"

namespace {

constexpr const char* kCaption = "Morvane";
constexpr const char* kBoxCaption = "Patch Message";
constexpr const char* kNoticeHeader = "Content-Type: application/x-www-form-urlencoded";
constexpr double kNoticePollSeconds = 0.02;

// Awake callbacks and timers carry a dialog's number, never its address: one
// that arrives after its dialog has gone finds nothing and does nothing.
std::map<uintptr_t, CZEMPatchDlg*>& Dialogs() {
    static std::map<uintptr_t, CZEMPatchDlg*> dialogs;
    return dialogs;
}
uintptr_t g_nextId = 1;

// Links of the notice open in the desktop's browser; the page never leads the
// view itself elsewhere, and never to a local file.
const char* NoticeLink(Fl_Widget*, const char* uri) {
    if (!uri) return nullptr;
    std::string link(uri);
    if (link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0 || link.rfind("mailto:", 0) == 0)
        platform::Spawn("xdg-open", {link});
    return nullptr;
}

void Place(Fl_Widget* widget, const LayoutRect& r) { widget->resize(r.x, r.y, r.w, r.h); }

}  // namespace

CZEMPatchDlg::CZEMPatchDlg(uint16_t languageId)
    : Fl_Double_Window(CDialogBackground::kDefaultWidth, CDialogBackground::kDefaultHeight, kCaption),
      m_id(g_nextId++),
      m_engine(languageId, *this) {
    Dialogs()[m_id] = this;
    callback(&CZEMPatchDlg::WindowCallback, this);
    color(FL_BLACK);
    begin();
    m_notice = new Fl_Help_View(0, 0, 0, 0);
    m_notice->link(&NoticeLink);
    m_status = new CSkinnedStatic(0, 0, 0, 0, &m_background);
    m_totalBar = new Fl_Progress(0, 0, 0, 0);
    m_fileBar = new Fl_Progress(0, 0, 0, 0);
    for (Fl_Progress* bar : {m_totalBar, m_fileBar}) {
        bar->minimum(0);
        bar->maximum(1);
        bar->value(0);
        bar->selection_color(fl_rgb_color(0x30, 0x70, 0xE0));
    }
    m_start = new CZEMBitmapButton(0, 0, 0, 0, &m_background);
    m_start->callback([](Fl_Widget*, void* self) { static_cast<CZEMPatchDlg*>(self)->OnStart(); }, this);
    m_repatch = new CZEMBitmapButton(0, 0, 0, 0, &m_background);
    m_repatch->callback([](Fl_Widget*, void* self) { static_cast<CZEMPatchDlg*>(self)->OnRepatch(); }, this);
    m_link = new CZEMStaticEx(0, 0, 0, 0, &m_background);
    end();
}

CZEMPatchDlg::~CZEMPatchDlg() {
    Dialogs().erase(m_id);
    Fl::remove_timeout(&CZEMPatchDlg::PollNotice, Id());
    ReleaseHandOff();
    m_engine.Cancel();
    m_engine.WaitWorker();
}

CZEMPatchDlg* CZEMPatchDlg::Find(void* id) {
    auto it = Dialogs().find(reinterpret_cast<uintptr_t>(id));
    return it == Dialogs().end() ? nullptr : it->second;
}

int CZEMPatchDlg::LoadPatchConfig(const std::string& commandLine, const std::string& folder) {
    if (!m_engine.LoadPatchConfig(commandLine, folder)) return 0;
    m_link->SetUrl(m_engine.Config().homepageUrl);
    return 1;
}

void CZEMPatchDlg::OnInitDialog() {
    PatchBitmap iconBitmap;
    if (LoadPatchBitmap(kWindowIcon, &iconBitmap)) {
        m_iconPixels = iconBitmap.rgb;
        m_icon = std::make_unique<Fl_RGB_Image>(m_iconPixels.data(), iconBitmap.width, iconBitmap.height, 3);
        icon(m_icon.get());
    }
    const std::string& folder = m_engine.Config().folder;
    NavigateNotice(folder + m_engine.LoadLocalString(103));
    NavigateNotice(m_engine.Config().noticeUrl);
    m_background.Load(platform::HostPath(folder + "/PATCHLOGO.BMP"));
    LoadDialogLayout();
    m_status->SetText(m_engine.LoadLocalString(105));
    m_engine.StartWorker();
    show();
}

int CZEMPatchDlg::RunModal() {
    while (!m_ended) Fl::wait(0.5);
    return m_exitStatus;
}

void CZEMPatchDlg::SetPatchingBitmaps() {
    m_start->SetBitmaps(kBitmapStartHover, kKeyMagenta, kBitmapStart, kKeyMagenta);
    m_repatch->SetBitmaps(kBitmapRepatchOff, kKeyMagenta);
    m_repatch->deactivate();
}

void CZEMPatchDlg::LoadDialogLayout() {
    SetPatchingBitmaps();
    PatchBitmap start, repatch;
    LoadPatchBitmap(kBitmapStart, &start);
    LoadPatchBitmap(kBitmapRepatch, &repatch);
    m_layout = ComputeDialogLayout([this](const char* key) { return m_engine.ReadIniString("VAZE.INI", "PATCH", key); },
                                   m_background.Width(), m_background.Height(), start.width, start.height,
                                   repatch.width, repatch.height);
    Place(m_notice, m_layout.web);
    Place(m_status, m_layout.fileStatic);
    Place(m_totalBar, m_layout.totalProgress);
    Place(m_fileBar, m_layout.fileProgress);
    Place(m_start, m_layout.startButton);
    Place(m_repatch, m_layout.repatchButton);
    Place(m_link, m_layout.homepageStatic);
    // Children keep their places when the window takes its size.
    Fl_Group::resizable(nullptr);
    Fl_Double_Window::resize(m_layout.window.x, m_layout.window.y, m_layout.window.w, m_layout.window.h);
    redraw();
}

// ---------------------------------------------------------------- notice

void CZEMPatchDlg::NavigateNotice(const std::string& url) {
    if (url.empty()) return;
    if (url.find("://") == std::string::npos) {
        std::vector<uint8_t> bytes;
        if (platform::ReadWholeFile(url, bytes) && bytes.size() <= kNoticeMaxBytes)
            ShowNotice(std::string(bytes.begin(), bytes.end()));
        return;
    }
    Fl::remove_timeout(&CZEMPatchDlg::PollNotice, Id());
    m_fetch = std::make_unique<platform::PageFetch>();
    if (!m_fetch->Start(url, {kNoticeHeader}, kNoticeSeconds, kNoticeMaxBytes)) {
        m_fetch.reset();
        return;
    }
    Fl::add_timeout(kNoticePollSeconds, &CZEMPatchDlg::PollNotice, Id());
}

void CZEMPatchDlg::PollNotice(void* id) {
    CZEMPatchDlg* dlg = Find(id);
    if (!dlg || !dlg->m_fetch) return;
    if (!dlg->m_fetch->Poll()) {
        Fl::repeat_timeout(kNoticePollSeconds, &CZEMPatchDlg::PollNotice, id);
        return;
    }
    // A failed fetch keeps the local page.
    if (dlg->m_fetch->Succeeded()) dlg->ShowNotice(dlg->m_fetch->Body());
    dlg->m_fetch.reset();
}

void CZEMPatchDlg::ShowNotice(const std::string& page) {
    m_noticeHtml = platform::IsValidUtf8(page) ? page : platform::Cp949ToUtf8(page);
    m_notice->value(m_noticeHtml.c_str());
}

std::string CZEMPatchDlg::NoticeHtml() const { return m_noticeHtml; }

// ---------------------------------------------------------------- drawing and events

void CZEMPatchDlg::draw() {
    if (!m_painted) {
        m_painted = true;
        m_engine.SetReady();
    }
    if (damage() & ~FL_DAMAGE_CHILD) {
        fl_rectf(0, 0, w(), h(), color());
        m_background.Draw(0, 0, std::min(w(), m_background.Width()), std::min(h(), m_background.Height()));
    }
    draw_children();
}

int CZEMPatchDlg::handle(int event) {
    if (event == FL_MOVE || event == FL_ENTER) fl_cursor(FL_CURSOR_DEFAULT);
    return Fl_Double_Window::handle(event);
}

void CZEMPatchDlg::WindowCallback(Fl_Widget*, void* data) {
    // FLTK calls this for Escape too; only the window manager's close counts.
    if (Fl::event() == FL_CLOSE) static_cast<CZEMPatchDlg*>(data)->OnClose();
}

std::string CZEMPatchDlg::StatusLabel() const { return m_status->Text(); }
double CZEMPatchDlg::TotalBarValue() const { return m_totalBar->value(); }
double CZEMPatchDlg::TotalBarMaximum() const { return m_totalBar->maximum(); }

// ---------------------------------------------------------------- the player's actions

bool CZEMPatchDlg::AskedToCancel(uint32_t flags) {
    if (flags & PATCH_FLAG_FINISHED) return false;
    if (platform::DialogAsk(kBoxCaption, m_engine.LoadLocalString(118))) m_engine.Cancel();
    return true;
}

void CZEMPatchDlg::OnClose() {
    if (m_ended) return;
    uint32_t flags = m_engine.Flags();
    if (AskedToCancel(flags)) return;
    m_engine.Cancel();
    // A finished patch whose worker has ended closes at once, starting nothing;
    // otherwise the hand-over closes it when the worker ends.
    if (flags & PATCH_FLAG_WORKER_DONE) {
        m_engine.WaitWorker();
        EndDialog(0);
    }
}

void CZEMPatchDlg::OnStart() {
    if (m_ended) return;
    uint32_t flags = m_engine.Flags();
    if (AskedToCancel(flags) || !(flags & PATCH_FLAG_WORKER_DONE)) return;
    m_engine.WaitWorker();
    if (!platform::Spawn(platform::HostPath(m_engine.Config().folder + "/QOR.run"), {"go"}))
        platform::DialogMessage(kBoxCaption, m_engine.LoadLocalString(107));
    EndDialog(0);
}

void CZEMPatchDlg::OnRepatch() {
    if (m_ended) return;
    uint32_t flags = m_engine.Flags();
    // Only after a finished run whose worker has been ended by the hand-over.
    if (!(flags & PATCH_FLAG_FINISHED) || !(flags & PATCH_FLAG_WORKER_DONE) || m_engine.WorkerRunning()) return;
    m_totalBar->maximum(1);
    m_totalBar->value(0);
    m_fileBar->maximum(1);
    m_fileBar->value(0);
    SetPatchingBitmaps();
    m_engine.Repatch();
}

void CZEMPatchDlg::ShowErrorAndClose() {
    std::string error = m_engine.ErrorText();
    if (!error.empty()) platform::DialogMessage(kBoxCaption, error);
    ReleaseHandOff();
    m_engine.WaitWorker();
    EndDialog(m_exitStatus);
}

void CZEMPatchDlg::EndDialog(int exitStatus) {
    m_ended = true;
    m_exitStatus = exitStatus;
    hide();
}

// ---------------------------------------------------------------- the worker's reports

void CZEMPatchDlg::ReleaseHandOff() {
    std::lock_guard<std::mutex> lock(m_handOffMutex);
    m_closing = true;
    m_handOffCv.notify_all();
}

void CZEMPatchDlg::StatusChanged(const std::string&) {
    std::unique_lock<std::mutex> lock(m_handOffMutex);
    if (m_closing) return;
    uint64_t ticket = ++m_statusPosted;
    if (Fl::awake(&CZEMPatchDlg::StatusAwake, Id()) != 0) return;
    m_handOffCv.wait(lock, [&] { return m_closing || m_statusShown >= ticket; });
}

void CZEMPatchDlg::StatusAwake(void* id) {
    CZEMPatchDlg* dlg = Find(id);
    if (!dlg) return;
    dlg->m_status->SetText(dlg->m_engine.StatusText());
    std::lock_guard<std::mutex> lock(dlg->m_handOffMutex);
    dlg->m_statusShown = dlg->m_statusPosted;
    dlg->m_handOffCv.notify_all();
}

void CZEMPatchDlg::TotalProgress(uint32_t position, uint32_t range) {
    m_totalPosition = position;
    m_totalRange = range;
    PostProgress();
}

void CZEMPatchDlg::FileProgress(uint32_t position, uint32_t range) {
    m_filePosition = position;
    m_fileRange = range;
    PostProgress();
}

void CZEMPatchDlg::PostProgress() {
    // One callback at a time carries the latest values of both bars.
    if (!m_progressPosted.exchange(true) && Fl::awake(&CZEMPatchDlg::ProgressAwake, Id()) != 0)
        m_progressPosted = false;
}

void CZEMPatchDlg::ProgressAwake(void* id) {
    CZEMPatchDlg* dlg = Find(id);
    if (!dlg) return;
    dlg->m_progressPosted = false;
    auto apply = [](Fl_Progress* bar, uint32_t position, uint32_t range) {
        // A range of 0 shows an empty bar.
        bar->maximum(range ? static_cast<float>(range) : 1.0f);
        bar->value(range ? static_cast<float>(std::min(position, range)) : 0.0f);
    };
    apply(dlg->m_totalBar, dlg->m_totalPosition, dlg->m_totalRange);
    apply(dlg->m_fileBar, dlg->m_filePosition, dlg->m_fileRange);
}

void CZEMPatchDlg::PatchFinished() { Fl::awake(&CZEMPatchDlg::FinishedAwake, Id()); }

void CZEMPatchDlg::FinishedAwake(void* id) {
    CZEMPatchDlg* dlg = Find(id);
    if (!dlg) return;
    dlg->m_start->SetBitmaps(kBitmapStartDoneHover, kKeyWhite, kBitmapStartDone, kKeyWhite);
    dlg->m_repatch->SetBitmaps(kBitmapRepatchHover, kKeyMagenta, kBitmapRepatch, kKeyMagenta);
}

void CZEMPatchDlg::WorkerEnded() { Fl::awake(&CZEMPatchDlg::WorkerEndedAwake, Id()); }

void CZEMPatchDlg::WorkerEndedAwake(void* id) {
    if (CZEMPatchDlg* dlg = Find(id)) dlg->ApplyHandOver();
}

void CZEMPatchDlg::ApplyHandOver() {
    // One hand-over per worker: the first callback joins it, any later one finds none.
    if (m_ended || !m_engine.WorkerRunning() || !(m_engine.Flags() & PATCH_FLAG_WORKER_DONE)) return;
    PatchHandOverChoice choice = m_engine.HandOver();
    if (!choice.close) {
        // A finished run stays for the player; re-patch is offered now.
        if (m_engine.Flags() & PATCH_FLAG_FINISHED) m_repatch->activate();
        return;
    }
    // A key-file update hands over to the launcher: that is no failure.
    m_exitStatus = choice.launcherArgument && m_engine.ErrorText().empty() ? 0 : 1;
    ShowErrorAndClose();
}
