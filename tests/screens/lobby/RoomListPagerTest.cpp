// The room-list pages and their cool-downs.
#include <gtest/gtest.h>

#include "screens/lobby/RoomListPager.h"

TEST(RoomListPager, PagesStayWithinTheListAndPressesCoolDown) {
    CRoomListPager pager;
    EXPECT_EQ(pager.Before(), 0);  // page 0 ignores BEFORE
    EXPECT_EQ(pager.Next(), 1);
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_FALSE(pager.PageButtonsEnabled());
    EXPECT_EQ(pager.Next(), 0);  // within the second
    pager.Tick(0.5f);
    EXPECT_EQ(pager.Next(), 0);
    pager.Tick(0.5f);
    EXPECT_TRUE(pager.PageButtonsEnabled());
    for (int i = 0; i < 200; ++i) {
        pager.Next();
        pager.Tick(1.0f);
    }
    EXPECT_EQ(pager.CurrentPage(), kLastRoomPage);  // page 98 ignores NEXT
    EXPECT_EQ(pager.Next(), 0);
    EXPECT_EQ(pager.Before(), 1);
    EXPECT_EQ(pager.CurrentPage(), 97);
}

TEST(RoomListPager, EachKindKeepsItsPageAndSwitchingCoolsDown) {
    CRoomListPager pager;
    pager.Next();
    pager.Tick(1.0f);
    EXPECT_EQ(pager.SwitchKind(ROOM_LIST_ALL), 0);  // already shown
    EXPECT_EQ(pager.SwitchKind(ROOM_LIST_WAITING), 1);
    EXPECT_EQ(pager.Kind(), ROOM_LIST_WAITING);
    EXPECT_EQ(pager.CurrentPage(), 0);
    EXPECT_FALSE(pager.KindBoxEnabled(ROOM_LIST_ALL));
    EXPECT_TRUE(pager.KindBoxEnabled(ROOM_LIST_WAITING));
    EXPECT_EQ(pager.SwitchKind(ROOM_LIST_ALL), 0);
    pager.Tick(1.0f);
    EXPECT_EQ(pager.SwitchKind(ROOM_LIST_ALL), 1);
    EXPECT_EQ(pager.CurrentPage(), 1);
    EXPECT_EQ(pager.Page(ROOM_LIST_WAITING), 0);
}
