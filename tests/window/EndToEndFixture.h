// The whole client as a player meets it, in a real SDL window with the GL
// device (under the test program's own Xvfb): every screen's real maker, the
// start-up logos first, the scripted input and input method, the in-memory
// registry, a stepped clock, silent sound, the sample game folder and the
// three fake servers driven by one scenario. The player's hands are helpers:
// a click on a control by its layout name (at its centre on the screen),
// text typed through the input method syllable by syllable, and key taps.
//
// When a test fails, the last frame (a JPEG) and the servers' packet log are
// written to its output folder: $QOR_TEST_OUTPUT/<suite>.<test>, or
// test-output/<suite>.<test> under the working folder.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/EndToEndScenario.h"

class CLobbyScreen;
class CUiObject;
class CUiWindow;

class EndToEndFixture : public LobbyFixture {
protected:
    EndToEndFixture();
    void SetUp() override;
    void TearDown() override;

    // The first visible control of this name (or any, shown or not, without
    // shownOnly), topmost window first (only in `window` when given); null
    // when there is none.
    CUiObject* FindControl(const char* name, CUiWindow* window = nullptr, bool shownOnly = true);
    // Moves the pointer to the control's centre and clicks the left button
    // there; false when no such control is shown.
    bool ClickControl(const char* name, CUiWindow* window = nullptr);
    // Types UTF-8 text through the input method: each Korean syllable is
    // composed and then committed, anything else committed as it comes.
    void TypeText(const std::string& utf8);
    // The stages every run goes through, each checked on the screen and on
    // the wire (use with ASSERT_NO_FATAL_FAILURE).
    // The logos, then the login screen with its window shown (without
    // startWithLogos: the login screen at once).
    void StartUp();
    // The id and password typed, Tab between them, Enter: the login server,
    // the connect screen and the game server up to the nickname screen,
    // which lists these nicknames.
    void LogIn(const std::string& id, const std::string& password, const std::vector<FakeNickname>& nicknames);
    // Enter on the chosen nickname, the channel list, Down, Up and Enter:
    // the channel server's entry and the lobby's, up to the lobby taking input.
    CLobbyScreen* JoinFirstChannel(const std::string& nickname);
    // Runs frames until the condition holds; else a failure naming the step
    // and the screen, and false.
    bool Until(const char* step, const std::function<bool()>& done, int frames = 3000);

    // The last frame drawn, top row first.
    std::vector<uint32_t> LastFrame();
    // The sample hero's (green) pixels inside the control's rectangle on the last frame.
    int ModelPixels(CUiObject& control);
    // The hero's model drawn inside ID_STATIC_DETAIL within some frames.
    void ExpectHeroPreview();

    // The current screen's class name, for failure messages.
    std::string ScreenName();
    // The servers' failures and size faults as test failures.
    void NoServerFailures();
    // The last frame as screen.jpg and the servers' packets as packets.txt
    // in the folder, as a failed test leaves them.
    void WriteArtefacts(const std::string& folder);
    // The folder this test's failure artefacts go to (made on demand).
    std::string OutputFolder() const;

    // The stepped clock: 16 ms a read, atomic since the servers' threads read it too.
    static constexpr uint32_t kFrameMs = 16;
    static inline std::atomic<uint32_t> s_clock{0};
    static uint32_t SteppedNow();
    static uint32_t Clock() { return s_clock.load(); }

    CEndToEndScenario scenario{login, game, channel};
    // Set before SetUp: the client starts with its logos, which load the game
    // data; else with the login screen and the data loaded beforehand, as the
    // shorter runs do.
    bool startWithLogos = true;

private:
    std::filesystem::path m_outputRoot;
};
