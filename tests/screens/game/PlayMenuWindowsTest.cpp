// The match's menu windows on the sample folder's layouts: the options and
// the setters each group reaches, the game menu's pauses and no contest, the
// players' board and a replay's control bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/core/Options.h"
#include "engine/input/ZEMDXInput.h"
#include "screens/game/GameMenuWindow.h"
#include "screens/game/OptionsWindow.h"
#include "screens/game/PlayHelpWindow.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/PlayerRankWindow.h"
#include "screens/game/ReplayControlWindow.h"
#include "tests/engine/RecordingOptionsTarget.h"
#include "tests/screens/game/PlayScreenFixture.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiGauge.h"
#include "ui/UiSlider.h"
#include "ui/UiStatic.h"
#include "world/Unit.h"

using namespace platform;

namespace {

class PlayMenuWindowsTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        CMessageTable& messages = g_pMessageTable ? *g_pMessageTable : ownMessages;
        messages.SetMsg(MSG_TIME_MIN_SEC, "%d:%02d");
        messages.SetMsg(MSG_TIME_SEC, "%d s");
        messages.SetMsg(MSG_REPLAY_GAMESPEED, "x%.1f");
        messages.SetMsg(MSG_GAMEPLAY_PING_INFO_GOOD, "G");
        messages.SetMsg(MSG_GAMEPLAY_PING_INFO_NOR, "N");
        messages.SetMsg(MSG_GAMEPLAY_PING_INFO_BAD, "B");
    }
    void TearDown() override {
        if (m_layout && g_pResourceManager) g_pResourceManager->ReleaseResource(m_layout);
        PlayScreenTest::TearDown();
    }
    // A single-player match, loaded.
    CPlayScreen& Start() {
        CPlayScreen& play = Make(1);
        Step();
        return play;
    }
    // A window of its own layout, released by the fixture.
    template <typename Window>
    Window* Load(Window* window, const char* layout) {
        m_layout = g_pResourceManager->GetResource(layout, RES_LAYOUT, window, 1);
        return m_layout ? window : nullptr;
    }
    static bool Hidden(const CUiObject* o) { return o->HasFlags(UI_HIDDEN); }
    static bool Disabled(const CUiObject* o) { return o->HasFlags(UI_DISABLED); }

    CMessageTable ownMessages;
    CResource* m_layout = nullptr;
};

TEST(OptionsWindow, SteppedSlidersSnapToWholeTens) {
    struct Case {
        int32_t value, maximum, want;
    } cases[] = {{4, 30, 0}, {5, 30, 10}, {14, 30, 10}, {14, 20, 10}, {15, 20, 20},
                 {24, 30, 20}, {25, 30, 30}, {25, 20, 20}, {30, 30, 30}, {20, 20, 20}};
    for (const Case& c : cases)
        EXPECT_EQ(COptionsWindow::SnapStep(c.value, c.maximum), c.want) << c.value << " of " << c.maximum;
}

