// The floating overlays' pools, list, ageing and the notice stack.
#include "screens/game/FloatingTextManager.h"

#include <algorithm>

#include "ui/UiFont.h"

namespace {
// The list's room before it first grows: a busy fight stays under it.
constexpr size_t kListRoom = 128;
}  // namespace

CFloatingTextManager::CFloatingTextManager()
    : m_worldTexts(kChunkBlocks[FT_WORLD_TEXT]),
      m_notices(kChunkBlocks[FT_NOTICE]),
      m_alerts(kChunkBlocks[FT_MAP_ALERT]),
      m_damages(kChunkBlocks[FT_DAMAGE]) {
    m_items.reserve(kListRoom);
}

CFloatingTextManager::~CFloatingTextManager() { Clear(); }

CFloatingText* CFloatingTextManager::CreateItem(uint32_t type) {
    switch (type) {
        case FT_WORLD_TEXT:
            return m_worldTexts.Construct();
        case FT_NOTICE:
            return m_notices.Construct();
        case FT_MAP_ALERT:
            return m_alerts.Construct();
        case FT_DAMAGE:
            return m_damages.Construct();
        default:
            return nullptr;
    }
}

void CFloatingTextManager::Add(CFloatingText* item) {
    if (item) m_items.push_back(item);
}

void CFloatingTextManager::Destroy(CFloatingText* item) {
    switch (item->type) {
        case FT_WORLD_TEXT:
            m_worldTexts.Destroy(static_cast<CWorldText*>(item));
            break;
        case FT_NOTICE:
            m_notices.Destroy(static_cast<CNoticeText*>(item));
            break;
        case FT_MAP_ALERT:
            m_alerts.Destroy(static_cast<CMapAlertMarker*>(item));
            break;
        default:
            m_damages.Destroy(static_cast<CDamageText*>(item));
            break;
    }
}

void CFloatingTextManager::Update(float dt) {
    size_t kept = 0;
    for (CFloatingText* item : m_items) {
        if (item->Update(dt))
            m_items[kept++] = item;
        else
            Destroy(item);
    }
    m_items.resize(kept);
}

void CFloatingTextManager::Draw(IFloatingTextCanvas& canvas, int underWindows) {
    for (CFloatingText* item : m_items)
        if (item->IsUnderWindows() == underWindows) item->Draw(canvas);
}

void CFloatingTextManager::Clear() {
    for (CFloatingText* item : m_items) Destroy(item);
    m_items.clear();
}

void CFloatingTextManager::AddNotice(uint32_t argb, std::string_view text) {
    auto latest = std::find_if(m_items.rbegin(), m_items.rend(),
                               [](const CFloatingText* item) { return item->type == FT_NOTICE; });
    if (latest != m_items.rend()) {
        auto* notice = static_cast<CNoticeText*>(*latest);
        if (notice->text == text && notice->y == CNoticeText::kTop) {
            notice->elapsed = 0;
            return;
        }
    }
    auto* line = static_cast<CNoticeText*>(CreateItem(FT_NOTICE));
    if (!line) return;
    line->text.assign(text);
    int32_t width = 0, height = 0;
    if (m_noticeFont) m_noticeFont->Measure(text, &width, &height);
    line->x = (m_screenWidth - width) / 2;
    line->font = m_noticeFontIndex;
    line->SetColor(argb);
    for (CFloatingText* item : m_items)
        if (item->type == FT_NOTICE) static_cast<CNoticeText*>(item)->Shift();
    m_items.push_back(line);
}
