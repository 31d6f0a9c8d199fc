// What the crash-report dialog does behind its buttons, without the window:
// Send builds the mail (the system report, the command line and the e-mail
// typed, and the dump), delivers it to the exchangers of the crash-report
// domain and then deletes the dump; Cancel deletes the dump.
//
// A dump is deleted only when it is surely the dump the client handed over:
// a plain name (no folder part, no "..") containing ".dmp", in the folder
// recorded with the name, holding a dump that ReadCrashDump accepts. Any other
// file named on the command line may be attached, but is kept.
#pragma once

#include <cstdint>
#include <string>

class CMimeMultipartMessage;

class CCrashReport {
public:
    // The outcomes of Send, numbered as the string-table texts that tell them.
    enum SendResult : int {
        SEND_OK = 123,
        SEND_FAILED = 124,
        SEND_NO_EXCHANGER = 125,
    };

    struct Settings {
        // The fixed sender of crash reports.
        std::string sender;
        // The domain whose exchangers take the reports; empty: the domain of
        // the first recipient of [INFO] MAIL.
        std::string mailDomain;
        int connectTimeoutMs = 10000;
        // Tests reach their servers on other ports, and wait less for silent ones.
        uint16_t smtpPort = 25;
        int replyTimeoutMs = 30000;
    };

    // The dump's name from the command line, and the folder it lies in (the
    // working folder when the patcher started).
    void SetDumpName(const std::string& name, const std::string& folder);
    const std::string& DumpName() const { return m_dumpName; }
    std::string DumpPath() const;

    // Report, the 42-slash line, the command line, CRLF and the e-mail text,
    // from code page 949 to UTF-8.
    static std::string BodyText(const std::string& report, const std::string& commandLine, const std::string& email);

    // The mail: the sender, the recipients of [INFO] MAIL in VAZE.INI of the
    // folder, the body as its text part, and the dump when its name contains
    // ".dmp" and it opens.
    void BuildMessage(CMimeMultipartMessage* message, const std::string& body, const Settings& settings) const;

    // Builds and delivers the mail; on success deletes the dump. The texts are code page 949.
    SendResult Send(const std::string& report, const std::string& commandLine, const std::string& email,
                    const Settings& settings);
    // Deletes the dump (by the rule above).
    void Cancel();
    // Whether the rule above lets the dump be deleted.
    bool DumpDeletable() const;

    // Why the last send failed, for the log.
    const std::string& LastError() const { return m_lastError; }

private:
    void DeleteDump();

    std::string m_dumpName;
    std::string m_folder;
    std::string m_lastError;
};
