// What the screens use of the application: its input, UI manager, message
// box, window, music, screen manager, the server's shut-down count-down and
// the game connection. The application implements it and registers itself;
// screens reach the application only through it, so the screen base needs
// nothing of the folders above it. A service a later screen needs becomes a
// member here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/MessageBoxHost.h"
#include "ui/MapListEntry.h"

class CZEMDXInput;
class CUiManager;
class CScreenManager;
class CZEMSound;
class IChatLines;
class COptions;
class IOptionsTarget;
namespace platform {
class CWindow;
struct GfxLight;
}

class IScreenHost {
public:
    virtual ~IScreenHost() = default;

    virtual CZEMDXInput& Input() = 0;
    virtual CUiManager& Ui() = 0;
    virtual IMessageBoxHost& MessageBox() = 0;
    virtual CScreenManager& Screens() = 0;
    // Null when the application runs without a window.
    virtual platform::CWindow* Window() const = 0;
    virtual bool HasWindowFocus() const = 0;
    // The caption of the program's own message boxes.
    virtual std::string WindowTitle() const = 0;
    virtual uint32_t BackBufferWidth() const = 0;
    virtual uint32_t BackBufferHeight() const = 0;
    // 0 when the server's shut-down count-down ran out this frame.
    virtual int TickShutdownCountdown(IChatLines* chat, float dt) = 0;
    // Closes the connection to the game server (harmless when there is none).
    virtual void CloseConnection() = 0;
    // The music that plays now, or null.
    virtual CZEMSound* Bgm() const = 0;
    virtual void StopBgm() = 0;
    // Makes the sound (a reference the caller just obtained) the music and
    // starts it; the music already playing plays on, and the caller's extra
    // reference is given back. Null stops the music.
    virtual void PlayBgm(CZEMSound* sound) = 0;
    // Looks the streamed sound up by name, then PlayBgm; 0 when it did not load
    // (no sound device, say), after the music was stopped.
    virtual int PlayBgmByName(const char* name) = 0;

    // The sum, wrapping at 2^32, of every map's check fields in the three lists.
    virtual uint32_t SumMapChecks() const = 0;
    // The map with the key in any list, or null.
    virtual const MapListEntry* FindMapInfo(int id) const = 0;
    // The index of the map with the file name in list 0, else list 1 (the list
    // written to *list); -1 when neither has it. List 2 is not searched.
    virtual int FindMapByName(const char* name, int* list) const = 0;

    // False until the start-up job has loaded the message box; MessageBox()
    // is then a box that shows nothing.
    virtual bool HasMessageBox() const = 0;
    // The start-up logos of "GAMEINFO.DAT"; names past the lists are empty.
    virtual int LogoCount() const = 0;
    virtual int LogoIndex() const = 0;
    virtual void SetLogoIndex(int index) = 0;
    virtual std::string LogoTexture(int index) const = 0;
    virtual std::string LogoSound(int index) const = 0;
    // The three map lists (load, PVM, tutorial).
    static constexpr int kMapListCount = 3;
    virtual size_t MapCount(int list) const = 0;
    virtual const MapListEntry& Map(int list, size_t index) const = 0;
    // The machine's grade from the system check (0 best .. 3).
    virtual int SystemGrade() const = 0;
    virtual COptions& Options() = 0;
    // The options to the sound, the gamma ramp, the sight and the glow.
    virtual void ApplyOptions() = 0;
    // Where the options window applies one setting at a time (null: nowhere).
    virtual IOptionsTarget* OptionsTarget() { return nullptr; }

    // The configuration's home page and sign-up addresses, and the user's
    // replay folder (empty without an application).
    virtual std::string HomepageAddress() const { return {}; }
    virtual std::string JoinAddress() const { return {}; }
    virtual std::string ReplayFolderPath() const { return {}; }
    // 1 when the machine meets the figures; else 0 with the error report's
    // text naming the shortfall (pvmWording: the versus-machines texts).
    virtual int CheckMinimumSpec(uint32_t, uint32_t, const char*, uint32_t, int) { return 1; }
    // The server's shut-down count-down of the given seconds (message 1040).
    virtual void StartShutdownCountdown(float) {}
    // Gives the processor away for a while (the loading screen's render).
    virtual void Sleep(uint32_t) {}
    // The game tips of "GAMETIP.DAT"; a tip past the list is empty.
    virtual size_t GameTipCount() const { return 0; }
    virtual std::string GameTip(size_t) const { return {}; }
    // Starts the tutorial's mission script; 0 with the error report set.
    virtual int StartMissionScript() { return 1; }
    // The light of the 3D scene, set on the device at once and after a reset.
    virtual void SetSceneLight(const platform::GfxLight&) {}
};

// The application's host, or null (tests of single screens run without one).
IScreenHost* ScreenHost();
// The first registration holds until it is withdrawn with the same host.
void RegisterScreenHost(IScreenHost* host);
void WithdrawScreenHost(IScreenHost* host);
