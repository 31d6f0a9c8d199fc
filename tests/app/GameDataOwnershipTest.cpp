#include <gtest/gtest.h>

#include "tests/app/AppFixture.h"
#include "tools/SampleGameData.h"
#include "world/GameDataRegistry.h"

namespace {

class AppGameData : public AppFixture {
protected:
    ScreenLog log;
};

TEST_F(AppGameData, TheApplicationOwnsTheRegistryAndItsCleanUpClearsIt) {
    MakeApp();
    app->SetFirstScreenMaker([this] { return new CScriptedScreen("A", &log, {2}); });
    ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    ASSERT_NE(g_pGameDataRegistry, nullptr);
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    EXPECT_GT(g_pGameDataRegistry->Records(CAT_UNIT).Size(), 0u);
    EXPECT_EQ(app->RunMessageLoop(), 1);
    app->Cleanup();
    ASSERT_NE(g_pGameDataRegistry, nullptr);
    EXPECT_EQ(g_pGameDataRegistry->Records(CAT_UNIT).Size(), 0u);
    app.reset();
    EXPECT_EQ(g_pGameDataRegistry, nullptr);
}

}  // namespace
