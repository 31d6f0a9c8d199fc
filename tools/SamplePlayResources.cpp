#include "tools/SamplePlayResources.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/EffectFileWriter.h"
#include "tools/ModelWriter.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"
#include "tools/TextFileWriters.h"

namespace {

const char* const kTextures[] = {"SELECT_OBJECT.DDS", "MAP_HERO.DDS", "MAPNOTIFY.DDS", "MAPNOTIFY_CIRCLE.DDS",
                                 "CURSOR_SKILL_REGION.DDS", "SHADOW.DDS", "COOLTIMER.DDS", "SELECT_SKILL.DDS",
                                 "PLAY_VICTORY.DDS", "PLAY_LOST.DDS", "SELECT_SKILL_ON.DDS", "SELECT_OVER.DDS",
                                 "PLAY_MAIN4_ALPHA.DDS", "PLAY_GAUGESHELL.DDS", "ATTACK_FONT.DDS", "PLUS_FONT.DDS",
                                 "MISS_FONT.DDS", "SELECT_BOX.DDS", "ITEM_FRAME.DDS", "ICN_RACE_VAMPIRES.DDS",
                                 "ICN_RACE_MAGE.DDS", "ICN_RACE_HUNTER.DDS", "ICN_RACE_WOLF.DDS", "ICN_CLASS_STR.DDS",
                                 "ICN_CLASS_DEX.DDS", "ICN_CLASS_INT.DDS", "ICN_CLASS_GARDIAN.DDS",
                                 // The HUD panels the loading screen pins for a match.
                                 "PLAY_HELP.DDS", "PLAY_CONFIG.DDS", "PLAY_MAIN.DDS", "PLAY_COM_LIST.DDS",
                                 "PLAY_UNITINFO.DDS", "PLAY_MARKET.DDS", "PLAY_UPPER_GODGAUGES.DDS"};

// The ground marker of aimed area skills: a light blue ring.
constexpr const char* kSkillRegion = "CURSOR_SKILL_REGION.DDS";
constexpr uint32_t kRingSide = 64;
constexpr uint32_t kRingColour = 0xFF60D0FFu;

const char* const kEffects[] = {"EFF_COM_LEVELUP.DRE", "EFF_COM_HERO-ORA-LIGHT.DRE", "EFF_COM_HERO-ORA-DARKNESS.DRE",
                                "EFF_COM_HERO-ORA-PLAYER.DRE", "EFF_COM_FOOTMARK-WATER.DRE"};

const char* const kSounds[] = {"CARTOON-GONG-LRG-SOFT-HIT.OGG",
                               "MAPALARM.OGG",
                               "ERROR1.OGG",
                               "GETITEM.OGG",
                               "SELLITEM.OGG",
                               "PICKUPITEM.OGG",
                               "PUTDOWNITEM.OGG",
                               "FIRSTBLOOD.OGG",
                               "WATERMARK.OGG"};

const char* const kClickModels[] = {"CLICK_MOVE.DRC", "CLICK_ATTACK.DRC", "CLICK_FLAG.DRC"};

// A short tone whose pitch tells the sounds apart.
std::vector<uint8_t> Tone(int index) {
    constexpr uint32_t kRate = 22050;
    std::vector<uint8_t> pcm(kRate / 5 * 2);
    const double pitch = 330.0 + 55.0 * index;
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        const auto v = static_cast<int16_t>(6000.0 * std::sin(2.0 * 3.14159265358979 * pitch * i / kRate));
        pcm[2 * i] = static_cast<uint8_t>(v & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    return EncodeOgg(pcm, 1, kRate);
}

// Pictures of distinct colours, so a screenshot shows which one is drawn.
uint32_t Colour(size_t index) {
    return 0xFF000000u | static_cast<uint32_t>((index * 0x3A5F17u + 0x204060u) & 0xFFFFFFu);
}

}  // namespace

std::vector<uint32_t> RingPicture(uint32_t side, uint32_t argb) {
    std::vector<uint32_t> texels(static_cast<size_t>(side) * side, argb & 0x00FFFFFFu);
    const float half = static_cast<float>(side) / 2;
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            const float r = std::hypot(static_cast<float>(x) + 0.5f - half, static_cast<float>(y) + 0.5f - half) / half;
            // The band stays inside the picture's edge, which the ground
            // beyond the marker's box repeats.
            if (r >= 0.78f && r <= 0.94f) texels[static_cast<size_t>(y) * side + x] = argb;
        }
    return texels;
}

std::vector<SampleTextList> SamplePlayTextLists() {
    return {{"TRIBENAME.DAT", {"Vampires", "Mages", "Hunters", "Wolves"}},
            {"STATNAME.DAT", {"Strength", "Dexterity", "Intelligence", "Guardian"}},
            {"RANKNAME.DAT", {"Recruit", "Private", "Corporal", "Sergeant", "Captain"}},
            {"BADRANKNAME.DAT", {"Deserter", "Coward"}},
            {"SKILLATTACKMSG.DAT", {"Critical!", "Stunned!", "Missed!"}},
            {"GAMEMODENAME.DAT", {"Team Battle", "Single Play", "Tutorial", "Replay", "Observer"}}};
}

int AddSamplePlayResources(CPackageWriter& package, CPackageWriter& textLists) {
    bool ok = true;
    size_t n = 0;
    for (const char* name : kTextures) {
        const uint32_t colour = Colour(n++);
        if (std::string_view(name) == kSkillRegion)
            ok = ok && package.Add(name, CDdsWriter::FromArgb(platform::FMT_A8R8G8B8, kRingSide, kRingSide,
                                                              RingPicture(kRingSide, kRingColour)));
        else
            ok = ok && package.Add(name, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 16, colour));
    }
    char name[32];
    for (int level = 1; level <= 100; ++level) {
        std::snprintf(name, sizeof(name), "LEVEL_%d.DDS", level);
        ok = ok && package.Add(name, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, Colour(n++)));
    }
    for (int i = 0; i <= 6; ++i) {
        std::snprintf(name, sizeof(name), "ICN_DIS_%d.DDS", i);
        ok = ok && package.Add(name, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, Colour(n++)));
    }
    ok = ok && package.Add("PLAY_SPARK.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFFFFFFC0u));
    for (const char* effect : kEffects)
        ok = ok && package.Add(effect, WriteEffectFile(MakeEffectFile({BillboardLayer("PLAY_SPARK.DDS")})));
    int tone = 0;
    for (const char* sound : kSounds) ok = ok && package.Add(sound, Tone(tone++));
    // The click markers play the sample model's standing clip.
    for (const char* model : kClickModels) {
        ModelFile file;
        file.meshName = "SAMPLE.DRM";
        file.animationName = "SAMPLE.DRA";
        file.actions = {MakeModelAction("STAND", 0, 2)};
        ok = ok && package.Add(model, WriteModelFile(file));
    }
    for (const SampleTextList& list : SamplePlayTextLists())
        ok = ok && textLists.Add(list.name, TextListText(list.lines), false);
    return ok ? 1 : 0;
}
