// Reading DNS answers: the MX records of an answer, in order, and answers
// that are cut short or point outside themselves.
#include "platform/Dns.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A name server's answer for crash.test: two MX records, 127.0.0.2 first.
const std::vector<uint8_t> kAnswer = {0x12, 0x34, 0x85, 0x80, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x05,
                                      'c',  'r',  'a',  's',  'h',  0x04, 't',  'e',  's',  't',  0x00, 0x00, 0x0f,
                                      0x00, 0x01, 0xc0, 0x0c, 0x00, 0x0f, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0x0d, 0x00, 0x0a, 0x03, '1',  '2',  '7',  0x01, '0',  0x01, '0',  0x01, '2',
                                      0x00, 0xc0, 0x0c, 0x00, 0x0f, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0d,
                                      0x00, 0x14, 0x03, '1',  '2',  '7',  0x01, '0',  0x01, '0',  0x01, '1',  0x00};

}  // namespace

TEST(Dns, MxAnswersAndBrokenOnes) {
    std::vector<std::string> hosts;
    EXPECT_EQ(ParseMxAnswer(kAnswer.data(), kAnswer.size(), &hosts), DNS_OK);
    EXPECT_EQ(hosts, (std::vector<std::string>{"127.0.0.2", "127.0.0.1"}));

    // Every cut of the answer is refused or read without reading past its end.
    for (size_t size = 0; size < kAnswer.size(); ++size) {
        std::vector<uint8_t> cut(kAnswer.begin(), kAnswer.begin() + static_cast<long>(size));
        hosts.clear();
        EXPECT_NE(ParseMxAnswer(cut.data(), cut.size(), &hosts), DNS_OK) << size;
    }
    // A name pointer past the end, and a record length too short for a preference.
    std::vector<uint8_t> bad = kAnswer;
    bad[42] = 0xc0;
    bad[43] = 0xff;
    EXPECT_EQ(ParseMxAnswer(bad.data(), bad.size(), &(hosts = {})), DNS_BAD_PACKET);
    bad = kAnswer;
    bad[39] = 0x02;
    EXPECT_EQ(ParseMxAnswer(bad.data(), bad.size(), &(hosts = {})), DNS_BAD_PACKET);
    // Name errors and refusals carry the server's answer code.
    std::vector<uint8_t> refused(kAnswer.begin(), kAnswer.begin() + 28);
    refused[3] = 0x85;
    refused[7] = 0;
    EXPECT_EQ(ParseMxAnswer(refused.data(), refused.size(), &hosts), DNS_SERVER_FAILURE);
    refused[3] = 0x83;
    EXPECT_EQ(ParseMxAnswer(refused.data(), refused.size(), &hosts), DNS_NAME_ERROR);
    refused[3] = 0x80;
    EXPECT_EQ(ParseMxAnswer(refused.data(), refused.size(), &hosts), DNS_NO_RECORDS);
    EXPECT_EQ(ResolveIPv4("127.0.0.7"), std::vector<std::string>{"127.0.0.7"});
    EXPECT_FALSE(LocalHostName().empty());
}
