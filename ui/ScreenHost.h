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

class CZEMDXInput;
class CUiManager;
class CScreenManager;
class CZEMSound;
class IChatLines;
class COptions;
namespace platform {
class CWindow;
}

// One map of a map list of "GAMEINFO.DAT".
struct MapListEntry {
    std::string text1, fileName, text2, text3;
    uint8_t digest[16] = {};
    uint32_t dataStamp = 0;  // the game data block the map was made with
    int key = 0;
};

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
};

// The application's host, or null (tests of single screens run without one).
IScreenHost* ScreenHost();
// The first registration holds until it is withdrawn with the same host.
void RegisterScreenHost(IScreenHost* host);
void WithdrawScreenHost(IScreenHost* host);
