// The application owns the one command manager: made with it, gone with it.
#include "tests/app/AppFixture.h"

#include "commands/GameCommandManager.h"

TEST_F(AppFixture, TheApplicationOwnsTheCommandManager) {
    EXPECT_EQ(g_pGameCommandManager, nullptr);
    MakeApp();
    ASSERT_NE(g_pGameCommandManager, nullptr);
    EXPECT_NE(g_pGameCommandManager->CreateCommand(CMD_UNIT_STOP), nullptr);
    app.reset();
    EXPECT_EQ(g_pGameCommandManager, nullptr);
}
