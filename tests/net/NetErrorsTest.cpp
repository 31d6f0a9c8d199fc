// Which message a network failure or a server result leaves in the error report.
#include "net/NetErrors.h"
#include "platform/Socket.h"
#include "tests/net/NetFixture.h"

namespace {

using NetErrorsTest = NetTest;

TEST_F(NetErrorsTest, SocketErrorsPickTheirMessages) {
    struct Case {
        int socketError;
        uint32_t code;
        const char* text;
    } cases[] = {
        {platform::SOCKERR_ADDRNOTAVAIL, 29, "msg29"},
        {platform::SOCKERR_CONNRESET, 28, "msg28"},
        {platform::SOCKERR_TIMEDOUT, 27, "msg27"},
        {platform::SOCKERR_CONNREFUSED, 26, "msg26"},
        {platform::SOCKERR_HOSTUNREACH, 32, "msg32"},
        {platform::SOCKERR_MSGSIZE, 25, "error 10040 (Message too long)"},
        {platform::SOCKERR_NETUNREACH, 25, "error 10051 (Network is unreachable)"},
        // No system text: the generic message still replaces whatever was shown before.
        {12345, 25, "error 12345 ()"},
        {0, 25, "error 0 ()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.socketError);
        report.Set(99, "older message");
        platform::SocketSetLastError(c.socketError);
        EXPECT_EQ(ReportNetError(kNetErrorFromSocket), 0);
        EXPECT_EQ(report.GetCode(), c.code);
        EXPECT_EQ(report.Text(), c.text);
        EXPECT_EQ(platform::SocketLastError(), static_cast<int>(c.code));
    }
}

TEST_F(NetErrorsTest, AnyOtherCodeIsItsOwnMessage) {
    EXPECT_EQ(ReportNetError(27), 0);
    EXPECT_EQ(report.GetCode(), 27u);
    EXPECT_EQ(report.Text(), "msg27");
}

TEST_F(NetErrorsTest, ServerResultsPickTheirMessages) {
    struct Case {
        int result;
        uint32_t code;
        const char* text;
    } cases[] = {
        {1, 30, "msg30"},
        {2, 31, "msg31"},
        {3, 33, "msg33"},
        {4, 38, "msg38"},
        {8, 38, "msg38"},
        {5, 34, "msg34"},
        {17, 54, "msg54"},
        {18, 91, "msg91"},
        {29, 102, "msg102"},
        {35, 35, "msg35"},
        {46, 372, "msg372"},
        {58, 130, "msg130"},
        {64, 130, "msg130"},
        {65, 132, "msg132"},
        {67, 130, "msg130"},
        {68, 131, "msg131"},
        // Unlisted codes and codes outside 1..68 get the generic message with the code.
        {34, 25, "error 34 ()"},
        {0, 25, "error 0 ()"},
        {69, 25, "error 69 ()"},
        {-3, 25, "error -3 ()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(ReportServerResult(c.result), 0);
        EXPECT_EQ(report.GetCode(), c.code);
        EXPECT_EQ(report.Text(), c.text);
    }
}

TEST_F(NetErrorsTest, ResultWithItsOwnTextStoresNothing) {
    report.Set(7, "kept");
    ReportServerResult(48);
    EXPECT_EQ(report.GetCode(), 7u);
    EXPECT_EQ(report.Text(), "kept");
}

}  // namespace