TEST_F(PlayMenuWindowsTest, OptionsShowTheStoredValuesWithinTheSliderRanges) {
    CPlayScreen& play = Start();
    COptionsWindow* w = play.OptionsWindow();
    ASSERT_NE(w, nullptr);
    COptions options;
    options.screenScroll = 2.6f;  // stored values may reach past the slider
    options.sfxVolume = 0.29f;
    options.streamVolume = 0.4f;
    options.gammaValue = 1.0f;
    options.shadowType = 2;
    options.effectGrade = 0;
    options.sightGrade = 1;
    options.showUnitHP = 0;
    options.voiceEnable = 1;
    options.color32Bit = 1;
    CRecordingOptionsTarget target;
    w->SetTargets(&options, &target);
    w->RefreshFromOptions();
    const int32_t want[] = {259, 29, 40, 100, 20, 20, 10};
    for (int i = 0; i < COptionsWindow::kSliders; ++i) EXPECT_EQ(w->Slider(i)->Value(), want[i]) << i;
    // The chosen button of a pair is checked and offered, its partner neither.
    struct Check {
        int index;
        bool checked, offered;
    } checks[] = {{COptionsWindow::CHECK_LIFE_ON, false, false},  {COptionsWindow::CHECK_LIFE_OFF, true, true},
                  {COptionsWindow::CHECK_SOUND_ON, true, true},   {COptionsWindow::CHECK_SOUND_OFF, false, false},
                  {COptionsWindow::CHECK_32BIT, true, true},      {COptionsWindow::CHECK_16BIT, false, false}};
    for (const Check& c : checks) {
        EXPECT_EQ(w->Check(c.index)->Checked(), c.checked) << c.index;
        EXPECT_EQ(w->Check(c.index)->HasFlags(COptionsWindow::kOfferedBit), c.offered) << c.index;
    }
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(PlayMenuWindowsTest, EachOptionGroupReachesExactlyItsSetters) {
    CPlayScreen& play = Start();
    COptionsWindow* w = play.OptionsWindow();
    ASSERT_NE(w, nullptr);
    COptions options;
    options.SetDefaults();
    CRecordingOptionsTarget target;
    w->SetTargets(&options, &target);
    w->RefreshFromOptions();

    // A slider the player moved applies its group on the next input step.
    struct Move {
        int slider;
        int32_t value;
        std::vector<std::string> calls;
    } moves[] = {
        {COptionsWindow::SLIDER_GAME, 200, {}},
        {COptionsWindow::SLIDER_SOUND1, 50, {"effect 0.500000", "stream 0.400000"}},
        {COptionsWindow::SLIDER_VIDEO1, 150, {"sight 2", "gamma 1.500000"}},
        // Between the steps: the value is cut to whole tens until the click snaps it.
        {COptionsWindow::SLIDER_VIDEO2, 14, {"sight 2", "gamma 1.500000"}},
    };
    for (const Move& m : moves) {
        target.calls.clear();
        w->Slider(m.slider)->SetPosition(m.value);
        w->ClearFlags(UI_HIDDEN);
        w->ProcessInput(0.033f, host.input);
        EXPECT_EQ(target.calls, m.calls) << m.slider;
    }
    EXPECT_FLOAT_EQ(options.screenScroll, 2.0f);
    EXPECT_FLOAT_EQ(options.sfxVolume, 0.5f);
    EXPECT_EQ(options.shadowType, 1);

    // The click on a stepped slider snaps it and applies the video group.
    target.calls.clear();
    w->Slider(COptionsWindow::SLIDER_VIDEO3)->SetPosition(14);
    w->OnLButtonClick(w->Slider(COptionsWindow::SLIDER_VIDEO3));
    EXPECT_EQ(w->Slider(COptionsWindow::SLIDER_VIDEO3)->Value(), 10);
    EXPECT_EQ(options.effectGrade, 1);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"sight 2", "gamma 1.500000"}));

    // A pair's click unchecks the partner and applies the pair's group alone.
    target.calls.clear();
    w->Check(COptionsWindow::CHECK_LIFE_OFF)->SetChecked(true);  // the button's own click
    w->OnLButtonClick(w->Check(COptionsWindow::CHECK_LIFE_OFF));
    EXPECT_FALSE(w->Check(COptionsWindow::CHECK_LIFE_ON)->Checked());
    EXPECT_EQ(options.showUnitHP, 0);
    EXPECT_TRUE(target.calls.empty());
    w->Check(COptionsWindow::CHECK_16BIT)->SetChecked(true);
    w->OnLButtonClick(w->Check(COptionsWindow::CHECK_16BIT));
    EXPECT_EQ(options.color32Bit, 0);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"sight 2", "gamma 1.500000"}));

    // Defaults: every group, the gamma ramp and the sight grade included.
    target.calls.clear();
    w->OnLButtonClick(w->DefaultButton());
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"effect 1.000000", "stream 0.400000", "sight 2", "gamma 1.000000"}));
    EXPECT_EQ(options.showUnitHP, 1);
    EXPECT_EQ(options.color32Bit, 1);
    EXPECT_FLOAT_EQ(options.screenScroll, 1.3f);

    // Close hides the window and tells the owner once.
    w->OnLButtonClick(w->CloseButton());
    EXPECT_TRUE(Hidden(w));
    EXPECT_EQ(w->TakeClosed(), 1);
    EXPECT_EQ(w->TakeClosed(), 0);
}

