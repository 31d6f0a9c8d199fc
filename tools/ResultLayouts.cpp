#include "tools/ResultLayouts.h"

#include <cstdio>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/LoginLayouts.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

namespace {

LayoutRecordSpec ImageStatic(const char* name, float x, float y, float w, float h) {
    LayoutRecordSpec r = StaticRecord(name, x, y, w, h);
    const float black[4] = {0, 0, 0, 1};
    r.part = StaticPart("", black, 0, kImageBoxGridColumns, kImageBoxGridRows, 0.0f);
    return r;
}

}  // namespace

LayoutFileSpec ImageBoxLayout() {
    LayoutFileSpec spec = WindowLayout("WND_IMAGE_BOX", 312, 250, 400, 220);
    spec.children.push_back(ImageStatic("ID_STATIC_IMAGE", 20, 20, 64, 64));
    spec.children.push_back(StaticRecord("ID_STATIC_MSG1", 100, 20, 280, 80));
    spec.children.push_back(StaticRecord("ID_STATIC_MSG2", 100, 105, 280, 20));
    spec.children.push_back(StaticRecord("ID_STATIC_MSG3", 20, 130, 360, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_LEVEL", 20, 90, 64, 20));
    spec.children.push_back(ButtonRecord("ID_BUTTON_OK", 150, 170, 100, 32, "OK"));
    return spec;
}

LayoutFileSpec ImageBox2Layout() {
    LayoutFileSpec spec = WindowLayout("WND_IMAGE_BOX_2", 212, 230, 600, 260);
    for (int side = 0; side < 2; ++side) {
        const float x = side == 0 ? 20.0f : 310.0f;
        const char* suffix = side == 0 ? "" : "_2";
        char name[40];
        std::snprintf(name, sizeof(name), "ID_STATIC_IMAGE%s", suffix);
        spec.children.push_back(ImageStatic(name, x, 20, 64, 64));
        std::snprintf(name, sizeof(name), "ID_STATIC_MSG1%s", suffix);
        spec.children.push_back(StaticRecord(name, x + 80, 20, 190, 80));
        std::snprintf(name, sizeof(name), "ID_STATIC_MSG2%s", suffix);
        spec.children.push_back(StaticRecord(name, x + 80, 105, 190, 20));
        std::snprintf(name, sizeof(name), "ID_STATIC_LEVEL%s", suffix);
        spec.children.push_back(StaticRecord(name, x, 90, 64, 20));
    }
    spec.children.push_back(StaticRecord("ID_STATIC_MSG3", 20, 150, 560, 24));
    spec.children.push_back(ButtonRecord("ID_BUTTON_OK", 250, 200, 100, 32, "OK"));
    return spec;
}

LayoutFileSpec ResultLayout() {
    LayoutFileSpec spec = WindowLayout("WND_RESULT", 0, 0, 1024, 768);
    LayoutRecordSpec win = StaticRecord("ID_STATIC_WIN", 312, 20, 400, 60, "VICTORY");
    Tint(win, 1.0f, 0.85f, 0.1f);
    LayoutRecordSpec lose = StaticRecord("ID_STATIC_LOSE", 312, 20, 400, 60, "DEFEAT");
    Tint(lose, 0.5f, 0.1f, 0.6f);
    spec.children.push_back(win);
    spec.children.push_back(lose);
    spec.children.push_back(ButtonRecord("ID_BUTTON_OK", 462, 700, 100, 36, "OK"));
    spec.children.push_back(StaticRecord("ID_STATIC_TIME", 600, 706, 200, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_PLAYTIME", 60, 706, 300, 24));
    // Columns of a row: name, left edge, width.
    const struct {
        const char* name;
        float x, w;
    } columns[] = {{"ID_STATIC_CLASS_%d", 64, 30},     {"ID_STATIC_NICK_%d", 100, 150},
                   {"ID_STATIC_HERO_%d", 256, 30},     {"ID_STATIC_LEVEL_%d", 292, 50},
                   {"ID_STATIC_KILL_%d", 348, 60},     {"ID_STATIC_DEATH_%d", 414, 60},
                   {"ID_STATIC_BUILD_%d", 480, 60},    {"ID_STATIC_TOTAL_%d", 546, 80},
                   {"ID_STATIC_CRA_%d", 632, 120},     {"ID_STATIC_CRA_SUB_%d", 758, 120},
                   {"ID_STATIC_WINPOINT_%d", 884, 90}};
    char name[40];
    for (int row = 1; row <= 12; ++row) {
        const float y = 100.0f + 48.0f * static_cast<float>(row - 1);
        // Both backgrounds lie on the row; the screen shows the one of the row's team.
        std::snprintf(name, sizeof(name), "ID_STATIC_D_BACK_%d", row);
        LayoutRecordSpec dark = StaticRecord(name, 40, y, 944, 44);
        Tint(dark, 0.55f, 0.05f, 0.05f);
        spec.children.push_back(dark);
        std::snprintf(name, sizeof(name), "ID_STATIC_L_BACK_%d", row);
        LayoutRecordSpec light = StaticRecord(name, 40, y, 944, 44);
        Tint(light, 0.05f, 0.25f, 0.65f);
        spec.children.push_back(light);
        for (const auto& column : columns) {
            std::snprintf(name, sizeof(name), column.name, row);
            LayoutRecordSpec cell = StaticRecord(name, column.x, y + 8, column.w, 28);
            cell.colour[3] = 0.0f;
            spec.children.push_back(cell);
        }
    }
    return spec;
}

int AddResultLayouts(CPackageWriter& layouts) {
    bool ok = layouts.Add("RESULT.DUI", BuildLayout(ResultLayout()), false) != 0;
    ok = ok && layouts.Add("IMAGE_BOX.DUI", BuildLayout(ImageBoxLayout()), false) != 0;
    ok = ok && layouts.Add("IMAGE_BOX_2.DUI", BuildLayout(ImageBox2Layout()), false) != 0;
    return ok ? 1 : 0;
}

int AddResultMedia(CPackageWriter& textures) {
    bool ok = textures.Add("GOLDRANDOM.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 64, 64, 0xFFE0B020u)) != 0;
    ok = ok && textures.Add("SILVERRANDOM.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 64, 64, 0xFFC0C0C8u)) != 0;
    ok = ok && textures.Add("BGM-RESULT-WIN.OGG", SampleTune(659.0)) != 0;
    ok = ok && textures.Add("BGM-RESULT-LOSE.OGG", SampleTune(220.0)) != 0;
    return ok ? 1 : 0;
}
