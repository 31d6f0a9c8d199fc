// The first screen: the start-up logos of "GAMEINFO.DAT", one screen object
// per logo, each coming out of black and going back into it over a 4-second
// showing, with an optional sound. The first logo fixes the option defaults
// for the machine and runs the start-up data job on the loader thread while it
// shows: the data file's digest, the game data block, its preloaded sounds,
// the map lists' data stamps and the play resources. A failed job shows its
// text and ends the program; after the last logo comes the login screen.
//
// Phases: 0 set up, 1 loading (the job runs), 2 load failed, 3 showing,
// 4 going out. The job moves the phase from 1 to 2 or 3; the phase word and
// the progress are atomics, written by the loader thread and polled here.
#pragma once

#include <atomic>

#include "engine/resource/Resource.h"
#include "ui/Screen.h"
#include "ui/ScreenFade.h"

class CLogoScreen : public CScreen {
public:
    enum LogoPhase { PHASE_SETUP, PHASE_LOADING, PHASE_FAILED, PHASE_SHOWING, PHASE_OUT };
    static constexpr float kShowSeconds = 4.0f;
    static constexpr float kInRate = 0.5f;
    static constexpr float kOutRate = 0.8f;
    static constexpr uint32_t kClearColor = 0xFFFFFFFFu;

    CLogoScreen();
    ~CLogoScreen() override;

    int Job() override { return LoadDataJob(); }
    int Update() override;
    void Render() override;

    // The start-up data load; runs on the loader thread.
    int LoadDataJob();

    float Progress() const { return m_progress.load(std::memory_order_acquire); }
    CResource* Sound() const { return m_sound; }
    const CScreenFade& Logo() const { return m_logo; }

private:
    int SetUp();
    // The job's failure: the error report is set; the main thread shows it.
    int Fail();
    void SetProgress(float value) { m_progress.store(value, std::memory_order_release); }

    // The logo image under the screen's fade, which is the black cover.
    CScreenFade m_logo;
    std::atomic<float> m_progress{0.0f};
    CResource* m_sound = nullptr;
};
