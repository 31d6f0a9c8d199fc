// The size table: the protocol's sizes, and which received packets it lets through.
#include "net/MessageSizeTable.h"
#include "tests/net/NetFixture.h"

namespace {

using MessageSizeTableTest = NetTest;

TEST_F(MessageSizeTableTest, SpotChecks) {
    struct Case {
        uint16_t id;
        uint8_t defined, variable;
        uint16_t size;
    } cases[] = {
        {1015, 1, 1, 2044}, {2000, 1, 0, 96},  {2009, 1, 0, 134}, {1013, 1, 0, 30}, {1014, 1, 0, 637},
        {1070, 1, 0, 13},   {3025, 1, 0, 794}, {3054, 1, 0, 457}, {1040, 1, 0, 8},  {1999, 0, 0, 0},
        {1025, 0, 0, 0},    {0, 0, 0, 0},      {3999, 0, 0, 0},   {4000, 0, 0, 0},  {65535, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        MessageSizeEntry e = GetMessageSize(c.id);
        EXPECT_EQ(e.defined, c.defined);
        EXPECT_EQ(e.variable, c.variable);
        EXPECT_EQ(e.size, c.size);
    }
}

TEST_F(MessageSizeTableTest, HoldsTheProtocolsIds) {
    EXPECT_EQ(CountDefinedMessageSizes(), 202);
    int perRange[3] = {};
    for (const MessageSizeSpec& m : ProtocolMessageSizes()) {
        ASSERT_TRUE(m.id >= 1000 && m.id < 4000);
        ++perRange[m.id / 1000 - 1];
        if (m.variable) {
            EXPECT_EQ(m.size, 2044) << m.id;
        }
    }
    EXPECT_EQ(perRange[0], 66);
    EXPECT_EQ(perRange[1], 68);
    EXPECT_EQ(perRange[2], 68);
}

TEST_F(MessageSizeTableTest, StartupRefillsTheTable) {
    RegisterMessageSize(1999, 0, 5);
    EXPECT_EQ(CountDefinedMessageSizes(), 203);
    ASSERT_EQ(NetStartup(1), 0);
    EXPECT_EQ(GetMessageSize(1999).defined, 0);
    EXPECT_EQ(CountDefinedMessageSizes(), 202);
}

TEST_F(MessageSizeTableTest, AcceptsWhatAHandlerCanRead) {
    struct Case {
        uint16_t id, length;
        bool accepted;
    } cases[] = {
        {3000, 8, true},     {3000, 7, true},  {3000, 0, true}, {3000, 20, true}, {1015, 0, true}, {1015, 2044, true},
        {1015, 2045, false}, {1999, 0, false}, {4000, 0, false}, {1002, 4, true}, {1002, 3, true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAcceptedPacket(c.id, c.length), c.accepted) << c.id << " " << c.length;
}

}  // namespace
