// What every network test needs: the error report, message texts for the
// numbers the network reports, the size table, and a connected socket pair.
#pragma once

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "net/SocketLayer.h"

class NetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(NetStartup(1), 0);
        // Texts named after their number, so a test sees which message was chosen.
        for (int n : {26, 27, 28, 29, 30, 31,  32,  33,  34,  35,  38,  39,  40,  43,  51,  52,  53, 54,
                      55, 56, 58, 59, 91, 102, 106, 130, 131, 132, 133, 134, 136, 155, 157, 241, 372})
            messages.SetMsg(n, "msg" + std::to_string(n));
        messages.SetMsg(25, "error %d (%s)");
    }

    // A connected stream pair: one end for the code under test, one for the peer.
    void MakePair() {
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        near = fds[0];
        peer = fds[1];
    }
    void ClosePeer() {
        if (peer >= 0) ::close(peer);
        peer = -1;
    }
    void TearDown() override {
        if (near >= 0) ::close(near);
        ClosePeer();
    }

    CErrorReport report;
    CMessageTable messages;
    int near = -1;
    int peer = -1;
};
