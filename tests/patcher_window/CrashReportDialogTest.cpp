// The crash-report window under Xvfb with a dump from a child that really
// crashed: the e-mail typed with real keys, Send through dnsmasq and aiosmtpd,
// a failed send that keeps the dump and the window, and Cancel.
#include <gtest/gtest.h>

#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <signal.h>

#include <memory>
#include <mutex>

#include "patcher/PatchStrings.h"
#include "patcher/mail/ZEMErrorDlg.h"
#include "platform/Crash.h"
#include "platform/Dialog.h"
#include "platform/Dns.h"
#include "platform/File.h"
#include "tests/fixtures/CrashedChild.h"
#include "tests/fixtures/ProgramOutput.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/patcher_window/PatchWindowSupport.h"
#include "tests/servers/LocalDnsServer.h"
#include "tests/servers/LocalSmtpServer.h"
#include "tests/servers/ScriptedSmtpPeer.h"

namespace {

class CrashReportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::StartDialogs()) << "no display";
        ASSERT_TRUE(m_dns.Started()) << m_dns.Log();
        platform::SetDnsServer("127.0.0.1", m_dns.Port());
        platform::SetDialogHook([this](const platform::DialogBox& box) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_boxes.push_back(box);
            return true;
        });
        m_tmp.Write("VAZE.INI", "[INFO]\r\nMAIL=QOR Team <team@crash.test>\r\n");
        m_dumpName = CrashedChildDump(m_tmp.path());
        ASSERT_FALSE(m_dumpName.empty());
        ASSERT_TRUE(platform::ReadWholeFile(m_tmp.Path(m_dumpName), m_dumpBytes));
    }
    void TearDown() override {
        m_dialog.reset();
        // The window's end reaches the X server now, not with some later request.
        Fl::check();
        platform::SetDialogHook(nullptr);
        platform::SetDnsServer("", 0);
    }
    void Open(uint16_t smtpPort) {
        m_dialog = std::make_unique<CZEMErrorDlg>(kLanguageEnglish);
        m_dialog->SetDumpName(m_dumpName, m_tmp.path());
        m_dialog->SetCommandLine("QORPatch.run 1.004410 " + m_dumpName);
        CCrashReport::Settings settings = m_dialog->Settings();
        settings.smtpPort = smtpPort;
        settings.replyTimeoutMs = 3000;
        m_dialog->SetSettings(settings);
        m_dialog->OnInitDialog();
        ASSERT_TRUE(PumpUntil(5000, [&] { return WindowId(*m_dialog) != 0; }));
        Settle();
    }
    void Click(Fl_Widget& w) { ASSERT_TRUE(ClickAt(*m_dialog, w.x() + w.w() / 2, w.y() + w.h() / 2)); }
    std::vector<std::string> BoxTexts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> texts;
        for (const auto& b : m_boxes) texts.push_back(b.title + ": " + b.text);
        return texts;
    }
    bool DumpKept() { return platform::FileExists(m_tmp.Path(m_dumpName)); }

    CLocalDnsServer m_dns{CLocalDnsServer::CrashTestRecords()};
    TempFolder m_tmp;
    std::string m_dumpName;
    std::vector<uint8_t> m_dumpBytes;
    std::unique_ptr<CZEMErrorDlg> m_dialog;
    std::mutex m_mutex;
    std::vector<platform::DialogBox> m_boxes;
};

}  // namespace

