// The UI manager's edit boxes type through the input method the application makes.
#include "platform/CodePage.h"
#include "platform/ScriptedIme.h"
#include "tests/app/AppFixture.h"

namespace {

using ImeMaker = AppFixture;

TEST_F(ImeMaker, TheUiManagerTypesThroughTheMadeInputMethod) {
    MakeApp();
    platform::ScriptedIme* ime = nullptr;
    app->SetImeMaker([&ime](platform::CWindow*) {
        auto made = std::make_unique<platform::ScriptedIme>();
        ime = made.get();
        return made;
    });
    app->SetFirstScreenMaker([] { return new CScriptedScreen("A", nullptr, {}); });
    ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    ASSERT_NE(ime, nullptr);
    ime->Commit("/ㅈ abcd 안녕");
    app->Ui().Ime().ProcessEvents(CImeInput::kMaxTextBytes);
    EXPECT_EQ(app->Ui().Ime().GetText(), platform::Utf8ToCp949("/ㅈ abcd 안녕"));
}

}  // namespace
