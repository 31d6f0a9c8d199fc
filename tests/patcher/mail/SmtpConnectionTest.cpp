// The SMTP transaction against a scripted server: whole replies however they
// are split, refusals at each step, a silent server, and the data phase.
#include "patcher/mail/SmtpConnection.h"

#include <gtest/gtest.h>

#include "patcher/mail/MimeMessage.h"
#include "patcher/mail/SmtpDataWriter.h"
#include "patcher/mail/SmtpReply.h"
#include "tests/servers/ScriptedSmtpPeer.h"

namespace {

std::unique_ptr<CMimeMessage> Message(const std::string& text = "report\r\n") {
    auto m = std::make_unique<CMimeMessage>();
    m->SetFrom("QOR <crash@qor.test>");
    m->SetTo("QOR Team <team@qor.test>");
    m->AddTextPart(text);
    return m;
}

// A peer that greets and takes HELO, ready for the transaction.
CScriptedSmtpPeer& Greeted(CScriptedSmtpPeer& peer) {
    return peer.Accept().Send("220 mx ready\r\n").Expect("HELO ").Send("250 hello\r\n");
}

bool Connect(CSmtpConnection& c, const CScriptedSmtpPeer& peer) {
    c.SetPort(peer.Port());
    c.SetReplyTimeout(5000);
    return c.Connect("127.0.0.1", 5000);
}

}  // namespace

TEST(SmtpReply, WholeRepliesAcrossPieces) {
    struct Row {
        std::vector<std::string> pieces;
        CSmtpReply::State state;
        int code;
    } rows[] = {
        {{"220 ok\r\n"}, CSmtpReply::REPLY_DONE, 220},
        {{"2", "20-first\r", "\n220 second\r\n"}, CSmtpReply::REPLY_DONE, 220},
        {{"250\n"}, CSmtpReply::REPLY_DONE, 250},
        {{"220-first\r\n"}, CSmtpReply::REPLY_PENDING, 0},
        {{"220-a\r\n250 b\r\n"}, CSmtpReply::REPLY_BAD, 0},
        {{"hello\r\n"}, CSmtpReply::REPLY_BAD, 0},
        {{"25\r\n"}, CSmtpReply::REPLY_BAD, 0},
        {{"250x\r\n"}, CSmtpReply::REPLY_BAD, 0},
        {{std::string(CSmtpReply::kMaxReply + 1, '2')}, CSmtpReply::REPLY_BAD, 0},
    };
    for (const Row& r : rows) {
        CSmtpReply reply;
        for (const std::string& p : r.pieces) reply.Feed(p);
        EXPECT_EQ(reply.GetState(), r.state) << r.pieces.front();
        if (r.state == CSmtpReply::REPLY_DONE) {
            EXPECT_EQ(reply.Code(), r.code);
        }
    }
    // What follows the end of a reply is left for the next one.
    CSmtpReply reply;
    size_t used = 0;
    EXPECT_EQ(reply.Feed("250 a\r\n354 b\r\n", &used), CSmtpReply::REPLY_DONE);
    EXPECT_EQ(used, 7u);
}

TEST(SmtpDataWriter, DotsAreDoubledAndLinesEndInCrLf) {
    struct Row {
        std::vector<std::string> writes;
        std::string sent;
    } rows[] = {
        {{"a\r\n.\r\nb"}, "a\r\n..\r\nb\r\n.\r\n"},
        {{".x\n", ".", "y\r\n"}, "..x\r\n..y\r\n.\r\n"},
        {{"a\r", "\n.b\r\n"}, "a\r\n..b\r\n.\r\n"},
        {{"a.b\r\n"}, "a.b\r\n.\r\n"},
        {{}, ".\r\n"},
        {{"end\r"}, "end\r\n.\r\n"},
    };
    for (const Row& r : rows) {
        std::string sent;
        CSmtpDataWriter w([&](std::string_view t) {
            sent += t;
            return true;
        });
        for (const std::string& s : r.writes) ASSERT_TRUE(w.Write(s));
        ASSERT_TRUE(w.Finish());
        EXPECT_EQ(sent, r.sent);
    }
}

