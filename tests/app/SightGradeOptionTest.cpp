// The player's sight grade reaches the world object manager of a running
// match, and is kept while no match runs.
#include "tests/app/AppFixture.h"
#include "world/WorldObjectManager.h"

TEST_F(AppFixture, TheSightGradeOptionReachesTheWorldObjectManager) {
    MakeApp();
    app->Options().sightGrade = 1;
    app->ApplyOptions();  // no match: nothing to tell, nothing breaks
    {
        CWorldObjectManager manager;
        struct Case {
            int grade;
            float threshold;
            uint32_t flag;
        };
        for (const Case& c : {Case{2, 10.0f, 1}, Case{0, 30.0f, 0}, Case{1, 20.0f, 1}}) {
            app->Options().sightGrade = c.grade;
            app->ApplyOptions();
            EXPECT_EQ(manager.sightMoveThreshold, c.threshold) << c.grade;
            EXPECT_EQ(manager.sightGradeFlag, c.flag) << c.grade;
        }
    }
    ASSERT_EQ(g_pWorldObjectManager, nullptr);
    app->Options().sightGrade = 2;
    app->ApplyOptions();
}
