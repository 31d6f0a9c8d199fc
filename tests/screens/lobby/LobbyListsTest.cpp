// The channel and nickname lists as the servers send them, hostile ones included.
#include <gtest/gtest.h>

#include "screens/lobby/ChannelWindow.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "tests/servers/LoginPackets.h"

namespace {

TEST(ChannelGauge, LevelsFromUsersAndCapacity) {
    struct Case {
        uint16_t users, capacity;
        int level;
    };
    const Case cases[] = {{0, 100, 1}, {50, 100, 7}, {99, 100, 13}, {100, 100, 14},
                          {5, 0, 1},   {0, 0, 1},    {65535, 10, 14}, {65535, 65535, 14}};
    for (const Case& c : cases) EXPECT_EQ(ChannelGaugeLevel(c.users, c.capacity), c.level) << c.users << "/" << c.capacity;
}

TEST(ChannelList, TextsStayInTheirFields) {
    std::vector<uint8_t> bytes = ChannelListPayload({{"First", "127.0.0.1", 1, 2}});
    // Names and addresses without their NUL.
    for (size_t i = 0; i < 33; ++i) bytes[57 + i] = 'N';
    for (size_t i = 0; i < 18; ++i) bytes[57 + 33 + i] = '9';
    ChannelList list;
    ASSERT_EQ(ReadChannelList(bytes.data(), bytes.size(), &list), 1);
    EXPECT_EQ(list.entries[0].name, "First");
    EXPECT_EQ(list.entries[0].address, "127.0.0.1");
    EXPECT_EQ(list.entries[1].name, std::string(32, 'N'));
    EXPECT_EQ(list.entries[1].address, std::string(17, '9'));
    EXPECT_EQ(ReadChannelList(bytes.data(), 569, &list), 0);
}

TEST(NicknameList, SlotsCountersAndHostileRanks) {
    const std::vector<uint8_t> bytes =
        NicknameListPayload({{"hero1", 0, 5, 7, 2}, {}, {"hero3", 250, 9, 1, 0}}, 12, 180);
    ASSERT_EQ(bytes.size(), NicknameList::kSize);
    NicknameList list;
    ASSERT_EQ(ReadNicknameList(bytes.data(), bytes.size(), &list), 1);
    EXPECT_EQ(list.ok, 1);
    EXPECT_EQ(list.slots[0].nickname, "hero1");
    EXPECT_EQ(list.slots[0].wins, 7);
    EXPECT_EQ(list.slots[0].losses, 2);
    EXPECT_TRUE(list.slots[1].nickname.empty());
    EXPECT_EQ(list.slots[2].rank, 250u);
    EXPECT_EQ(list.disconnects, 12);
    EXPECT_EQ(list.disconnectPoints, 180);
    EXPECT_EQ(DisconnectLevel(180), 6);
    EXPECT_EQ(DisconnectLevel(65535), 6);
    EXPECT_EQ(DisconnectLevel(29), 0);
    // A nickname without its NUL is cut to 16 bytes; a short list is refused.
    std::vector<uint8_t> longName = bytes;
    for (size_t i = 0; i < 17; ++i) longName[2 + 19 + i] = 'x';
    ASSERT_EQ(ReadNicknameList(longName.data(), longName.size(), &list), 1);
    EXPECT_EQ(list.slots[0].nickname, std::string(16, 'x'));
    EXPECT_EQ(ReadNicknameList(bytes.data(), 200, &list), 0);
}

}  // namespace
