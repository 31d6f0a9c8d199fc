// Delivery through real servers on loopback: dnsmasq names the exchangers of
// crash.test, the first of which refuses; aiosmtpd takes the mail into a
// Maildir, where Python's email package reads it back.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "patcher/mail/MimeMessage.h"
#include "patcher/mail/SmtpConnection.h"
#include "platform/Dns.h"
#include "tests/fixtures/ProgramOutput.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/servers/LocalDnsServer.h"
#include "tests/servers/LocalSmtpServer.h"

namespace {

class MailDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dns.Started()) << m_dns.Log();
        ASSERT_TRUE(m_smtp.Started()) << m_smtp.Log();
        platform::SetDnsServer("127.0.0.1", m_dns.Port());
    }
    void TearDown() override { platform::SetDnsServer("", 0); }

    CLocalDnsServer m_dns{CLocalDnsServer::CrashTestRecords()};
    CLocalSmtpServer m_smtp;
    TempFolder m_tmp;
};

}  // namespace

TEST_F(MailDelivery, MxHostsInAnswerOrderAndUnknownDomains) {
    std::vector<std::string> hosts;
    EXPECT_EQ(LookupMxHosts("crash.test", &hosts), platform::DNS_OK);
    EXPECT_EQ(hosts, (std::vector<std::string>{"127.0.0.2", "127.0.0.1"}));
    hosts.clear();
    EXPECT_NE(LookupMxHosts("nowhere.test", &hosts), platform::DNS_OK);
    EXPECT_TRUE(hosts.empty());
    CSmtpConnection c;
    c.SetPort(m_smtp.Port());
    EXPECT_FALSE(c.ConnectToMx("nowhere.test", 10000));
    EXPECT_FALSE(c.IsOpen());
}

TEST_F(MailDelivery, TheSecondExchangerTakesTheMail) {
    std::string dump(10000, '\0');
    for (size_t i = 0; i < dump.size(); ++i) dump[i] = static_cast<char>(i * 13 + 7);
    const std::string dumpPath = m_tmp.Write("kim2026-12-10-13-33-35.dmp", dump);

    CMimeMultipartMessage m;
    m.SetFrom("QOR Crash <crash@qor.test>");
    m.SetTo("\"QOR, Team\" <team@crash.test>, second@crash.test");
    m.SetSubject("QOR crash report");
    ASSERT_TRUE(m.AddTextPart("Total Memory : 1\r\n.\r\n.hidden\r\nend\r\n"));
    ASSERT_TRUE(m.AddAttachment(dumpPath, 0, {}, "application/octet-stream"));

    CSmtpConnection c;
    c.SetPort(m_smtp.Port());
    ASSERT_TRUE(c.ConnectToMx("crash.test", 10000)) << c.LastError();
    EXPECT_TRUE(c.SendMail(m)) << c.LastError();
    EXPECT_TRUE(c.Close());
    ASSERT_TRUE(m_smtp.WaitForMails(1)) << m_smtp.Log();

    const std::string mail = m_tmp.Write("got.eml", m_smtp.Mails().front());
    const ProgramResult r = RunPython(
        "import email, email.policy, sys\n"
        "msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "print(msg['X-MailFrom'])\n"
        "print(msg['X-RcptTo'])\n"
        "text, att = list(msg.iter_parts())\n"
        "print(repr(text.get_content()))\n"
        "print(att.get_content_type(), att.get_filename())\n"
        "print(att.get_payload(decode=True) == open(sys.argv[2], 'rb').read())\n",
        {mail, dumpPath});
    EXPECT_EQ(r.output,
              "crash@qor.test\n"
              "team@crash.test, second@crash.test\n"
              "'Total Memory : 1\\n.\\n.hidden\\nend\\n\\n'\n"
              "application/octet-stream kim2026-12-10-13-33-35.dmp\n"
              "True\n");
}