TEST_F(PlayMenuWindowsTest, F10AndTheRequestsOpenAndCloseTheMenuWindows) {
    CPlayScreen& play = Start();
    CGameMenuWindow* menu = play.GameMenu();
    ASSERT_NE(menu, nullptr);
    // Centred: the layout's 322 x 414 on 1024 x 768.
    EXPECT_EQ(menu->Position().x, 351.0f);
    EXPECT_EQ(menu->Position().y, 177.0f);
    EXPECT_TRUE(Hidden(menu));
    Keys({});
    Keys({DIK_F10});
    EXPECT_EQ(play.HandleHotkeys(), 1);
    EXPECT_FALSE(Hidden(menu));

    // The options button asks for the options window; F10 then hides both.
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_GAMECONFIG));
    Keys({});
    play.HandleHotkeys();
    EXPECT_FALSE(Hidden(play.OptionsWindow()));
    Keys({DIK_F10});
    play.HandleHotkeys();
    EXPECT_TRUE(Hidden(menu));
    EXPECT_TRUE(Hidden(play.OptionsWindow()));

    // Key help, and back to the game through the menu's close request.
    play.ToggleWindow(CPlayScreen::WINDOW_MENU, 1);
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_KEYS));
    Keys({});
    play.HandleHotkeys();
    EXPECT_FALSE(Hidden(play.HelpWindow()));
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_RETURN));
    play.UpdateMenuWindows();
    EXPECT_TRUE(Hidden(menu));

    // Insert shows the players' board.
    Keys({DIK_INSERT});
    play.HandleHotkeys();
    EXPECT_FALSE(Hidden(play.RankBoard()));
}

TEST_F(PlayMenuWindowsTest, InAReplayF10TogglesTheControlBar) {
    session.slots[0].heroId = 1;
    session.slots[0].nickname = "ann";
    CPlayScreen& play = Make(3);
    Step();
    CReplayControlWindow* bar = play.ReplayControl();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->PlayerList()->ItemCount(), 1u);
    const bool shown = !Hidden(bar);
    Keys({});
    Keys({DIK_F10});
    play.HandleHotkeys();
    EXPECT_EQ(Hidden(bar), shown);
    EXPECT_TRUE(Hidden(play.GameMenu()));
    // Home and End act on their release.
    bar->PlayerList()->SelectItem(-1);
    Keys({DIK_END});
    Keys({});
    play.StepReplayPlayer(host.input);
    EXPECT_EQ(bar->FollowedName(), "ann");
}

