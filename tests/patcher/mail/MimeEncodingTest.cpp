// The transfer encodings, checked against their RFC vectors and decoded back
// by Python's own decoders.
#include "patcher/mail/MimeEncoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/fixtures/ProgramOutput.h"
#include "tests/fixtures/TempFolder.h"

namespace {

std::string Bytes(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 7)) & 0xFF);
    return s;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// Encoded in blocks of `block` bytes, as an attachment is.
template <typename Stream, typename... Args>
std::string InBlocks(const std::string& data, size_t block, Args... args) {
    Stream s(args...);
    std::string out;
    for (size_t at = 0; at < data.size(); at += block)
        s.Feed(reinterpret_cast<const uint8_t*>(data.data()) + at, std::min(block, data.size() - at), out);
    s.Finish(out);
    return out;
}

}  // namespace

TEST(Base64, Rfc4648VectorsAndLines) {
    const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                           {"f", "Zg=="},
                                                           {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},
                                                           {"foob", "Zm9vYg=="},
                                                           {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"},
                                                           {"abc", "YWJj"}};
    for (const auto& [in, expected] : vectors) EXPECT_EQ(Base64Encode(in, std::strlen(in)), expected) << in;

    const std::string data = Bytes(1000, 1);
    const std::string whole = Base64Encode(data.data(), data.size());
    for (const std::string& line : Lines(whole)) EXPECT_LE(line.size(), 76u);
    EXPECT_EQ(Lines(whole).front().size(), 76u);
    // Blocks of any size give the same text: partial groups carry over, no "=" mid-stream.
    for (size_t block : {1u, 2u, 4u, 5u, 57u, 100u}) EXPECT_EQ(InBlocks<CBase64Stream>(data, block), whole) << block;
}

TEST(QuotedPrintable, EscapesAndLineLengthsDecodeWithQuopri) {
    EXPECT_EQ(QuotedPrintableEncode("a=b", 3), "a=3Db=");
    EXPECT_EQ(QuotedPrintableEncode("a b ", 4), "a b=20=");
    EXPECT_EQ(QuotedPrintableEncode("x\t", 2), "x=09=");
    EXPECT_EQ(QuotedPrintableEncode("\r\n\xff", 3), "=0D=0A=FF=");
    EXPECT_EQ(QuotedPrintableEncode("", 0), "=");

    TempFolder tmp;
    std::vector<std::string> args;
    std::vector<std::string> inputs = {Bytes(3000, 2), std::string(200, ' '), std::string(300, '='),
                                       std::string("line one \r\nline two\t\n") + std::string(90, 'q') + " "};
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::string encoded = QuotedPrintableEncode(inputs[i].data(), inputs[i].size());
        for (const std::string& line : Lines(encoded)) EXPECT_LE(line.size(), 76u);
        EXPECT_EQ(InBlocks<CQuotedPrintableStream>(inputs[i], 7), encoded);
        args.push_back(tmp.Write("qp" + std::to_string(i), encoded));
        args.push_back(tmp.Write("raw" + std::to_string(i), inputs[i]));
    }
    const ProgramResult r = RunPython(
        "import quopri, sys\n"
        "a = sys.argv[1:]\n"
        "for i in range(0, len(a), 2):\n"
        "    got = quopri.decodestring(open(a[i], 'rb').read())\n"
        "    print('ok' if got == open(a[i + 1], 'rb').read() else 'bad ' + a[i])\n",
        args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "ok\nok\nok\nok\n");
}

TEST(Uuencode, LinesDecodeWithBinascii) {
    EXPECT_EQ(Uuencode("a.txt", "Cat", 3), "begin 666 a.txt\r\n#0V%T\r\n`\r\nend\r\n");
    EXPECT_EQ(Uuencode("e", "", 0), "begin 666 e\r\n`\r\nend\r\n");

    const std::string data = Bytes(1000, 3);
    const std::string encoded = Uuencode("d.bin", data.data(), data.size());
    EXPECT_EQ(InBlocks<CUuencodeStream>(data, 10, "d.bin"), encoded);
    TempFolder tmp;
    const ProgramResult r = RunPython(
        "import binascii, sys\n"
        "lines = open(sys.argv[1], 'rb').read().split(b'\\r\\n')\n"
        "assert lines[0] == b'begin 666 d.bin' and lines[-3:] == [b'`', b'end', b'']\n"
        "data = b''.join(binascii.a2b_uu(l) for l in lines[1:-3])\n"
        "print('ok' if data == open(sys.argv[2], 'rb').read() else 'bad')\n",
        {tmp.Write("uu", encoded), tmp.Write("raw", data)});
    EXPECT_EQ(r.output, "ok\n");
}