TEST(SmtpConnection, SplitMultiLineRepliesAndTheDataPhase) {
    CScriptedSmtpPeer peer;
    peer.Accept()
        .Send("220-mx.test first line\r\n22")
        .Pause(50)
        .Send("0 mx.test ready\r\n")
        .Expect("HELO ")
        .Send("250-mx.test\r\n250-SIZE 1000\r\n250 HELP\r\n")
        .Expect("MAIL FROM:<crash@qor.test>")
        .Send("250 ok\r\n")
        .Expect("RCPT TO:<team@qor.test>")
        .Send("251 will forward\r\n")
        .Expect("RCPT TO:<b@qor.test>")
        .Send("250 ok\r\n")
        .Expect("DATA")
        .Send("354 go on\r\n")
        .ExpectData()
        .Send("250 queued\r\n");
    peer.Start();
    CSmtpConnection c;
    ASSERT_TRUE(Connect(c, peer)) << c.LastError();
    auto m = Message("line\r\n.\r\n.. two\nlast");
    m->SetCc("b@qor.test");
    EXPECT_TRUE(c.SendMail(*m)) << c.LastError();
    ASSERT_TRUE(peer.WaitDone());
    EXPECT_TRUE(peer.Failures().empty()) << peer.Failures().front();
    EXPECT_NE(peer.Data().find("\r\n\r\nline\r\n..\r\n... two\r\nlast\r\n"), std::string::npos) << peer.Data();
    EXPECT_TRUE(c.Close());
    EXPECT_FALSE(c.Close());
}

TEST(SmtpConnection, RefusalsResetTheTransaction) {
    struct Row {
        const char* name;
        std::function<void(CScriptedSmtpPeer&)> script;
    } rows[] = {
        {"recipient refused",
         [](CScriptedSmtpPeer& p) {
             p.Expect("MAIL FROM:").Send("250 ok\r\n").Expect("RCPT TO:").Send("550 no such user\r\n");
         }},
        {"data refused",
         [](CScriptedSmtpPeer& p) {
             p.Expect("MAIL FROM:").Send("250 ok\r\n").Expect("RCPT TO:").Send("250 ok\r\n");
             p.Expect("DATA").Send("554 no\r\n");
         }},
        {"message refused",
         [](CScriptedSmtpPeer& p) {
             p.Expect("MAIL FROM:").Send("250 ok\r\n").Expect("RCPT TO:").Send("250 ok\r\n");
             p.Expect("DATA").Send("354 go\r\n").ExpectData().Send("554 spam\r\n");
         }},
    };
    for (const Row& r : rows) {
        CScriptedSmtpPeer peer;
        Greeted(peer);
        r.script(peer);
        peer.Expect("RSET").Send("250 reset\r\n");
        peer.Start();
        CSmtpConnection c;
        ASSERT_TRUE(Connect(c, peer)) << r.name;
        EXPECT_FALSE(c.SendMail(*Message())) << r.name;
        ASSERT_TRUE(peer.WaitDone()) << r.name;
        EXPECT_TRUE(peer.Failures().empty()) << r.name << ": " << peer.Failures().front();
        EXPECT_EQ(peer.Lines().back(), "RSET") << r.name;
    }
}

TEST(SmtpConnection, RefusedGreetingsSilenceAndNoRecipients) {
    {
        CScriptedSmtpPeer peer;
        peer.Accept().Send("554 go away\r\n");
        peer.Start();
        CSmtpConnection c;
        EXPECT_FALSE(Connect(c, peer));
        EXPECT_FALSE(c.IsOpen());
        EXPECT_EQ(c.LastError(), "127.0.0.1: greeting refused: 554 go away\r\n");
    }
    {
        CScriptedSmtpPeer peer;
        peer.Accept();
        peer.Start();
        CSmtpConnection c;
        c.SetPort(peer.Port());
        c.SetReplyTimeout(200);
        EXPECT_FALSE(c.Connect("127.0.0.1", 5000));
        EXPECT_EQ(c.LastError(), "127.0.0.1: no reply in time");
    }
    {
        // No recipient: nothing is sent after HELO.
        CScriptedSmtpPeer peer;
        Greeted(peer);
        peer.Start();
        CSmtpConnection c;
        ASSERT_TRUE(Connect(c, peer));
        auto m = Message();
        m->SetTo("");
        EXPECT_FALSE(c.SendMail(*m));
        m->SetTo("<a@x\r\nDATA>");
        EXPECT_FALSE(c.SendMail(*m));
        ASSERT_TRUE(peer.WaitDone());
        c.Close();
        EXPECT_EQ(peer.Lines().size(), 1u);
    }
    CSmtpConnection closed;
    EXPECT_FALSE(closed.SendMail(*Message()));
}