TEST_F(PlayMenuWindowsTest, PausesRestAndRunOutButARunningPauseCanEnd) {
    CPlayScreen& play = Start();
    CGameMenuWindow* menu = play.GameMenu();
    ASSERT_NE(menu, nullptr);
    CUiButton* pause = menu->Button(CGameMenuWindow::BUTTON_PAUSE);
    CUiButton* resume = menu->Button(CGameMenuWindow::BUTTON_PAUSE_CANCEL);
    ASSERT_TRUE(pause && resume);
    Commands().ClearQueue();

    menu->OnLButtonClick(pause);
    std::vector<CGameCommand*> records = Queued(CMD_GAME_EVENT);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->U8(2), 7u);
    EXPECT_EQ(records[0]->I16(4), World().localSlot);
    EXPECT_EQ(records[0]->I16(6), 0);  // pause
    EXPECT_EQ(play.PausesLeft(), CPlayScreen::kPausesPerMatch - 1);
    EXPECT_TRUE(Hidden(pause));
    EXPECT_FALSE(Hidden(resume));
    EXPECT_EQ(menu->TakeCloseRequest(), 1);

    // Within a second of the last pause action, nothing.
    menu->SetPauseClock(0.9f);
    menu->OnLButtonClick(resume);
    EXPECT_EQ(Queued(CMD_GAME_EVENT).size(), 1u);

    // No pauses left: the pause button rests disabled, a running pause ends.
    play.SetPausesLeft(0);
    play.SetPaused(false);
    menu->SyncPauseButtons();
    menu->ProcessInput(1.5f, host.input);
    EXPECT_TRUE(Disabled(pause));
    EXPECT_FALSE(Disabled(resume));
    play.SetPaused(true);
    menu->SyncPauseButtons();
    EXPECT_TRUE(Hidden(pause));
    menu->OnLButtonClick(resume);
    records = Queued(CMD_GAME_EVENT);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]->I16(6), 1);  // resume
    EXPECT_EQ(play.PausesLeft(), 0);

    // The pause event, once run, redraws the pair.
    play.SetPaused(false);
    menu->SyncPauseButtons();
    EXPECT_FALSE(Hidden(pause));
    EXPECT_TRUE(Hidden(resume));
}

TEST_F(PlayMenuWindowsTest, MenuClicksThatMustDoNothing) {
    CPlayScreen& play = Start();
    CGameMenuWindow* menu = play.GameMenu();
    ASSERT_NE(menu, nullptr);
    Commands().ClearQueue();
    // UI-only mode ignores every button.
    play.SetInputMode(CPlayScreen::INPUT_UI_ONLY);
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_PAUSE));
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_RETURN));
    EXPECT_TRUE(Queued(CMD_GAME_EVENT).empty());
    EXPECT_EQ(menu->TakeCloseRequest(), 0);
    play.SetInputMode(CPlayScreen::INPUT_NORMAL);
    // No contest is for online matches only; single play refuses it.
    EXPECT_TRUE(Disabled(menu->Button(CGameMenuWindow::BUTTON_NOCONTEST)));
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_NOCONTEST));
    EXPECT_TRUE(Queued(CMD_GAME_EVENT).empty());
    // A replay never pauses through the menu.
    World().gameMode = 3;
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_PAUSE));
    EXPECT_TRUE(Queued(CMD_GAME_EVENT).empty());

    // Online, no contest asks this player first, through the local queue.
    World().gameMode = 0;
    World().online = 1;
    menu->OnLButtonClick(menu->Button(CGameMenuWindow::BUTTON_NOCONTEST));
    const std::vector<CGameCommand*> records = Queued(CMD_GAME_EVENT);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->U8(2), 9u);
    EXPECT_EQ(records[0]->I16(4), 0);
    EXPECT_EQ(records[0]->I16(6), World().localSlot);
    World().online = 0;
}

