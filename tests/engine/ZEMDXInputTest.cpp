#include "engine/input/ZEMDXInput.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/ScriptedInput.h"

namespace {

using platform::DIK_A;
using platform::DIK_ESCAPE;

// An input object on a scripted system that the test keeps driving.
struct InputFixture {
    CZEMDXInput input;
    platform::ScriptedInput* source = nullptr;

    InputFixture() {
        auto scripted = std::make_unique<platform::ScriptedInput>();
        source = scripted.get();
        EXPECT_EQ(input.CreateInput(std::move(scripted), 0), 1);
    }
};

struct Step {
    bool down;
    float dt;
    uint32_t flags;
};

}  // namespace

// Pressed, held, released and pressed again, frame by frame; the same step
// drives keys and mouse buttons.
TEST(ZEMDXInput, KeyAndButtonStepTable) {
    const Step steps[] = {
        {true, 0.016f, 5},   // first frame down: pressed and down
        {true, 0.016f, 4},   // held
        {false, 0.016f, 2},  // released: the double-press window opens
        {false, 0.05f, 0},   //
        {true, 0.05f, 13},   // 0.1 s after the release: double press
        {true, 0.5f, 4},     // held long
        {false, 0.016f, 2},  // a double press's release closes the window
        {true, 0.016f, 5},   // so a third quick press is a plain press
        {false, 0.016f, 2},  //
        {false, 0.15f, 0},   //
        {true, 0.1f, 5},     // 0.25 s after the release: too late, even in one frame
        {false, 0.016f, 2},  //
        {false, 0.3f, 0},    // the window closes while up
        {true, 0.016f, 5},   //
    };
    InputFixture f;
    for (size_t i = 0; i < std::size(steps); ++i) {
        f.source->SetKey(DIK_A, steps[i].down);
        f.source->SetButton(1, steps[i].down);
        f.input.UpdateInput(steps[i].dt, 1);
        EXPECT_EQ(f.input.GetKeyFlags(DIK_A), steps[i].flags) << "step " << i;
        EXPECT_EQ(f.input.GetButtonFlags(1), steps[i].flags) << "step " << i;
        EXPECT_EQ(f.input.GetKeyFlags(DIK_ESCAPE), 0u);
    }
}

TEST(ZEMDXInput, QueriesReadTheirFlag) {
    InputFixture f;
    f.source->SetKey(DIK_A, true);
    f.source->SetButton(0, true);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_TRUE(f.input.KeyPressed(DIK_A) && f.input.KeyDown(DIK_A) && !f.input.KeyReleased(DIK_A));
    EXPECT_TRUE(f.input.MousePressed(0) && f.input.MouseDown(0) && !f.input.MouseReleased(0));
    f.source->SetKey(DIK_A, false);
    f.source->SetButton(0, false);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_TRUE(f.input.KeyReleased(DIK_A) && !f.input.KeyDown(DIK_A));
    EXPECT_TRUE(f.input.MouseReleased(0) && !f.input.MouseDoubleClick(0));
    f.source->SetButton(0, true);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_TRUE(f.input.MouseDoubleClick(0));
    // Indexes outside the tables answer 0 instead of reading past them.
    EXPECT_EQ(f.input.KeyDown(-1) + f.input.KeyDown(256) + f.input.MouseDown(3) + f.input.MouseDown(-1), 0);
}

TEST(ZEMDXInput, DisabledMouseAnswersZeroButKeepsItsFlags) {
    InputFixture f;
    f.input.SetMouseEnabled(0);
    f.source->SetButton(2, true);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_EQ(f.input.MousePressed(2) + f.input.MouseDown(2), 0);
    EXPECT_EQ(f.input.GetButtonFlags(2), 5u);
    f.input.SetMouseEnabled(1);
    EXPECT_TRUE(f.input.MousePressed(2) && f.input.MouseDown(2));
}

TEST(ZEMDXInput, InactiveFrameClearsFlagsAndTimers) {
    InputFixture f;
    f.source->SetKey(DIK_A, true);
    f.source->SetButton(0, true);
    f.input.UpdateInput(0.016f, 1);
    f.source->SetKey(DIK_A, false);
    f.input.UpdateInput(0.016f, 1);  // released: double-press window open
    f.input.UpdateInput(0.016f, 0);
    EXPECT_EQ(f.input.KeyDown(DIK_A) + f.input.KeyReleased(DIK_A) + f.input.MouseDown(0), 0);
    // The window was closed by the inactive frame: the next press is a plain one.
    f.source->SetKey(DIK_A, true);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_EQ(f.input.GetKeyFlags(DIK_A), 5u);
}

