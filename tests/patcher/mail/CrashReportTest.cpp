// The crash report's Send and Cancel with a dump from a child that really
// crashed, delivered through dnsmasq and aiosmtpd and read back with Python's
// email package; and the rule that decides which files may be deleted.
#include "patcher/mail/CrashReport.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Crash.h"
#include "platform/Dns.h"
#include "platform/File.h"
#include "tests/fixtures/CrashedChild.h"
#include "tests/fixtures/ProgramOutput.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/servers/LocalDnsServer.h"
#include "tests/servers/LocalSmtpServer.h"
#include "tests/servers/ScriptedSmtpPeer.h"

namespace {

class CrashReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dns.Started()) << m_dns.Log();
        platform::SetDnsServer("127.0.0.1", m_dns.Port());
        m_tmp.Write("VAZE.INI", "[INFO]\r\nMAIL=QOR Team <team@crash.test>, second@crash.test\r\n");
        m_settings.sender = "QOR Crash <crash@qor.test>";
        m_settings.smtpPort = m_smtp.Port();
    }
    void TearDown() override { platform::SetDnsServer("", 0); }

    CLocalDnsServer m_dns{CLocalDnsServer::CrashTestRecords()};
    CLocalSmtpServer m_smtp;
    TempFolder m_tmp;
    CCrashReport::Settings m_settings;
};

}  // namespace

TEST_F(CrashReport, SendMailsTheDumpOfACrashedChildAndDeletesIt) {
    ASSERT_TRUE(m_smtp.Started()) << m_smtp.Log();
    const std::string dumpName = CrashedChildDump(m_tmp.path());
    ASSERT_FALSE(dumpName.empty());
    std::vector<uint8_t> dumpBytes;
    ASSERT_TRUE(platform::ReadWholeFile(m_tmp.Path(dumpName), dumpBytes));
    m_tmp.Write("sent.dmp", std::vector<unsigned char>(dumpBytes.begin(), dumpBytes.end()));

    CCrashReport report;
    report.SetDumpName(dumpName, m_tmp.path());
    const std::string commandLine = "QORPatch.run 1.004410 " + dumpName;
    EXPECT_EQ(report.Send("- Computer Info -\r\n", commandLine, "player@example.test", m_settings),
              CCrashReport::SEND_OK)
        << report.LastError();
    EXPECT_FALSE(platform::FileExists(m_tmp.Path(dumpName)));
    ASSERT_TRUE(m_smtp.WaitForMails(1)) << m_smtp.Log();

    const std::string mail = m_tmp.Write("got.eml", m_smtp.Mails().front());
    const ProgramResult r = RunPython(
        "import email, email.policy, sys\n"
        "msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "print(msg['X-MailFrom'], '|', msg['X-RcptTo'])\n"
        "text, att = list(msg.iter_parts())\n"
        "print(repr(text.get_content()))\n"
        "print(att.get_content_type(), att.get_filename() == sys.argv[3])\n"
        "open(sys.argv[2], 'wb').write(att.get_payload(decode=True))\n",
        {mail, m_tmp.Path("decoded.dmp"), dumpName});
    EXPECT_EQ(r.output, "crash@qor.test | team@crash.test, second@crash.test\n'- Computer Info -\\n" +
                            std::string(42, '/') + "\\n" + commandLine +
                            "\\nplayer@example.test\\n'\n"
                            "application/octet-stream True\n");
    std::vector<uint8_t> decoded;
    ASSERT_TRUE(platform::ReadWholeFile(m_tmp.Path("decoded.dmp"), decoded));
    EXPECT_EQ(decoded, dumpBytes);
    platform::CrashDump dump;
    ASSERT_TRUE(platform::ReadCrashDump(m_tmp.Path("decoded.dmp"), &dump));
    EXPECT_EQ(dump.signal, uint32_t(SIGSEGV));
}