TEST(PlayerRankWindow, ScoresOrderAndColours) {
    CPlayerSlot a, b;
    a.points = 9000;  // counts as 6000
    a.heroKills = 1;
    EXPECT_EQ(CPlayerRankWindow::ComputeScore(a), 6000 + 8 * 25 * 2);
    b.unitKills = 2;
    b.buildingKills = 1;
    b.extraPoints = 3;
    EXPECT_EQ(CPlayerRankWindow::ComputeScore(b), ((12 + 2) * 25 + 3) * 2);

    // Equal scores: rule 0 by hero kills then building kills, rule 1 by all kills.
    CPlayerSlot x, y;
    x.score = y.score = 100;
    x.heroKills = 1;
    y.unitKills = 5;
    EXPECT_TRUE(CPlayerRankWindow::RanksAbove(x, false, y, false, 0));
    EXPECT_TRUE(CPlayerRankWindow::RanksAbove(y, false, x, false, 1));
    EXPECT_FALSE(CPlayerRankWindow::RanksAbove(x, false, y, false, 2));
    EXPECT_FALSE(CPlayerRankWindow::RanksAbove(y, false, x, false, 2));
    // A player who left goes below, whatever the score.
    y.score = 1;
    EXPECT_TRUE(CPlayerRankWindow::RanksAbove(y, false, x, true, 0));
    EXPECT_FALSE(CPlayerRankWindow::RanksAbove(x, true, y, false, 0));

    struct Colour {
        bool gone, local, sameTeam;
        const char* name;
        uint32_t want;
    } colours[] = {{true, true, true, "me", 0x888888},     {false, true, true, "[GM]", 0xffcc00},
                   {false, false, false, "[GM]", 0xff00ff}, {false, false, true, "ally", 0x00ff00},
                   {false, false, false, "foe", 0xff0000}};
    for (const Colour& c : colours)
        EXPECT_EQ(CPlayerRankWindow::NameColour(c.gone, c.local, c.sameTeam, c.name), c.want) << c.name;

    // Connection classes past 2 show the bad mark.
    const int marks[][2] = {{0, MSG_GAMEPLAY_PING_INFO_GOOD}, {1, MSG_GAMEPLAY_PING_INFO_NOR},
                            {2, MSG_GAMEPLAY_PING_INFO_BAD}, {3, MSG_GAMEPLAY_PING_INFO_BAD},
                            {255, MSG_GAMEPLAY_PING_INFO_BAD}};
    for (const auto& m : marks)
        EXPECT_EQ(CPlayerRankWindow::ConnectionMark(static_cast<uint8_t>(m[0])), m[1]) << m[0];
}

TEST_F(PlayMenuWindowsTest, RankBoardColumns) {
    CPlayScreen& play = Start();
    CPlayerRankWindow* board = play.RankBoard();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->Position().x, 1024.0f - board->Size().x);
    for (int s = 0; s < 12; ++s) World().ownerTeam[s] = s < 6 ? 0 : 1;
    World().localSlot = 0;
    World().localTeam = 0;
    World().matchKind = 0;
    for (int s : {1, 7, 8}) World().slotOccupied[s] = true;
    World().slotGone[7] = true;
    auto& slots = session.slots;
    slots[0].nickname = "me";
    slots[0].heroKills = 2;
    slots[1].nickname = "ally";
    slots[1].points = 9000;
    slots[7].nickname = "gone";
    slots[7].heroKills = 9;
    slots[8].nickname = "loader";
    slots[8].observer = 1;  // still loading: its score stays
    slots[8].score = 50;
    slots[8].deaths = 3;
    const int32_t level = harness.Unit(0, hero)->level;
    board->Refresh();
    EXPECT_EQ(slots[1].score, 6000);
    EXPECT_EQ(slots[8].score, 50);
    const std::string names = "G </C=00ff00>Lv0 ally\n"
                              "G </C=ffcc00>Lv" + std::to_string(level) + " me\n"
                              "G </C=ff0000>Lv0 loaderO\n"
                              "G </C=888888>Lv0 gone\n";
    EXPECT_EQ(board->Names()->GetText(), names);
    EXPECT_EQ(board->Kills()->GetText(), "</C=00ff00>0\n</C=ffcc00>2\n</C=ff0000>0\n</C=888888>9\n");
    EXPECT_EQ(board->Deaths()->GetText(), "</C=00ff00>0\n</C=ffcc00>0\n</C=ff0000>3\n</C=888888>0\n");

    // Rule 1 counts every kill.
    World().slotOccupied[1] = World().slotOccupied[7] = World().slotOccupied[8] = false;
    World().matchKind = 1;
    slots[0].unitKills = 3;
    board->Refresh();
    EXPECT_EQ(board->Kills()->GetText(), "</C=ffcc00>5\n");
}

TEST_F(PlayMenuWindowsTest, MatchTimeTexts) {
    EXPECT_EQ(FormatMatchTime(45.7f), "45 s");
    EXPECT_EQ(FormatMatchTime(61.0f), "1:01");
    EXPECT_EQ(FormatMatchTime(0.0f), "0 s");
    EXPECT_EQ(FormatMatchTime(-3.0f), "0 s");
}

