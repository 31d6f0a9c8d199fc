// The play resources on the sample game folder: every member loads, the
// sound-off path, shared sounds, the cursor list, pinned panel textures and
// the race and class icons.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "screens/game/PlayResources.h"
#include "tests/app/AppFixture.h"
#include "ui/UiCursorHost.h"
#include "ui/UiStatic.h"
#include "world/UnitData.h"

namespace {

class CountingCursors : public IUiCursorHost {
public:
    uintptr_t LoadCursor(uint32_t id) override {
        ids.push_back(id);
        return id;
    }
    void SetCursor(uintptr_t) override {}
    void ShowCursor(bool) override {}
    std::vector<uint32_t> ids;
};

class PlayResourcesTest : public AppFixture {
protected:
    void Start() {
        MakeApp();
        ASSERT_EQ(app->CreateApp(), 1);
        app->Ui().SetCursorHost(&cursors);
    }
    CountingCursors cursors;
};

TEST_F(PlayResourcesTest, EveryMemberLoadsAndReleasesInBalance) {
    Start();
    CPlayResources& play = *g_pPlayResources;
    ASSERT_EQ(play.Load(), 1) << ErrorReport().Text();
    for (CResource* r : play.textures) EXPECT_NE(r, nullptr);
    for (CResource* r : play.levelIcons) EXPECT_NE(r, nullptr);
    for (CResource* r : play.disabledIcons) EXPECT_NE(r, nullptr);
    EXPECT_EQ(play.raceIcons[4], nullptr);
    EXPECT_EQ(play.clickMarkers[2], play.clickMarkers[3]);
    EXPECT_EQ(play.clickMarkers[2]->RefCount(), 2);
    EXPECT_EQ(play.raceNames.size(), 4u);
    EXPECT_EQ(play.gameModeNames.size(), 5u);
    EXPECT_EQ(CPlayResources::ListEntry(play.rankNames, 99), "");

    // 28 entries, the empty ones keeping their places.
    ASSERT_EQ(cursors.ids.size(), 28u);
    EXPECT_EQ(cursors.ids[5], 0u);
    EXPECT_EQ(cursors.ids[27], 160u);

    // Pinning takes one reference more on each panel; releasing gives it back.
    CResource* victory = play.textures[CPlayResources::TEX_VICTORY];
    const int32_t before = victory->RefCount();
    ASSERT_EQ(play.HoldPanelTextures(), 1);
    EXPECT_EQ(play.PinnedCount(), 9u);
    EXPECT_EQ(victory->RefCount(), before + 1);
    play.ReleasePanelTextures();
    EXPECT_EQ(play.PinnedCount(), 0u);
    EXPECT_EQ(victory->RefCount(), before);
}

TEST_F(PlayResourcesTest, SoundOffLoadsSilentlyAndSharedSoundsCountHolders) {
    Start();
    CPlayResources& play = *g_pPlayResources;
    app->Resources().SetSoundDeviceCheck([] { return false; });
    ASSERT_EQ(play.Load(), 1) << ErrorReport().Text();
    for (CResource* r : play.sounds) EXPECT_EQ(r, nullptr);
    EXPECT_EQ(play.ambientSound, nullptr);
    EXPECT_NE(std::string(ErrorReport().Text()).find("Sound load fail"), std::string::npos);

    app->Resources().SetSoundDeviceCheck([] { return true; });
    if (play.Load() == 1 && play.sounds[CPlayResources::SND_GONG]) {
        CResource* again = app->Resources().GetResource("CARTOON-GONG-LRG-SOFT-HIT.OGG", RES_SOUND_EFFECT, nullptr, 1);
        EXPECT_EQ(again, play.sounds[CPlayResources::SND_GONG]);
        EXPECT_EQ(again->RefCount(), 2);
        app->Resources().ReleaseResource(again);
    }
}

TEST_F(PlayResourcesTest, RaceAndClassIcons) {
    Start();
    CPlayResources& play = *g_pPlayResources;
    ASSERT_EQ(play.Load(), 1) << ErrorReport().Text();
    struct Case {
        uint32_t flags;
        int index;
    } cases[] = {{0x10 | 0x100, 0},
                 {0x10 | 0x200, 1},
                 {0x10 | 0x400 | 0x800, 2},
                 {0x10 | 0x800, 3},
                 {0x10, 4},
                 {0x100, 4},
                 {0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(CPlayResources::RaceIndex(c.flags), c.index);
        CUnitData unit;
        unit.flags = c.flags;
        CUiStatic icon;
        icon.Create(nullptr, "ID_ICON", 0, 0, 16, 16, 0);
        play.SetRaceIcon(&icon, &unit);
        EXPECT_EQ(icon.HasFlags(0x2), c.index == 4);
        if (c.index < 4) {
            EXPECT_EQ(icon.Image(), play.raceIcons[static_cast<size_t>(c.index)]);
            EXPECT_EQ(icon.GetText(), play.raceNames[static_cast<size_t>(c.index)]);
        }
    }
    CUnitData unit;
    unit.unitClass = 2;
    CUiStatic icon;
    icon.Create(nullptr, "ID_ICON", 0, 0, 16, 16, 0);
    play.SetClassIcon(&icon, &unit);
    EXPECT_EQ(icon.Image(), play.classIcons[2]);
    EXPECT_EQ(icon.GetText(), "Intelligence");
}

}  // namespace
