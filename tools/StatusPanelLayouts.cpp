#include "tools/StatusPanelLayouts.h"

#include <string>

#include "engine/core/TextFormat.h"
#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

namespace {
constexpr float kRowPitch = 34.0f;
constexpr float kFace = 28.0f;
}  // namespace

LayoutFileSpec StatusPanelLayout() {
    // A clear column down the left edge under the top bar: only the rows draw.
    LayoutFileSpec spec = WindowLayout("WND_PLAY_PLAYER_LIST", 0, 64, 84, 12 * kRowPitch);
    spec.window.colour[3] = 0.0f;
    auto& c = spec.children;
    for (int i = 1; i <= 12; ++i) {
        const float y = (i - 1) * kRowPitch;
        LayoutRecordSpec colour = StaticRecord(FormatText("ID_STATIC_P_COLOR%d", i), 2, y, 4, kFace);
        colour.colour[0] = 0.2f, colour.colour[1] = 0.5f, colour.colour[2] = 1.0f;
        c.push_back(colour);
        c.push_back(StaticRecord(FormatText("ID_STATIC_CHA_FACE_ALLY%.2d", i), 8, y, kFace, kFace));
        c.push_back(StaticRecord(FormatText("ID_STATIC_CHA_ALLY_%.2d", i), 8, y + 8, kFace, 12));
        c.push_back(GaugeRecord(FormatText("ID_PROGRESS_CHA_ALLY_%.2d", i), 8, y + kFace, kFace, 3, 0));
        c.push_back(GaugeRecord(FormatText("ID_PROGRESS_COOL_%d", i), 8, y + kFace + 3, kFace, 2, 0));
    }
    // The other team's heroes, as far as they have shown themselves.
    for (int i = 1; i <= 6; ++i) {
        const float y = (i - 1) * kRowPitch;
        c.push_back(StaticRecord(FormatText("ID_STATIC_CHA_FACE_ENEMY_%.2d", i), 48, y, kFace, kFace));
        c.push_back(StaticRecord(FormatText("ID_STATIC_CHA_ENEMY_%.2d", i), 48, y + 8, kFace, 12));
    }
    return spec;
}

int AddStatusPanelLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_PLAYER_LIST.DUI", BuildLayout(StatusPanelLayout()), false) != 0 ? 1 : 0;
}

int AddStatusPanelTextures(CPackageWriter& textures) {
    return textures.Add("PLAY_STATUS_COVER.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 32, 32, 0xC0202020u)) != 0
               ? 1
               : 0;
}
