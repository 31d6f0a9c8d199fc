// The sound targets' rig: a loopback sound device and a resource manager on
// the workspace, made once per process. Run() feeds one sound file through
// its reader (read whole in odd-sized pieces, rewound, read again) and then
// loads it as a sound effect and plays a few milliseconds of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/SoundReader.h"
#include "engine/sound/ZEMSoundManager.h"
#include "tests/fixtures/AudioCapture.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fuzz {

inline void RunSoundInput(const char* fileName, const uint8_t* data, size_t size) {
    constexpr uint32_t kRate = 22050;
    UseReports();
    static CZEMSoundManager manager;
    static std::unique_ptr<CResourceManager> resources;
    if (!resources) {
        manager.CreateLoopbackDevice(kRate);
        manager.InitSoundDevice(true, 2, kRate, 16);
        resources = std::make_unique<CResourceManager>(Workspace());
        manager.RegisterResources(*resources);
    }
    const std::string path = WriteInput(std::string("SOUND/") + fileName, data, size);

    std::unique_ptr<CSoundReader> reader = CSoundReader::ForName(fileName);
    platform::AudioFormat format;
    if (reader->Open(path.c_str(), &format, 0, 0)) {
        std::vector<uint8_t> buffer(4099);
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < 4096 && reader->RemainingBytes() > 0; ++i) {
                uint32_t n = 0;
                reader->Read(buffer.data(), static_cast<uint32_t>(1 + (i * 977) % buffer.size()), &n);
                if (n == 0) break;
            }
            reader->Reset();
        }
    }
    reader.reset();

    resources->FileIndex().ClearFolders();
    resources->FileIndex().ScanFolder(".");
    auto* effect = dynamic_cast<CSoundEffect*>(resources->GetResource(fileName, RES_SOUND_EFFECT, nullptr, 1));
    if (!effect) return;
    effect->Play(false);
    audiotest::Render(*manager.Device(), 64);
    effect->StopAll();
    resources->ReleaseResource(effect);
}

}  // namespace fuzz
