// Steps the screens before the lobby share: the wait or normal cursor, a
// message box of the screen's own, the Enter keys that confirm (not with Alt,
// which switches the window mode) and the sealed entry into a game or channel
// server.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/UiObject.h"

class CNetClient;
class CClientSession;
class CScreenFade;
class CScreen;
class CUiObject;
class CUiStatic;
class CUiWindow;
class IScreenHost;
struct NetPacket;

namespace lobby {

constexpr int kWaitCursor = 26;
constexpr int kNormalCursor = 0;
constexpr float kFadeRate = 0.8f;

// Shows cursor n of the UI manager (hides the pointer when none are loaded).
void SelectCursor(int n);
// The screen's own box: answer none, shown and enabled, dimmed at 0.4.
void ShowBox(const char* text, int buttonMode);
// Enter without an Alt key, or keypad Enter, pressed this frame.
bool EnterPressed();
// The session's network client, or null.
CNetClient* Net();
// Seals the session's account (no password) under the key and sends
// PK_ENTER_SERVER; reentry marks the way back from a channel to the game
// server. 1 sent, 0 with the error report set.
int SendEnterServer(CNetClient& net, const CClientSession& session, uint32_t key, bool reentry);
// PK_AUTH_KEY answered with PK_ENTER_SERVER; 0 (the connection closed for a
// cut packet) with the error report set.
int AnswerAuthKey(CNetClient& net, const NetPacket& packet, bool reentry);
// The account id as the servers take it: NUL-padded to 51 bytes at out.
void WriteAccountId(const CClientSession& session, uint8_t* out);

// Messages of no screen in particular: the shared handlers. 0 when the
// error popup is still to be shown.
int HandleOtherMessage(CScreen& screen, const NetPacket& packet);

// Puts the window in the middle of the back buffer, on whole pixels.
void CentreWindow(CUiWindow* window, IScreenHost& host);
// Sets a label's text; a label the layout lacks (null) is skipped.
void SetLabel(CUiStatic* label, const std::string& text);
// A control name with a number in it, "ID_BUTTON_CHAR_%d" and its kin.
std::string NumberedName(const char* format, int n);

// The way every lobby-side screen leaves: the wait cursor, the screen fading
// to black, and with fadeMusic the music fading out.
void BeginLeaving(IScreenHost& host, CScreenFade& fade, bool fadeMusic);

// Clears the target, draws the scene (3D parts the windows show, may be
// empty), the UI windows and the screen's fade.
void RenderScreen(uint32_t clearColor, CScreenFade& fade, const std::function<void()>& scene = {});

}  // namespace lobby
