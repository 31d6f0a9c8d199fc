// The play screen's list of floating overlays. Items come from one block pool
// per type, so the damage numbers of a long fight cost no heap allocation once
// the pools have grown; the list keeps its room between frames for the same
// reason. The screen draws the list twice: the items under the HUD windows
// before them, the others (the map-alert rings over the minimap) after.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/core/BlockPool.h"
#include "screens/game/FloatingText.h"

class IUiFont;

class CFloatingTextManager {
public:
    // Blocks per chunk of the pools of types 0 to 3.
    static constexpr size_t kChunkBlocks[FT_TYPE_COUNT] = {20, 10, 10, 20};

    CFloatingTextManager();
    ~CFloatingTextManager();
    CFloatingTextManager(const CFloatingTextManager&) = delete;
    CFloatingTextManager& operator=(const CFloatingTextManager&) = delete;

    // A fresh item of the type from its pool, not yet listed; null for a type
    // outside 0..3 or when no block can be had.
    CFloatingText* CreateItem(uint32_t type);
    // Lists an item made by CreateItem.
    void Add(CFloatingText* item);
    // Ages every item; finished ones go back to their pools.
    void Update(float dt);
    // The items of one layer (1: under the windows, 0: over them), in list order.
    void Draw(IFloatingTextCanvas& canvas, int underWindows);
    void Clear();

    // A notice line in the colour, centred on the screen at the top of the
    // stack; an equal line that still stands there is restarted instead.
    void AddNotice(uint32_t argb, std::string_view text);
    // What AddNotice centres and draws with.
    void SetNoticeFont(uint32_t fontIndex, const IUiFont* font, int32_t screenWidth) {
        m_noticeFontIndex = fontIndex;
        m_noticeFont = font;
        m_screenWidth = screenWidth;
    }

    const std::vector<CFloatingText*>& Items() const { return m_items; }
    // Chunks the four pools have taken from the heap so far.
    size_t PoolChunks() const {
        return m_worldTexts.ChunkCount() + m_notices.ChunkCount() + m_alerts.ChunkCount() + m_damages.ChunkCount();
    }

private:
    void Destroy(CFloatingText* item);

    CBlockPool<CWorldText> m_worldTexts;
    CBlockPool<CNoticeText> m_notices;
    CBlockPool<CMapAlertMarker> m_alerts;
    CBlockPool<CDamageText> m_damages;
    std::vector<CFloatingText*> m_items;
    uint32_t m_noticeFontIndex = 0;
    const IUiFont* m_noticeFont = nullptr;
    int32_t m_screenWidth = 1024;
};
