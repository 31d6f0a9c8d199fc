#include "engine/core/MessageBoxHost.h"
#include "engine/effects/UnitMarker.h"

#include <gtest/gtest.h>

namespace {

struct FakeBox : IMessageBoxHost {
    std::string text;
    int mode = -5, result = 7;
    unsigned style = 0xFFFF;
    float dim = -1.0f;
    bool shown = false;
    void ShowBox(const char* t, int m) override {
        text = t;
        mode = m;
        shown = true;
    }
    void ClearStyleBits(unsigned bits) override { style &= ~bits; }
    void SetDimAlpha(float a) override { dim = a; }
    int Result() const override { return result; }
    void SetResult(int r) override { result = r; }
    void HideBox() override { shown = false; }
    bool Visible() const override { return shown; }
    int Mode() const override { return mode; }
    std::string Text() const override { return text; }
};

struct FakeUnit : IUnitMarkerHost {
    bool selectable, own, team;
    int created = -1;
    FakeUnit(bool s, bool o, bool t) : selectable(s), own(o), team(t) {}
    bool IsSelectable() const override { return selectable; }
    bool IsLocalPlayersUnit() const override { return own; }
    bool IsLocalTeamUnit() const override { return team; }
    bool CreateMarkerEffect(int resource) override {
        created = resource;
        return true;
    }
};

}  // namespace

TEST(MessageBoxShortcuts, ShowThenPollEachResultOnce) {
    FakeBox box;
    ShowMessageBox(box, "hello", 2, 1);
    EXPECT_TRUE(box.shown);
    EXPECT_EQ(box.text, "hello");
    EXPECT_EQ(box.mode, 2);
    EXPECT_EQ(box.style, 0xFFFFu & ~0x81Eu);
    EXPECT_EQ(box.result, -1);
    EXPECT_FLOAT_EQ(box.dim, 0.4f);
    EXPECT_EQ(PollMessageBoxResult(box), -1);
    EXPECT_TRUE(box.shown);

    box.result = 0;  // Cancel pressed
    EXPECT_EQ(PollMessageBoxResult(box), 0);
    EXPECT_FALSE(box.shown);
    EXPECT_EQ(PollMessageBoxResult(box), -1);

    ShowMessageBox(box, "no dim", 1, 0);
    EXPECT_EQ(box.dim, 0.0f);
}

TEST(UnitMarker, ResourceByOwner) {
    struct Case {
        bool selectable, own, team;
        int resource;
    } cases[] = {{true, true, true, 30},
                 {true, true, false, 30},
                 {true, false, true, 28},
                 {true, false, false, 29},
                 {false, true, true, -1}};
    for (const Case& c : cases) {
        FakeUnit unit(c.selectable, c.own, c.team);
        EXPECT_EQ(AttachUnitMarker(unit), c.resource >= 0 ? 1 : 0);
        EXPECT_EQ(unit.created, c.resource);
    }
}