TEST_F(PlayMenuWindowsTest, ReplayControlSpeedTimeAndPlayers) {
    CPlayScreen& play = Start();
    const char* names[] = {"ann", "bob", "cid"};
    for (int s = 0; s < 3; ++s) {
        session.slots[static_cast<size_t>(s)].heroId = 1;
        session.slots[static_cast<size_t>(s)].nickname = names[s];
    }
    World().localSlot = 1;
    auto* bar = Load(new CReplayControlWindow(&play, 61.0f), CPlayScreen::kReplayControlLayout);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->PlayerList()->ItemCount(), 3u);
    EXPECT_EQ(bar->PlayerList()->Selected(), 1);  // the local slot's entry
    World().gameClock = 45.7f;
    bar->RefreshTexts();
    EXPECT_EQ(bar->TimeLine(), "45 s / 1:01");

    // Faster and slower stay within 0.5 .. 10.
    for (int i = 0; i < 30; ++i) bar->OnLButtonClick(bar->Button(2));
    EXPECT_FLOAT_EQ(play.ReplaySpeed(), 10.0f);
    play.ChangeReplaySpeed(1.0f);
    for (int i = 0; i < 2; ++i) bar->OnLButtonClick(bar->Button(3));
    EXPECT_FLOAT_EQ(play.ReplaySpeed(), 0.5f);
    bar->RefreshTexts();
    EXPECT_EQ(bar->SpeedText(), "x0.5");
    bar->OnLButtonClick(bar->Button(1));
    EXPECT_TRUE(play.Paused());

    // UI-only mode: no button acts.
    play.SetInputMode(CPlayScreen::INPUT_UI_ONLY);
    bar->OnLButtonClick(bar->Button(1));
    bar->OnLButtonClick(bar->Button(2));
    EXPECT_TRUE(play.Paused());
    EXPECT_FLOAT_EQ(play.ReplaySpeed(), 0.5f);
    play.SetInputMode(CPlayScreen::INPUT_NORMAL);

    // Following a player by the list: the slot of that name.
    bar->SelectPlayer(2);
    EXPECT_EQ(bar->FollowedName(), "cid");
    EXPECT_EQ(play.Selection().selected, std::vector<int32_t>{2});
    EXPECT_TRUE(play.FollowSelected());
    bar->SelectPlayer(7);  // no such entry
    EXPECT_EQ(bar->FollowedName(), "cid");

    // Home before the first entry wraps to the last, End after the last to the first.
    bar->PlayerList()->SelectItem(0);
    bar->StepPlayer(-1);
    EXPECT_EQ(bar->PlayerList()->Selected(), 2);
    bar->StepPlayer(1);
    EXPECT_EQ(bar->PlayerList()->Selected(), 0);
    EXPECT_EQ(bar->FollowedName(), "ann");

    // Past the last recorded record the total stands on both sides.
    World().gameMode = 3;
    play.EndMatch(CPlayScreen::LEAVE_LOGIN);
    bar->RefreshTexts();
    EXPECT_EQ(bar->TimeLine(), "1:01 / 1:01");
}

TEST_F(PlayMenuWindowsTest, ReplayWithoutLengthOrPlayersIsHarmless) {
    CPlayScreen& play = Start();
    auto* bar = Load(new CReplayControlWindow(&play, 0.0f), CPlayScreen::kReplayControlLayout);
    ASSERT_NE(bar, nullptr);
    World().gameClock = 30.0f;
    bar->Render();  // no division by the zero length
    EXPECT_EQ(bar->Gauge()->Percent(), 0.0f);
    EXPECT_EQ(bar->PlayerList()->ItemCount(), 0u);
    bar->StepPlayer(1);
    bar->StepPlayer(-1);
    EXPECT_EQ(bar->PlayerList()->Selected(), -1);
    EXPECT_EQ(bar->FollowedName(), "");
}

}  // namespace
