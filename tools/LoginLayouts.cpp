#include "tools/LoginLayouts.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"
#include "ui/UiEditBox.h"

namespace {

}  // namespace

std::vector<uint8_t> SampleTune(double frequency) {
    constexpr uint32_t kRate = 22050;
    std::vector<uint8_t> pcm(kRate * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const auto v = static_cast<int16_t>(3000.0 * std::sin(2.0 * 3.14159265358979 * frequency * t));
        pcm[2 * i] = static_cast<uint8_t>(v & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    return EncodeOgg(pcm, 1, kRate);
}

LayoutFileSpec LoginLayout() {
    LayoutFileSpec spec = WindowLayout("WND_LOGIN", 0, 0, 1024, 768);
    // A grey that the back buffer holds exactly; the screen's centre shows it.
    spec.window.colour[0] = spec.window.colour[1] = spec.window.colour[2] = 0.8f;
    spec.children = {
        StaticRecord("ID_STATIC_ID", 380, 300, 80, 24, "ID"),
        EditBoxRecord("ID_EDIT_ID", 470, 300, 180, 24),
        StaticRecord("ID_STATIC_PASS", 380, 334, 80, 24, "Password"),
        EditBoxRecord("ID_EDIT_PASS", 470, 334, 180, 24, CUiEditBox::kStylePassword),
        ButtonRecord("ID_BUTTON_LOGIN", 660, 300, 80, 58, "Login"),
        ButtonRecord("ID_BUTTON_HOMEPAGE", 380, 430, 110, 28, "Home page"),
        ButtonRecord("ID_BUTTON_JOIN", 500, 430, 110, 28, "Join"),
        ButtonRecord("ID_BUTTON_REPLAY", 620, 430, 120, 28, "Replays"),
        ButtonRecord("ID_BUTTON_EXIT", 900, 720, 100, 28, "Exit"),
    };
    return spec;
}

LayoutFileSpec ReplayListLayout() {
    LayoutFileSpec spec = WindowLayout("WND_REPLAY_LIST", 0, 0, 400, 320);
    spec.children = {
        ListBoxRecord("ID_LIST_MAIN", 10, 10, 380, 250, 1, 10, 20),
        ButtonRecord("ID_BUTTON_START", 180, 280, 100, 28, "Start"),
        ButtonRecord("ID_BUTTON_EXIT", 290, 280, 100, 28, "Close"),
    };
    return spec;
}

LayoutFileSpec SelectChannelLayout() {
    LayoutFileSpec spec = WindowLayout("WND_SELECT_CHANNEL", 262, 134, 500, 500);
    for (int i = 1; i <= 10; ++i) {
        const float y = 20.0f + 40.0f * static_cast<float>(i - 1);
        spec.children.push_back(CheckButtonRecord("ID_CHECKBUTTON_CHANNEL_" + std::to_string(i), 20, y + 6, 20, 20));
        spec.children.push_back(StaticRecord("ID_STATIC_CHANNEL" + std::to_string(i), 50, y, 150, 30));
    }
    spec.children.push_back(ButtonRecord("ID_BUTTON_JOIN", 280, 450, 100, 30, "Join"));
    spec.children.push_back(ButtonRecord("ID_BUTTON_BACK", 390, 450, 100, 30, "Back"));
    return spec;
}

LayoutFileSpec SelectNicknameLayout() {
    LayoutFileSpec spec = WindowLayout("WND_SELECT_NICKNAME", 212, 184, 600, 400);
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        const float y = 20.0f + 70.0f * static_cast<float>(i - 1);
        spec.children.push_back(CheckButtonRecord("ID_CHECKBUTTON_BAR_" + n, 10, y, 580, 60));
        spec.children.push_back(StaticRecord("ID_STATIC_CLASS" + n, 20, y + 5, 200, 24));
        spec.children.push_back(StaticRecord("ID_STATIC_NICK" + n, 230, y + 5, 160, 24));
        spec.children.push_back(StaticRecord("ID_STATIC_WIN" + n, 400, y + 5, 80, 24));
        spec.children.push_back(StaticRecord("ID_STATIC_LOSE" + n, 490, y + 5, 80, 24));
    }
    spec.children.push_back(StaticRecord("ID_STATIC_DISGRACE", 20, 240, 300, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_DISCOUNT", 330, 240, 60, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_DISPOINT", 400, 240, 60, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_DISHELP", 20, 270, 560, 24));
    spec.children.push_back(ButtonRecord("ID_BUTTON_JOIN", 20, 350, 120, 30, "Join"));
    spec.children.push_back(ButtonRecord("ID_BUTTON_NICKMAKE", 160, 350, 120, 30, "Make"));
    spec.children.push_back(ButtonRecord("ID_BUTTON_DELETE", 300, 350, 120, 30, "Delete"));
    spec.children.push_back(ButtonRecord("ID_BUTTON_BACK", 460, 350, 120, 30, "Back"));
    return spec;
}

LayoutFileSpec CreateNicknameLayout() {
    LayoutFileSpec spec = WindowLayout("WND_CREATE_NICKNAME", 0, 0, 360, 160);
    spec.children = {
        StaticRecord("ID_STATIC_INFO", 10, 10, 340, 40),
        EditBoxRecord("ID_EDIT_NICKNAME", 10, 60, 340, 26),
        ButtonRecord("ID_BUTTON_OK", 140, 110, 100, 30, "OK"),
        ButtonRecord("ID_BUTTON_CANCEL", 250, 110, 100, 30, "Cancel"),
    };
    return spec;
}

int AddLoginLayouts(CPackageWriter& package) {
    // Layouts are read as they lie in the package: no digest.
    bool ok = package.Add("LOGIN.DUI", BuildLayout(LoginLayout()), false) != 0;
    ok = ok && package.Add("REPLAY_LIST.DUI", BuildLayout(ReplayListLayout()), false);
    ok = ok && package.Add("SELECT_CHANNEL.DUI", BuildLayout(SelectChannelLayout()), false);
    ok = ok && package.Add("SELECT_NICKNAME.DUI", BuildLayout(SelectNicknameLayout()), false);
    ok = ok && package.Add("CREATE_NICKNAME.DUI", BuildLayout(CreateNicknameLayout()), false);
    return ok ? 1 : 0;
}

int AddLoginMedia(CPackageWriter& package) {
    bool ok = package.Add("SELECT_CHANNEL_GRAPH_GREEN.DDS",
                          CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 14, 0xFF30C040u)) != 0;
    ok = ok && package.Add("SELECT_CHANNEL_GRAPH_RED.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 14, 0xFFE03020u));
    ok = ok && package.Add("BGM-LOGIN.OGG", SampleTune(330.0));
    ok = ok && package.Add("BGM-LOBBY.OGG", SampleTune(392.0));
    return ok ? 1 : 0;
}
