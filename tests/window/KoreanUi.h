// The window tests' UI on a device: a UI manager with the Korean outline
// font (NanumGothic, 14 px) and the control types registered, and the next
// message of a client connection, waited for a bounded time.
#pragma once

#include <memory>

#include "engine/text/FontList.h"
#include "net/NetPacket.h"
#include "ui/UiManager.h"

class CNetClient;
class CUiFreeTypeFont;
namespace platform {
class CGfxDevice;
}

class KoreanUi {
public:
    explicit KoreanUi(platform::CGfxDevice& device);
    // Deletes the windows and leaves the device.
    ~KoreanUi();
    KoreanUi(const KoreanUi&) = delete;
    KoreanUi& operator=(const KoreanUi&) = delete;

    // False when the font or its textures could not be made (the error report says why).
    bool Ok() const { return m_font != nullptr; }
    CUiManager& Ui() { return m_ui; }

private:
    CFontList m_fonts;
    std::unique_ptr<CUiFreeTypeFont> m_font;
    CUiManager m_ui;
};

// The next message of the connection into packet; false after a receive
// error or two seconds without one.
bool WaitForPacket(CNetClient& net, NetPacket& packet);
