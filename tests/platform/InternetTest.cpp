#include <gtest/gtest.h>

#include "platform/Internet.h"

TEST(InternetTest, PathsArePercentEncoded) {
    EXPECT_EQ(platform::InternetSession::EncodePath("patch/DATA/A.DRP"), "patch/DATA/A.DRP");
    EXPECT_EQ(platform::InternetSession::EncodePath("a b/%#?&+~_-.x"), "a%20b/%25%23%3F%26%2B~_-.x");
    EXPECT_EQ(platform::InternetSession::EncodePath("\xb0\xa1:"), "%B0%A1%3A");
}

TEST(InternetTest, HostAndPort) {
    struct Case {
        const char* text;
        const char* host;
        uint16_t port;
    };
    const Case cases[] = {{"127.0.0.1", "127.0.0.1", 0},     {"patch.test:8080", "patch.test", 8080},
                          {"h:0", "h", 0},                   {"h:65536", "h", 0},
                          {"h:80x", "h", 0},                 {"h:", "h", 0},
                          {"h:99999999999999", "h", 0},      {"", "", 0}};
    for (const Case& c : cases) {
        std::string host;
        uint16_t port = 1;
        platform::SplitHostPort(c.text, &host, &port);
        EXPECT_EQ(host, c.host) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}
