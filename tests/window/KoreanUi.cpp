#include "tests/window/KoreanUi.h"

#include "engine/text/FontFileLocator.h"
#include "net/NetClient.h"
#include "net/SocketLayer.h"
#include "ui/UiControls.h"
#include "ui/UiFreeTypeFont.h"

KoreanUi::KoreanUi(platform::CGfxDevice& device) {
    if (m_fonts.Textures().CreateTextTextures(&device) != 1) return;
    FontFile file;
    if (CFontFileLocator().Locate("NanumGothic.ttf", 0, &file) != 1) return;
    auto created = std::make_unique<CFreeTypeFont>();
    if (created->Create(CFreeTypeFont::OUTLINE_FULL, 14, std::move(file), 0, 0, 0, 0, 1, 1) != 1) return;
    m_font = std::make_unique<CUiFreeTypeFont>(m_fonts.Add(std::move(created)));
    m_ui.SetDevice(&device);
    m_ui.AddFont(m_font.get());
    RegisterUiControls();
}

KoreanUi::~KoreanUi() {
    m_ui.Ime().Create(nullptr);
    m_ui.DeleteAllWindows();
    m_ui.SetDevice(nullptr);
}

bool WaitForPacket(CNetClient& net, NetPacket& packet) {
    packet.id = 0;
    for (int i = 0; i < 200; ++i) {
        if (net.RecvPacket(packet) != 1) return false;
        if (packet.id != 0) return true;
        platform::SocketWaitFor(net.GetSocket(), platform::SOCKET_READABLE, 10);
    }
    return false;
}
