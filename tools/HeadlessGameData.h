// A game folder's data without a window: a resource manager on the folder's
// packages with a recording device, effects that draw nothing and no sound,
// its own error report and message table, and a game data registry. The
// folder must already be written.
#pragma once

#include <memory>
#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/ResourceManager.h"
#include "platform/GfxRecordingDevice.h"
#include "world/GameDataRegistry.h"

class CHeadlessGameData {
public:
    explicit CHeadlessGameData(const std::string& folder);
    CHeadlessGameData(const CHeadlessGameData&) = delete;
    CHeadlessGameData& operator=(const CHeadlessGameData&) = delete;

    // Cached resources of a type (all released: 0).
    size_t Cached(int32_t type) { return manager->Cache(type)->Count(); }

    CErrorReport report;
    CMessageTable messages;
    platform::CGfxRecordingDevice device;
    CShaderSet shaders{&device};
    std::unique_ptr<CResourceManager> manager;
    CGameDataRegistry registry;
};
