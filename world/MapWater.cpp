#include "world/MapWater.h"

#include <algorithm>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/TextFormat.h"
#include "engine/render/DeviceStates.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "world/TerrainEngine.h"

using namespace platform;

CMapWater* g_pMapWater = nullptr;

CMapWater::CMapWater() { g_pMapWater = this; }

CMapWater::~CMapWater() {
    ReleaseFrames();
    if (g_pMapWater == this) g_pMapWater = nullptr;
}

void CMapWater::SetTerrainSize(int32_t across, int32_t count) {
    m_across = across;
    m_flags.assign(static_cast<size_t>(count), 0);
    m_blocks.clear();
    m_blocks.resize(static_cast<size_t>(count));
}

void CMapWater::ClearBlocks() {
    m_flags.clear();
    m_blocks.clear();
    m_across = 0;
}

CPlacementBlock* CMapWater::Block(int32_t patch, bool create) {
    if (patch < 0 || static_cast<size_t>(patch) >= m_blocks.size()) return nullptr;
    auto& block = m_blocks[static_cast<size_t>(patch)];
    if (!block && create) {
        block = std::make_unique<CPlacementBlock>();
        m_flags[static_cast<size_t>(patch)] = 1;
    }
    return block.get();
}

std::vector<CPlacementBlock*> CMapWater::BlockList() const {
    std::vector<CPlacementBlock*> list;
    for (const auto& block : m_blocks) list.push_back(block.get());
    return list;
}

int CMapWater::Serialize(CFileStream& stream, const CTerrainEngine& terrain, CGfxDevice* device) {
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    const int32_t count = terrain.patchCount();
    if (reading) {
        SetTerrainSize(terrain.across(), count);
        if (static_cast<uint64_t>(count) * 4 > stream.Remaining()) {
            ErrorReport().SetError(ERR_DATA, "%s", stream.path());
            ErrorReport().Chain("%s", "Water");
            return 0;
        }
    }
    for (uint32_t& flag : m_flags) stream.Serialize(flag);
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        if (!m_flags[static_cast<size_t>(i)]) continue;
        auto& block = m_blocks[static_cast<size_t>(i)];
        if (reading) block = std::make_unique<CPlacementBlock>(device);
        if (!block || !block->Serialize(stream)) {
            block.reset();
            ErrorReport().SetError(ERR_DATA, "%s", stream.path());
            ErrorReport().Chain("%s", "Water");
            return 0;
        }
        block->Link(terrain.Patch(i), i % terrain.across(), i / terrain.across());
    }
    if (stream.Failed()) {
        ErrorReport().SetError(ERR_DATA, "%s", stream.path());
        ErrorReport().Chain("%s", "Water");
        return 0;
    }
    return 1;
}

int CMapWater::CreateFrames(int32_t count, float period, const char* format) {
    if (count <= 0) {
        ErrorReport().SetError(ERR_DATA, "%d water frames", count);
        ErrorReport().Chain("%s", "Water");
        return 0;
    }
    m_period = period;
    m_time = 0;
    m_frameTime = period / static_cast<float>(count);
    for (int32_t i = 0; i < count; ++i) {
        const std::string name = FormatText(format ? format : "", i);
        CResource* frame = g_pResourceManager ? g_pResourceManager->GetResource(name.c_str(), RES_TEXTURE, nullptr, 1)
                                              : nullptr;
        if (!frame) {
            if (!g_pResourceManager) ErrorReport().SetError(ERR_FILE_NOT_FOUND, "%s", name);
            ErrorReport().Chain("%s", "Water");
            return 0;
        }
        m_frames.push_back(static_cast<CTextureResource*>(frame));
    }
    return 1;
}

void CMapWater::ReleaseFrames() {
    for (CTextureResource* frame : m_frames)
        if (g_pResourceManager) g_pResourceManager->ReleaseResource(frame);
    m_frames.clear();
}

int CMapWater::RestoreDeviceObjects() {
    for (const auto& block : m_blocks)
        if (block && !block->RestoreDeviceObjects()) return 0;
    return 1;
}

void CMapWater::InvalidateDeviceObjects() {
    for (const auto& block : m_blocks)
        if (block) block->InvalidateDeviceObjects();
}

void CMapWater::Render(CGfxDevice& device, float elapsed) {
    if (m_frames.empty()) return;
    m_frame = 0;
    if (elapsed >= 0 && m_frameTime > 0) {
        m_time += elapsed;
        m_frame = static_cast<int32_t>(m_time / m_frameTime);
        if (m_frame < 0 || m_frame >= static_cast<int32_t>(m_frames.size())) {
            m_frame = 0;
            m_time -= m_period;
        }
    }
    CTextureResource* frame = m_frames[static_cast<size_t>(m_frame)];
    SetTextureCached(device, 0, frame ? frame->Texture() : nullptr);
    SetSourceAlphaBlend(device);
    SetRenderStateCached(device, RS_ZWRITEENABLE, 0);
    SetRenderStateCached(device, RS_LIGHTING, 0);
    SetStageStateCached(device, 0, TSS_COLOROP, TOP_ADD);
    SetStageStateCached(device, 0, TSS_COLORARG1, TA_TEXTURE);
    SetStageStateCached(device, 0, TSS_COLORARG2, TA_DIFFUSE);
    SetStageStateCached(device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(device, 0, TSS_ALPHAARG1, TA_TEXTURE);
    SetStageStateCached(device, 0, TSS_ALPHAARG2, TA_DIFFUSE);
    for (const auto& block : m_blocks) {
        if (!block || !block->Patch() || !block->Patch()->IsVisible()) continue;
        block->Render(device);
    }
    SetStageStateCached(device, 0, TSS_COLOROP, TOP_MODULATE);
    SetRenderStateCached(device, RS_LIGHTING, 1);
    SetRenderStateCached(device, RS_ZWRITEENABLE, 1);
    SetRenderStateCached(device, RS_ALPHABLENDENABLE, 0);
}

const CPlacementGrid::Cell* CMapWater::CellAt(const Vec3& point) const {
    // Outside the terrain there is no water.
    if (m_across <= 0 || !(point.x >= 0) || !(point.z >= 0)) return nullptr;
    const int32_t px = static_cast<int32_t>(point.x / 160.0f), pz = static_cast<int32_t>(point.z / 160.0f);
    if (px >= m_across) return nullptr;
    const size_t index = static_cast<size_t>(pz) * static_cast<size_t>(m_across) + static_cast<size_t>(px);
    if (index >= m_flags.size() || !m_flags[index] || !m_blocks[index]) return nullptr;
    const int cx = std::clamp(static_cast<int>((point.x - static_cast<float>(px) * 160.0f) * 0.05f), 0, 7);
    const int cz = std::clamp(static_cast<int>((point.z - static_cast<float>(pz) * 160.0f) * 0.05f), 0, 7);
    return &m_blocks[index]->At(cx, cz);
}

bool CMapWater::IsWaterAt(const Vec3& point) const {
    const CPlacementGrid::Cell* cell = CellAt(point);
    return cell && cell->used != 0;
}

float CMapWater::GetWaterHeight(const Vec3& point) const {
    const CPlacementGrid::Cell* cell = CellAt(point);
    return cell ? cell->height : kNoWater;
}
