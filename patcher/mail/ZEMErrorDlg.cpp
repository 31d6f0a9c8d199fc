#include "patcher/mail/ZEMErrorDlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include "patcher/PatchStrings.h"
#include "patcher/mail/ZEMSystemInfo.h"
#include "platform/Dialog.h"

namespace {

constexpr const char* kCaption = "QOR Send Message";

// The window's own texts in its two languages, UTF-8 as FLTK takes them.
struct DialogTexts {
    const char* apology;
    const char* helps;
    const char* ask;
    const char* send;
    const char* cancel;
};
constexpr DialogTexts kEnglish{"Unexpected Error generate.", "This error information can help to modify QOR.",
                               "Send the information?", "Send", "Cancel"};
constexpr DialogTexts kKorean{"예상치 못한 오류가 발생하였습니다.", "위와 같은 정보는 게임수정에 도움이 됩니다.",
                              "정보를 보내시겠습니까?", "보내기", "취소"};

Fl_Box* Label(int x, int y, int w, int h, const char* text) {
    auto* box = new Fl_Box(x, y, w, h, text);
    box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    return box;
}

}  // namespace

CZEMErrorDlg::CZEMErrorDlg(uint16_t languageId)
    : Fl_Double_Window(440, 380, kCaption), m_languageId(languageId), m_buffer(new Fl_Text_Buffer()) {
    const DialogTexts& t = languageId == kLanguageKorean ? kKorean : kEnglish;
    m_settings.sender = kCrashReportSender;
    m_settings.mailDomain = LoadPatchString(languageId, 122);
    callback(&CZEMErrorDlg::WindowCallback, this);
    begin();
    Label(12, 10, 416, 22, t.apology);
    m_reportView = new Fl_Text_Display(12, 36, 416, 190);
    m_reportView->buffer(m_buffer);
    m_reportView->textsize(12);
    Label(12, 232, 416, 22, t.helps);
    Label(12, 254, 416, 22, t.ask);
    Label(12, 286, 60, 26, "E-Mail");
    m_email = new Fl_Input(76, 286, 352, 26);
    m_send = new Fl_Button(232, 336, 94, 30, t.send);
    m_send->callback([](Fl_Widget*, void* self) { static_cast<CZEMErrorDlg*>(self)->OnSend(); }, this);
    m_cancel = new Fl_Button(334, 336, 94, 30, t.cancel);
    m_cancel->callback([](Fl_Widget*, void* self) { static_cast<CZEMErrorDlg*>(self)->OnCancel(); }, this);
    // Enter presses nothing: neither button takes the keyboard.
    m_send->visible_focus(0);
    m_cancel->visible_focus(0);
    end();
}

CZEMErrorDlg::~CZEMErrorDlg() {
    // The display does not own its buffer.
    m_reportView->buffer(nullptr);
    delete m_buffer;
}

void CZEMErrorDlg::SetDumpName(const std::string& name, const std::string& folder) {
    m_report.SetDumpName(name, folder);
}

void CZEMErrorDlg::OnInitDialog() {
    CZEMSystemInfo info;
    info.Build();
    m_reportText = info.ReportText();
    // The view shows lines; the mail keeps the report's CRLF.
    std::string shown;
    for (char c : platform::DialogText(m_reportText))
        if (c != '\r') shown.push_back(c);
    m_buffer->text(shown.c_str());
    show();
}

void CZEMErrorDlg::OnSend() {
    if (m_ended) return;
    std::string email = platform::FromDialogText(m_email->value());
    CCrashReport::SendResult result = m_report.Send(m_reportText, m_commandLine, email, m_settings);
    platform::DialogMessage(kCaption, LoadPatchString(m_languageId, result));
    if (result == CCrashReport::SEND_OK) EndDialog();
}

void CZEMErrorDlg::OnCancel() {
    if (m_ended) return;
    m_report.Cancel();
    EndDialog();
}

void CZEMErrorDlg::EndDialog() {
    m_ended = true;
    hide();
}

int CZEMErrorDlg::RunModal() {
    while (!m_ended) Fl::wait(0.5);
    return 0;
}

void CZEMErrorDlg::WindowCallback(Fl_Widget*, void* data) {
    // FLTK calls this for Escape too; only the window's close cancels.
    if (Fl::event() == FL_CLOSE) static_cast<CZEMErrorDlg*>(data)->OnCancel();
}