TEST_F(CrashReportDialogTest, SendMailsTheReportTheTypedAddressAndTheDumpThenDeletesIt) {
    CLocalSmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    Open(smtp.Port());
    EXPECT_STREQ(m_dialog->label(), "QOR Send Message");
    EXPECT_EQ(m_dialog->ReportText().rfind("- Computer Info -\r\nTotal Memory : ", 0), 0u);

    // Real keys: the field takes the address; Enter and Escape do nothing.
    FocusWindow(*m_dialog);
    Click(m_dialog->EmailInput());
    ASSERT_TRUE(XdoTool({"type", "--delay", "20", "player@example.test"}));
    ASSERT_TRUE(XdoTool({"key", "Return", "Escape"}));
    EXPECT_STREQ(m_dialog->EmailInput().value(), "player@example.test");
    EXPECT_FALSE(m_dialog->Ended());
    EXPECT_TRUE(BoxTexts().empty());

    Click(m_dialog->SendButton());
    ASSERT_TRUE(PumpUntil(20000, [&] { return m_dialog->Ended(); })) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"QOR Send Message: The mail is successfully sent."});
    EXPECT_FALSE(DumpKept());
    ASSERT_TRUE(smtp.WaitForMails(1)) << smtp.Log();

    const std::string mail = m_tmp.Write("got.eml", smtp.Mails().front());
    const ProgramResult r = RunPython(
        "import email, email.policy, sys\n"
        "msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "print(msg['X-RcptTo'])\n"
        "text, att = list(msg.iter_parts())\n"
        "print(repr(text.get_content()))\n"
        "open(sys.argv[2], 'wb').write(att.get_payload(decode=True))\n",
        {mail, m_tmp.Path("decoded.dmp")});
    EXPECT_EQ(r.output.rfind("team@crash.test\n'- Computer Info -\\nTotal Memory : ", 0), 0u) << r.output;
    EXPECT_NE(
        r.output.find(std::string(42, '/') + "\\nQORPatch.run 1.004410 " + m_dumpName + "\\nplayer@example.test\\n'"),
        std::string::npos)
        << r.output;
    std::vector<uint8_t> decoded;
    ASSERT_TRUE(platform::ReadWholeFile(m_tmp.Path("decoded.dmp"), decoded));
    EXPECT_EQ(decoded, m_dumpBytes);
    platform::CrashDump dump;
    ASSERT_TRUE(platform::ReadCrashDump(m_tmp.Path("decoded.dmp"), &dump));
    EXPECT_EQ(dump.signal, uint32_t(SIGSEGV));
}

TEST_F(CrashReportDialogTest, FailedSendsKeepTheDumpAndTheWindow) {
    CLocalSmtpServer smtp;
    ASSERT_TRUE(smtp.Started()) << smtp.Log();
    // No exchanger for the domain: 125.
    Open(smtp.Port());
    CCrashReport::Settings settings = m_dialog->Settings();
    CCrashReport::Settings noMx = settings;
    noMx.mailDomain = "nowhere.test";
    m_dialog->SetSettings(noMx);
    Click(m_dialog->SendButton());
    ASSERT_TRUE(PumpUntil(10000, [&] { return BoxTexts().size() == 1; }));
    EXPECT_EQ(BoxTexts().back(), "QOR Send Message: Failed to connect to the mail server");
    EXPECT_TRUE(DumpKept());
    EXPECT_FALSE(m_dialog->Ended());

    // DATA refused: 124; then Send again against aiosmtpd works.
    CScriptedSmtpPeer peer;
    peer.Accept().Send("220 mx\r\n").Expect("HELO").Send("250 hi\r\n").Expect("MAIL FROM:");
    peer.Send("250 ok\r\n").Expect("RCPT TO:<team@crash.test>").Send("250 ok\r\n");
    peer.Expect("DATA").Send("554 refused\r\n").Expect("RSET").Send("250 ok\r\n");
    peer.Start();
    CCrashReport::Settings refusing = settings;
    refusing.smtpPort = peer.Port();
    m_dialog->SetSettings(refusing);
    Click(m_dialog->SendButton());
    ASSERT_TRUE(PumpUntil(10000, [&] { return BoxTexts().size() == 2; }));
    EXPECT_EQ(BoxTexts().back(), "QOR Send Message: The mail is failed to send.");
    ASSERT_TRUE(peer.WaitDone());
    EXPECT_TRUE(DumpKept());
    EXPECT_FALSE(m_dialog->Ended());

    m_dialog->SetSettings(settings);
    Click(m_dialog->SendButton());
    ASSERT_TRUE(PumpUntil(20000, [&] { return m_dialog->Ended(); }));
    EXPECT_EQ(BoxTexts().back(), "QOR Send Message: The mail is successfully sent.");
    EXPECT_FALSE(DumpKept());
    EXPECT_TRUE(smtp.WaitForMails(1));
}

TEST_F(CrashReportDialogTest, CancelAndTheWindowsCloseDeleteTheDump) {
    Open(1);
    Click(m_dialog->CancelButton());
    ASSERT_TRUE(PumpUntil(5000, [&] { return m_dialog->Ended(); }));
    EXPECT_FALSE(DumpKept());
    EXPECT_TRUE(BoxTexts().empty());

    m_dumpName = CrashedChildDump(m_tmp.path());
    ASSERT_FALSE(m_dumpName.empty());
    Open(1);
    SendDeleteWindow(*m_dialog);
    ASSERT_TRUE(PumpUntil(5000, [&] { return m_dialog->Ended(); }));
    EXPECT_FALSE(DumpKept());
}
