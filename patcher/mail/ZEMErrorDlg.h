// The crash-report window "QOR Send Message": the apology, this machine's
// system report, a field for the player's e-mail address, and Send and
// Cancel over CCrashReport. A successful send, Cancel and the window's close
// end it; after a failed send it stays, and the dump is kept.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <string>

#include "patcher/mail/CrashReport.h"

class Fl_Box;
class Fl_Button;
class Fl_Input;
class Fl_Text_Buffer;
class Fl_Text_Display;

class CZEMErrorDlg : public Fl_Double_Window {
public:
    explicit CZEMErrorDlg(uint16_t languageId);
    ~CZEMErrorDlg() override;

    // The dump's name from the command line and the folder it lies in.
    void SetDumpName(const std::string& name, const std::string& folder);
    // The program's command line, as the mail tells it.
    void SetCommandLine(const std::string& commandLine) { m_commandLine = commandLine; }
    // Where the mail goes (tests reach their own servers).
    void SetSettings(const CCrashReport::Settings& settings) { m_settings = settings; }
    const CCrashReport::Settings& Settings() const { return m_settings; }

    // Builds the system report into the report field and shows the window.
    void OnInitDialog();
    void OnSend();
    void OnCancel();
    int RunModal();
    bool Ended() const { return m_ended; }

    // What tests look at: the report (code page 949) and the controls.
    const std::string& ReportText() const { return m_reportText; }
    Fl_Input& EmailInput() { return *m_email; }
    Fl_Button& SendButton() { return *m_send; }
    Fl_Button& CancelButton() { return *m_cancel; }

private:
    static void WindowCallback(Fl_Widget* w, void* data);
    void EndDialog();

    uint16_t m_languageId;
    CCrashReport m_report;
    CCrashReport::Settings m_settings;
    std::string m_commandLine;
    std::string m_reportText;
    Fl_Text_Buffer* m_buffer;
    Fl_Text_Display* m_reportView = nullptr;
    Fl_Input* m_email = nullptr;
    Fl_Button* m_send = nullptr;
    Fl_Button* m_cancel = nullptr;
    bool m_ended = false;
};