TEST_F(CrashReport, FailedSendsKeepTheDumpAndMaySendAgain) {
    ASSERT_TRUE(m_smtp.Started()) << m_smtp.Log();
    const std::string dumpName = CrashedChildDump(m_tmp.path());
    ASSERT_FALSE(dumpName.empty());
    CCrashReport report;
    report.SetDumpName(dumpName, m_tmp.path());

    CCrashReport::Settings noMx = m_settings;
    noMx.mailDomain = "nowhere.test";
    EXPECT_EQ(report.Send("r", "c", "e", noMx), CCrashReport::SEND_NO_EXCHANGER);
    EXPECT_TRUE(platform::FileExists(m_tmp.Path(dumpName)));

    CScriptedSmtpPeer peer;
    peer.Accept().Send("220 mx\r\n").Expect("HELO").Send("250 hi\r\n").Expect("MAIL FROM:<crash@qor.test>");
    peer.Send("250 ok\r\n").Expect("RCPT TO:<team@crash.test>").Send("250 ok\r\n");
    peer.Expect("RCPT TO:<second@crash.test>").Send("250 ok\r\n").Expect("DATA").Send("554 refused\r\n");
    peer.Expect("RSET").Send("250 ok\r\n");
    peer.Start();
    CCrashReport::Settings refusing = m_settings;
    refusing.smtpPort = peer.Port();
    EXPECT_EQ(report.Send("r", "c", "e", refusing), CCrashReport::SEND_FAILED);
    ASSERT_TRUE(peer.WaitDone());
    EXPECT_TRUE(peer.Failures().empty()) << peer.Failures().front();
    EXPECT_TRUE(platform::FileExists(m_tmp.Path(dumpName)));

    EXPECT_EQ(report.Send("r", "c", "e", m_settings), CCrashReport::SEND_OK) << report.LastError();
    EXPECT_FALSE(platform::FileExists(m_tmp.Path(dumpName)));
    EXPECT_TRUE(m_smtp.WaitForMails(1));
}

TEST(CrashReportDump, CancelAndTheDeletionRule) {
    TempFolder tmp;
    const std::string dumpName = CrashedChildDump(tmp.path());
    ASSERT_FALSE(dumpName.empty());
    CCrashReport report;
    report.SetDumpName(dumpName, tmp.path());
    EXPECT_TRUE(report.DumpDeletable());
    report.Cancel();
    EXPECT_FALSE(platform::FileExists(tmp.Path(dumpName)));

    const std::string inner = tmp.path() + "/game";
    ASSERT_TRUE(platform::CreateFolder(inner));
    std::vector<uint8_t> dump = platform::EncodeCrashDump({});
    platform::WriteWholeFile(tmp.Path("x.dmp"), dump.data(), dump.size());
    platform::WriteWholeFile(inner + "/notes.dmp", "just text", 9);
    platform::WriteWholeFile(inner + "/kept.txt", dump.data(), dump.size());
    struct Row {
        const char* name;
        const char* path;
    } kept[] = {{"../x.dmp", "x.dmp"},        {"notes.dmp", "game/notes.dmp"}, {"kept.txt", "game/kept.txt"},
                {"sub/../../x.dmp", "x.dmp"}, {"..\\x.dmp", "x.dmp"},          {"", "x.dmp"}};
    for (const Row& r : kept) {
        CCrashReport c;
        c.SetDumpName(r.name, inner);
        EXPECT_FALSE(c.DumpDeletable()) << r.name;
        c.Cancel();
        EXPECT_TRUE(platform::FileExists(tmp.Path(r.path))) << r.name;
    }
}

TEST_F(CrashReport, WithoutAMailKeyOrADumpName) {
    ASSERT_TRUE(m_smtp.Started()) << m_smtp.Log();
    CCrashReport report;
    report.SetDumpName("QOR", m_tmp.path());
    // No dump: the report alone, nothing deleted.
    EXPECT_EQ(report.Send("r", "QORPatch.run 1.004410 QOR", "", m_settings), CCrashReport::SEND_OK);
    ASSERT_TRUE(m_smtp.WaitForMails(1));
    EXPECT_EQ(m_smtp.Mails().front().find("boundary="), std::string::npos);

    m_tmp.Write("VAZE.INI", "[INFO]\r\nSERVER=1.2.3.4\r\n");
    EXPECT_EQ(report.Send("r", "c", "e", m_settings), CCrashReport::SEND_FAILED);
}
