// Layouts (".DUI", versions 1.07 and 1.09) with the real controls: loaded,
// shown in the UI manager, drawn on the recording device and given three
// frames of input (pointer over the window, a press, a release and a key).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/UiControls.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    static QuadDevice device;
    static FixedFont font0, font1;
    static CUiManager* ui = [] {
        auto* manager = new CUiManager;  // lives to the end, as the game's does
        manager->SetDevice(&device);
        manager->AddFont(&font0);
        manager->AddFont(&font1);
        RegisterUiControls();
        return manager;
    }();
    static ScriptedFrame input;
    const std::string path = fuzz::WriteInput("FUZZ.DUI", data, size);
    auto* window = new CUiWindow;
    if (!window->LoadLayout(path.c_str(), 0)) {
        delete window;
        return 0;
    }
    ui->AddLowerWindow(window);
    ui->RenderWindows();
    const int x = static_cast<int>(ClampUiCoord(window->Position().x + window->Size().x / 2));
    const int y = static_cast<int>(ClampUiCoord(window->Position().y + window->Size().y / 2));
    input.Cursor(x, y);
    input.Button(0, true);
    input.Frame();
    ui->DispatchInput(0.016f, input.input);
    input.Button(0, false);
    input.Key(0x1C, true);
    input.Frame();
    ui->DispatchInput(0.016f, input.input);
    input.Key(0x1C, false);
    input.Frame();
    ui->DispatchInput(0.016f, input.input);
    ui->RenderWindows();
    ui->DeleteWindow(window);
    ui->DispatchInput(0.016f, input.input);  // deletions are done between frames
    device.quads.clear();
    font0.drawn.clear();
    font1.drawn.clear();
    return 0;
}
