// Whole messages as they are written to the connection, read back with
// Python's email package.
#include "patcher/mail/MimeMessage.h"

#include <gtest/gtest.h>


#include "patcher/mail/MailFormats.h"
#include "patcher/mail/MimeAttachment.h"
#include "tests/fixtures/ProgramOutput.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"

namespace {

std::string Write(const CMimeMessage& m) {
    CStringMailWriter out;
    EXPECT_TRUE(m.Send(out));
    return out.Text();
}

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + (i >> 8) * 3) & 0xFF);
    return s;
}

}  // namespace

TEST(MimeMessage, OnePartHasNoBoundaryTwoPartsAreMultipart) {
    TempFolder tmp;
    CMimeMultipartMessage m;
    m.SetFrom("crash@qor.test");
    m.SetTo("QOR Team <team@qor.test>, b@qor.test");
    m.SetSubject("Report");
    m.SetDate(0);
    ASSERT_TRUE(m.AddTextPart("hello\r\n"));
    std::string text = Write(m);
    EXPECT_EQ(text.find("boundary"), std::string::npos);
    EXPECT_NE(text.find("\r\nTo: QOR Team <team@qor.test>, b@qor.test\r\nX-Priority: 3\r\nMIME-Version: 1.0\r\n"
                        "Content-Type: text/plain;\r\n\tcharset=\"utf-8\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                        "hello\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.rfind("Date: ", 0), 0u);
    // Header values stay on their line; a subject outside ASCII is an encoded word.
    m.SetSubject("\xED\x95\x9C\xEA\xB8\x80\r\nBcc: x@y");
    EXPECT_NE(Write(m).find("\r\nSubject: =?utf-8?B?7ZWc6riAICBCY2M6IHhAeQ==?=\r\n"), std::string::npos);
    m.SetSubject("Report\r\nBcc: x@y");
    EXPECT_NE(Write(m).find("\r\nSubject: Report  Bcc: x@y\r\n"), std::string::npos);

    // A file that cannot be opened is left out, and the message stays single.
    EXPECT_FALSE(m.AddAttachment(tmp.Path("missing.dmp")));
    EXPECT_FALSE(m.AddAttachment(tmp.Write("a.bin", "x"), 3));
    EXPECT_EQ(m.PartCount(), 1u);

    // Not listed in /etc/mime.types.
    ASSERT_TRUE(m.AddAttachment(tmp.Write("a.qdump", "dump")));
    text = Write(m);
    const size_t b = text.find("boundary=\"------=_Next_Part_");
    ASSERT_NE(b, std::string::npos) << text;
    const std::string boundary = text.substr(b + 10, text.find('"', b + 10) - b - 10);
    EXPECT_EQ(boundary.size(), std::string("------=_Next_Part_0123456789.123").size()) << boundary;
    EXPECT_NE(text.find("X-Priority: 3\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n\tboundary=\"" +
                        boundary + "\"\r\n\r\n\r\n--" + boundary + "\r\nContent-Type: text/plain;"),
              std::string::npos);
    EXPECT_NE(
        text.find("\r\n\r\n--" + boundary +
                  "\r\nContent-Type: application/octet-stream;\r\n\tcharset=\"iso-8859-1\""
                  "\r\n\tname=\"a.qdump\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment;"
                  "\r\n\tfilename=\"a.qdump\"\r\n\r\nZHVtcA=="),
        std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - boundary.size() - 10), "\r\n\r\n--" + boundary + "--\r\n");
}

TEST(MimeMessage, ContentTypesComeFromTheMimeTypesTable) {
    TempFolder tmp;
    SetMimeTypesPath(
        tmp.Write("mime.types", "# comment\ntext/plain\t\ttxt text\nimage/png png\n\napplication/x-q q # x\n"));
    EXPECT_EQ(ContentTypeForFile("a.TXT"), "text/plain");
    EXPECT_EQ(ContentTypeForFile("dir\\b.png"), "image/png");
    EXPECT_EQ(ContentTypeForFile("b.q"), "application/x-q");
    EXPECT_EQ(ContentTypeForFile("kim2026-01-01-00-00-00.dmp"), "application/octet-stream");
    EXPECT_EQ(ContentTypeForFile("noext"), "application/octet-stream");
    SetMimeTypesPath(tmp.Path("none"));
    EXPECT_EQ(ContentTypeForFile("a.txt"), "application/octet-stream");
    SetMimeTypesPath("");
    EXPECT_EQ(ContentTypeForFile("a.txt"), "text/plain");
}

