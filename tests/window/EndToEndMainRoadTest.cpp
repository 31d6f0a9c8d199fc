// The main road in a real window: start-up, login, a new Korean nickname,
// the channel, the lobby's chat and a new room, a mate who joins and gets
// ready, the start, a hero pick and the loading screen with the match set.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/RenderStateCache.h"
#include "net/MessageIds.h"
#include "net/RoomRecord.h"
#include "platform/Input.h"
#include "screens/game/LoadingScreen.h"
#include "screens/lobby/CreateNicknameWindow.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/HeroSelectWindow.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LobbyWindow.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/NicknameScreen.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "screens/lobby/WaitRoomWindow.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/window/EndToEndFixture.h"
#include "tools/SampleMap.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

// "용사하나", "안녕하세요" and "초보방" as typed and as the wire carries them.
const char* const kHeroNickUtf8 = "\xEC\x9A\xA9\xEC\x82\xAC\xED\x95\x98\xEB\x82\x98";
const char* const kHeroNickCp949 = "\xBF\xEB\xBB\xE7\xC7\xCF\xB3\xAA";
const char* const kHelloUtf8 = "\xEC\x95\x88\xEB\x85\x95\xED\x95\x98\xEC\x84\xB8\xEC\x9A\x94";
const char* const kHelloCp949 = "\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4";
const char* const kRoomUtf8 = "\xEC\xB4\x88\xEB\xB3\xB4\xEB\xB0\xA9";
const char* const kRoomCp949 = "\xC3\xCA\xBA\xB8\xB9\xE6";
constexpr uint16_t kRoomNumber = 17;
constexpr uint16_t kSampleMapId = 1;  // the sample map in the first map list
constexpr int kMateSlot = 6;