TEST(ZEMDXInput, MotionWheelAndCursor) {
    InputFixture f;
    f.source->Move(5, -3, 120);
    f.source->Move(1, 1);
    f.source->SetCursor(320, 240);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_EQ(f.input.GetMouseState().x, 6);
    EXPECT_EQ(f.input.GetMouseState().y, -2);
    EXPECT_EQ(f.input.GetMouseState().z, 120);
    platform::CursorPoint p;
    f.input.GetCursor(&p);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240);
    f.input.UpdateInput(0.016f, 1);  // motion is handed out once
    EXPECT_EQ(f.input.GetMouseState().x, 0);
    // Without cursor tracking the last position stays.
    f.input.SetTrackCursor(0);
    f.source->SetCursor(1, 1);
    f.input.UpdateInput(0.016f, 1);
    f.input.GetCursor(&p);
    EXPECT_EQ(p.x, 320);
}

// Focus loss takes the devices away; the update re-acquires them, a bounded
// number of times when they keep losing their input.
TEST(ZEMDXInput, LostDevicesAreReacquiredWithinBounds) {
    InputFixture f;
    f.source->SetKey(DIK_A, true);
    f.input.UpdateInput(0.016f, 1);
    f.source->SetForeground(false);
    f.input.UpdateInput(0.016f, 1);
    EXPECT_EQ(f.input.GetKeyFlags(DIK_A), 2u) << "a lost device reads as all keys up";
    f.source->SetForeground(true);
    f.input.UpdateInput(0.016f, 1);  // re-acquired this frame, read the next
    f.input.UpdateInput(0.016f, 1);
    EXPECT_TRUE(f.input.KeyDown(DIK_A));

    f.source->LoseInput(1000000);
    int before = f.source->AcquireCalls();
    f.input.UpdateInput(0.016f, 1);
    int tries = f.source->AcquireCalls() - before;
    EXPECT_GT(tries, 1);
    EXPECT_LE(tries, 2 * 8) << "keyboard and mouse each give up after a few tries";
    EXPECT_FALSE(f.input.KeyDown(DIK_A));
}

TEST(ZEMDXInput, CreateInputReleasesEarlierDevicesAndReportsFailures) {
    CErrorReport report;
    CZEMDXInput input;
    platform::ScriptedInput first;
    // The input object owns what it is given; hand it a system that forwards to
    // `first` so the test can count the devices that stay alive.
    struct Forward : platform::InputSystem {
        platform::ScriptedInput* to;
        explicit Forward(platform::ScriptedInput* t) : to(t) {}
        platform::InputResult CreateKeyboard(bool e, std::unique_ptr<platform::KeyboardDevice>* d) override {
            return to->CreateKeyboard(e, d);
        }
        platform::InputResult CreateMouse(std::unique_ptr<platform::MouseDevice>* d) override {
            return to->CreateMouse(d);
        }
        bool GetCursorPos(platform::CursorPoint* p) override { return to->GetCursorPos(p); }
    };
    ASSERT_EQ(input.CreateInput(std::make_unique<Forward>(&first), 1), 1);
    EXPECT_TRUE(first.KeyboardExclusive());
    EXPECT_EQ(first.LiveDevices(), 2);
    ASSERT_EQ(input.CreateInput(std::make_unique<Forward>(&first), 0), 1);
    EXPECT_EQ(first.LiveDevices(), 2) << "the earlier keyboard and mouse were released";
    EXPECT_FALSE(first.KeyboardExclusive());

    first.FailCreateMouse(true);
    EXPECT_EQ(input.CreateInput(std::make_unique<Forward>(&first), 0), 0);
    EXPECT_EQ(report.GetCode(), uint32_t{ERR_DEVICE_CALL});
    EXPECT_NE(report.Text().find("ZEMDXInput"), std::string::npos);
    EXPECT_EQ(first.LiveDevices(), 0);
    EXPECT_EQ(input.UpdateInput(0.016f, 1), 1) << "an update without devices reads nothing";
    EXPECT_EQ(input.MouseDown(0), 0);

    EXPECT_EQ(input.CreateInput(nullptr, 0), 0);
}