TEST(MimeMessage, DateCarriesTheLocalOffset) {
    struct Row {
        const char* zone;
        time_t when;
        const char* date;
    } rows[] = {
        {"UTC", 0, "Thu, 1 Jan 1970 00:00:00 +0000"},
        {"Asia/Kolkata", 1765400000, "Thu, 11 Dec 2025 02:23:20 +0530"},
        {"America/St_Johns", 1765400000, "Wed, 10 Dec 2025 17:23:20 -0330"},
        {"America/St_Johns", 1752000000, "Tue, 8 Jul 2025 16:10:00 -0230"},
    };
    for (const Row& r : rows) {
        ScopedEnv tz("TZ", r.zone);
        tzset();
        EXPECT_EQ(MailDate(r.when), r.date) << r.zone;
    }
    tzset();
}

TEST(MimeMessage, AttachmentsDecodeByteEqualWithPythonsEmailPackage) {
    TempFolder tmp;
    const size_t block = CMimeAttachment::kReadBlock;
    std::vector<std::string> args;
    std::vector<std::string> originals;
    for (int encoding : {0, 1, 2}) {
        for (size_t size : {size_t(0), size_t(1), block - 2, block - 1, block, block + 1, block + 2, 2 * block + 1}) {
            const std::string name = "f" + std::to_string(encoding) + "_" + std::to_string(size);
            const std::string data = Bytes(size);
            CMimeMultipartMessage m;
            m.SetFrom("crash@qor.test");
            m.SetTo("team@qor.test");
            ASSERT_TRUE(m.AddTextPart("report line\r\n.\r\n"));
            ASSERT_TRUE(m.AddAttachment(tmp.Write(name + ".dmp", data), encoding));
            args.push_back(tmp.Write(name + ".eml", Write(m)));
            originals.push_back(data);
        }
    }
    const ProgramResult r = RunPython(
        "import email, email.policy, sys\n"
        "for path in sys.argv[1:]:\n"
        "    msg = email.message_from_binary_file(open(path, 'rb'), policy=email.policy.default)\n"
        "    assert msg.is_multipart() and len(msg.defects) == 0, path\n"
        "    parts = list(msg.iter_parts())\n"
        "    assert parts[0].get_content_type() == 'text/plain'\n"
        "    assert parts[0].get_content().startswith('report line\\n.\\n')\n"
        "    att = parts[1]\n"
        "    assert att.get_filename() == path.split('/')[-1][:-4] + '.dmp', att.get_filename()\n"
        "    open(path + '.out', 'wb').write(att.get_payload(decode=True))\n"
        "print('done')\n",
        args);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "done\n");
    for (size_t i = 0; i < args.size(); ++i) EXPECT_EQ(ReadFileText(args[i] + ".out"), originals[i]) << args[i];
}

TEST(MimeMessage, AMessageAttachedToAnother) {
    auto inner = std::make_unique<CMimeMessage>();
    inner->SetFrom("a@x");
    inner->SetTo("b@y");
    inner->SetAttachmentName("first.eml");
    ASSERT_TRUE(inner->AddTextPart("inner"));
    CMimeMultipartMessage outer;
    outer.SetFrom("a@x");
    outer.SetTo("b@y");
    ASSERT_TRUE(outer.AddTextPart("outer"));
    ASSERT_TRUE(outer.AddPart(std::move(inner)));
    const std::string text = Write(outer);
    EXPECT_NE(text.find("\r\nContent-Type: message/rfc822;\r\n\tname=\"first.eml\"\r\n"), std::string::npos) << text;
    TempFolder tmp;
    const ProgramResult r = RunPython(
        "import email, email.policy, sys\n"
        "msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "inner = list(msg.iter_parts())[1].get_payload()[0]\n"
        "print(inner['To'], inner.get_content().strip())\n",
        {tmp.Write("m.eml", text)});
    EXPECT_EQ(r.output, "b@y inner\n");
}