class EndToEndMainRoad : public EndToEndFixture {
protected:
    static bool HasLineWith(CUiListBox& list, const std::string& text) {
        for (uint32_t i = 0; i < list.ItemCount(); ++i)
            if (list.ItemAt(i).text.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(EndToEndMainRoad, FromStartUpToTheLoadingScreen) {
    // 1-2. The logos, the login and the game server's nickname list (none yet).
    ASSERT_NO_FATAL_FAILURE(StartUp());
    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {}));

    // 3. A new nickname typed in Korean.
    auto* nick = CurrentAs<CNicknameScreen>();
    CSelectNicknameWindow& select = *nick->SelectWindow();
    EXPECT_FALSE(select.HasNickname(0));
    scenario.CreateNickname(kHeroNickCp949);
    ASSERT_TRUE(ClickControl("ID_BUTTON_NICKMAKE"));
    ASSERT_TRUE(Until("the new-nickname window takes the name",
                      [&] { return nick->Phase() == CNicknameScreen::PHASE_CREATING; }));
    ASSERT_EQ(app->Ui().Focus(), nick->CreateWindow()->Edit());
    ASSERT_NO_FATAL_FAILURE(TypeText(kHeroNickUtf8));
    EXPECT_STREQ(nick->CreateWindow()->Edit()->GetText(), kHeroNickCp949);
    Tap(DIK_RETURN);
    ASSERT_TRUE(Until("the list shows the new nickname", [&] { return select.HasNickname(0); }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    // The 17-byte nickname field after the account id: the CP949 bytes, zeros after them.
    ASSERT_EQ(scenario.nicknameCreate.size(), 70u);
    char field[17] = {};
    std::memcpy(field, kHeroNickCp949, std::strlen(kHeroNickCp949));
    EXPECT_EQ(0, std::memcmp(scenario.nicknameCreate.data() + 51, field, sizeof(field)));

    // 4-5. The first channel and the lobby.
    CLobbyScreen* lobby = JoinFirstChannel(kHeroNickCp949);
    ASSERT_NE(lobby, nullptr);
    ASSERT_FALSE(HasFatalFailure());
    CLobbyWindow& w = *lobby->Window();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(scenario.lobbyEnter.data() + 51)), kHeroNickCp949);

    // The keep-alive 2039 went out on entry and goes again ten seconds of the stepped clock later.
    ASSERT_TRUE(Until("the keep-alive goes out on entry", [&] { return scenario.KeepAliveTimes().size() >= 1; }));
    EXPECT_EQ(scenario.KeepAliveTimes().size(), 1u);
    ASSERT_TRUE(Until(
        "the keep-alive goes out again", [&] { return scenario.KeepAliveTimes().size() >= 2; }, 20000));
    const std::vector<uint32_t> keepAlives = scenario.KeepAliveTimes();
    // Never early; late by the frames the clock steps through (it steps on
    // every reading, the sound's and the servers' threads read it too).
    EXPECT_GE(keepAlives[1] - keepAlives[0], 10000u);
    EXPECT_LE(keepAlives[1] - keepAlives[0], 15000u);
    EXPECT_EQ(keepAlives.size(), 2u);

    // "안녕하세요": Enter focuses the chat edit, the input method types, Enter sends 1017.
    scenario.ExpectLobbyChat();
    Tap(DIK_RETURN);
    ASSERT_EQ(app->Ui().Focus(), w.ChatEdit());
    ASSERT_NO_FATAL_FAILURE(TypeText(kHelloUtf8));
    Tap(DIK_RETURN);
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    ASSERT_EQ(scenario.chat.size(), 18 + std::strlen(kHelloCp949));
    EXPECT_STREQ(reinterpret_cast<const char*>(scenario.chat.data()), kHeroNickCp949);
    EXPECT_STREQ(reinterpret_cast<const char*>(scenario.chat.data() + 17), kHelloCp949);

    // The make-room window: "초보방" as its title, OK sends 2006; 3006 and the room follow.
    RoomSpec room;
    room.number = kRoomNumber;
    room.title = kRoomCp949;
    room.mapId = kSampleMapId;
    room.hostSlot = 0;
    room.Seat(0, kHeroNickCp949);
    scenario.MakeRoom(room, kMateSlot, "mate");
    ASSERT_TRUE(ClickControl("ID_BUTTON_MAKEROOM"));
    CMakeRoomWindow& make = *lobby->MakeRoom();
    ASSERT_EQ(app->Ui().Focus(), make.TitleEdit());
    ASSERT_NO_FATAL_FAILURE(TypeText(kRoomUtf8));
    ASSERT_TRUE(ClickControl("ID_BUTTON_OK", &make));

    // 6. The room: the player hosts slot 0, the mate enters slot 6 and gets ready.
    CWaitRoomScreen* wait = nullptr;
    ASSERT_TRUE(Until("the mate is ready in the room", [&] {
        wait = CurrentAs<CWaitRoomScreen>();
        return wait && wait->Phase() == CWaitRoomScreen::PHASE_ROOM && Session().room.Slot(kMateSlot)[2] == 1 &&
               !wait->Window()->StartButton()->HasFlags(UI_HIDDEN);
    }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    ASSERT_EQ(scenario.makeRoom.size(), kMakeRoomSize);
    EXPECT_STREQ(reinterpret_cast<const char*>(scenario.makeRoom.data()), kRoomCp949);
    EXPECT_EQ(Session().room.MemberNickname(0), kHeroNickCp949);
    EXPECT_EQ(Session().room.MemberNickname(kMateSlot), "mate");
    EXPECT_TRUE(HasLineWith(*wait->Window()->ChatList(), "mate"));

    // Start: 2010; 3010 with the sample map; hero select with the mate's pick (1019).
    const uint32_t mateHero = NameHash("Dawn Hunter");
    std::array<uint32_t, 12> choices{};
    choices[kMateSlot] = mateHero;
    scenario.StartMatch(kSampleMapId, choices);
    ASSERT_TRUE(ClickControl("ID_BUTTON_START"));
    CHeroSelectScreen* hero = nullptr;
    ASSERT_TRUE(Until("hero select shows the mate's pick", [&] {
        hero = CurrentAs<CHeroSelectScreen>();
        return hero && hero->Phase() == CHeroSelectScreen::PHASE_PICKING && hero->HeroChoices()[kMateSlot] == mateHero;
    }));
    EXPECT_EQ(Session().mapId, kSampleMapId);
    EXPECT_EQ(Session().mapFile, kSampleMap);
    EXPECT_EQ(hero->Side(), 0);

    // 7. A click on the first hero of the first tab; its preview is drawn in the detail.
    ASSERT_FALSE(hero->HeroList(hero->SelectedRace()).empty());
    const uint32_t picked = hero->HeroList(hero->SelectedRace())[0].record->id;
    Frames(2);
    ASSERT_TRUE(ClickControl("ID_BUTTON_CHAR_0"));
    EXPECT_EQ(hero->SelectedIndex(), 0);
    ASSERT_NO_FATAL_FAILURE(ExpectHeroPreview());

    std::array<uint32_t, 12> final{};
    final[0] = picked;
    final[kMateSlot] = mateHero;
    std::array<uint8_t, 12> levels{};
    levels[0] = 3;
    levels[kMateSlot] = 2;
    scenario.PickHero(final, levels);
    ASSERT_TRUE(ClickControl("ID_BUTTON_OK"));
    CLoadingScreen* loading = nullptr;
    ASSERT_TRUE(Until("the loading screen follows the fade",
                      [&] { return (loading = CurrentAs<CLoadingScreen>()) != nullptr; }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    ASSERT_EQ(scenario.pick.size(), 6u);
    EXPECT_EQ(scenario.pick[0] | scenario.pick[1] << 8, 0);
    EXPECT_EQ(static_cast<uint32_t>(RoomRecord::I32(&scenario.pick[2])), picked);

    // The match as the loading screen takes it.
    const CWorldObjectManager& world = *g_pWorldObjectManager;
    EXPECT_EQ(world.gameMode, 0);
    EXPECT_EQ(world.IsNetworkGame(), 1);
    for (size_t slot = 0; slot < final.size(); ++slot) {
        SCOPED_TRACE(slot);
        if (final[slot] > 1) {
            EXPECT_EQ(Session().slots[slot].heroId, final[slot]);
            EXPECT_EQ(Session().slots[slot].cardLevel, levels[slot]);
        }
    }
    EXPECT_EQ(Session().mapFile, kSampleMap);
    EXPECT_EQ(Session().mapId, kSampleMapId);
    EXPECT_TRUE(ErrorReport().Text().empty()) << ErrorReport().Text();
}

}  // namespace
