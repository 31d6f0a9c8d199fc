// The lobby's player list rows and the names taken back from them.
#include <gtest/gtest.h>

#include "screens/lobby/ConnecterRows.h"

TEST(ConnecterRows, OwnAndOperatorRowsAreMarkedAndNamesComeBackBare) {
    LobbyUserList users;
    users.count = 4;
    users.names = {"Alpha", "[GM]Op", "[Me]", "Bob"};
    const std::vector<std::string> rows = MakeConnecterRows(users, "[Me]");
    // The own nickname takes the own colour even when it contains "[".
    EXPECT_EQ(rows, (std::vector<std::string>{"Alpha", "</C=ff00ff>[GM]Op", "</C=ffcc00>[Me]", "Bob"}));
    EXPECT_EQ(ConnecterName(rows[1]), "[GM]Op");
    EXPECT_EQ(ConnecterName(rows[0]), "Alpha");
    EXPECT_EQ(ConnecterName("</C=ff"), "</C=ff");  // a cut tag stays as it is
    EXPECT_TRUE(IsOwnConnecterRow(rows[2], "[Me]"));
    EXPECT_FALSE(IsOwnConnecterRow(rows[1], "[Me]"));
    EXPECT_FALSE(IsOwnConnecterRow("[Me]", "[Me]"));
}
