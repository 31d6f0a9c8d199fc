#include "tools/PlayLayouts.h"

#include "tools/LoginLayouts.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec PlayHelpLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_HELP", 262, 200, 500, 120);
    spec.children.push_back(StaticRecord("ID_STATIC_TEXT1", 10, 10, 480, 30));
    spec.children.push_back(StaticRecord("ID_STATIC_TEXT2", 10, 45, 480, 30));
    spec.children.push_back(StaticRecord("ID_STATIC_TEXT3", 10, 80, 480, 30));
    return spec;
}

int AddPlayLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_HELP.DUI", BuildLayout(PlayHelpLayout()), false) != 0 ? 1 : 0;
}

int AddPlayMusic(CPackageWriter& textures) {
    const struct {
        const char* name;
        double frequency;
    } tunes[] = {
        {"TUTELARIES.OGG", 330.0}, {"VAMPIRE.OGG", 392.0},  {"MAGE.OGG", 523.0},
        {"HUNTER.OGG", 587.0},     {"WAREWOLF.OGG", 349.0},
    };
    bool ok = true;
    for (const auto& tune : tunes) ok = ok && textures.Add(tune.name, SampleTune(tune.frequency)) != 0;
    return ok ? 1 : 0;
}
