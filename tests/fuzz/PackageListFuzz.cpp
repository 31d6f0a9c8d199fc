// "PACKAGELIST.DRL" over the sample game folder's packages: the input is the
// list. Every name the sample holds is then resolved and its digest checked,
// and every loader runs on the entry the list gives it, wherever it points.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/MessageTable.h"
#include "engine/core/TextList.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/ResourceManager.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/RecordingEffect.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/SampleGameFolder.h"
#include "ui/LayoutResource.h"

namespace {

struct Entry {
    const char* name;
    int32_t type;  // -1: a text file
};

const Entry kEntries[] = {
    {"MSG.DAT", -1},          {"GAMEINFO.DAT", -1},       {"GAMETIP.DAT", -1},
    {"FilterWord.DAT", -1},   {"ChangeFilterWord.DAT", -1}, {"LOGO1.DDS", RES_TEXTURE},
    {"SAMPLE.DDS", RES_TEXTURE}, {"SAMPLE.DRM", RES_MESH},   {"SAMPLE.DRA", RES_ANIMATION},
    {"SAMPLE.DRC", RES_MODEL},  {"TOOLTIP.DUI", RES_LAYOUT}, {"ALL_CONTROLS.DUI", RES_LAYOUT},
    {"ZEMSKIN.FXO", -1},      {"VAZE.INI", -1},
};

const std::string& GameFolder() {
    static const std::string folder = [] {
        std::string f = fuzz::Workspace() + "/GAME";
        MakeSampleGameFolder(f);
        return f;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    const std::string& folder = GameFolder();
    fuzz::WriteInput("GAME/PACKAGELIST.DRL", data, size);
    static platform::CGfxRecordingDevice device;
    static CShaderSet shaders(&device);
    static bool shadersLoaded = false;
    if (!shadersLoaded) {
        shaders.SetEffectLoader(RecordingEffectLoader(nullptr));
        shaders.LoadShaders(1);
        shadersLoaded = true;
    }
    CResourceManager rm(folder);
    rm.SetDevice(&device);
    RegisterAnimationResources(rm);
    RegisterMeshResources(rm, &shaders);
    RegisterModelResources(rm);
    RegisterEffectResources(rm);
    RegisterLayoutResource(rm);
    rm.SetSoundDeviceCheck([] { return false; });
    CFileIndex& index = rm.FileIndex();
    if (!index.LoadPackageList("PACKAGELIST.DRL")) return 0;
    for (const Entry& e : kEntries) {
        uint32_t offset = 0, length = 0;
        const std::string path = index.ResolvePath(e.name, &offset, &length);
        uint8_t digest[16];
        index.ComputeFileDigest(e.name, digest, true);
        index.ComputeFileDigest(e.name, digest, false);
        (void)index.GetProfileString("INFO", "LOGIN_SERVER", e.name);
        if (e.type >= 0) {
            CResource* r = rm.GetResource(e.name, e.type, nullptr, 1);
            if (r) rm.ReleaseResource(r);
        } else if (!path.empty()) {
            CMessageTable table;
            if (index.FindPackageEntry(e.name))
                table.LoadMessages(path.c_str(), offset, length);
            else
                table.LoadMessages(path.c_str());
            table.LoadInfoFile(e.name);
            std::vector<std::string> lines;
            ReadTextList(e.name, lines);
        }
    }
    return 0;
}
