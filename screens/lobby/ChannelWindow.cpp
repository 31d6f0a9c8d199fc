#include "screens/lobby/ChannelWindow.h"

#include <algorithm>
#include <cmath>

#include "engine/resource/ResourceManager.h"
#include "net/ByteReader.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {
constexpr float kGaugeX = 199.0f, kGaugeY = 12.0f;
}  // namespace

int ReadChannelList(const uint8_t* data, size_t size, ChannelList* list) {
    CByteReader reader(data, size);
    for (ChannelEntry& entry : list->entries) {
        char name[ChannelList::kNameSize] = {};
        char address[ChannelList::kAddressSize] = {};
        const size_t start = reader.Position();
        reader.ReadText(name, sizeof(name), sizeof(name));
        reader.ReadText(address, sizeof(address), sizeof(address));
        entry.name = name;
        entry.address = address;
        entry.users = reader.ReadU16();
        entry.capacity = reader.ReadU16();
        if (!reader.Seek(start + ChannelList::kEntrySize) || !reader.Ok()) return 0;
    }
    return 1;
}

int ChannelGaugeLevel(uint16_t users, uint16_t capacity) {
    if (capacity == 0) return 1;
    const int level = 1 + 13 * static_cast<int>(users) / static_cast<int>(capacity);
    return std::min(level, CChannelWindow::kMaxLevel);
}

CChannelWindow::~CChannelWindow() {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(m_green);
        g_pResourceManager->ReleaseResource(m_red);
    }
}

int CChannelWindow::OnLayoutLoaded() {
    m_joinButton = static_cast<CUiButton*>(Bind("ID_BUTTON_JOIN", UI_TYPE_BUTTON));
    m_backButton = static_cast<CUiButton*>(Bind("ID_BUTTON_BACK", UI_TYPE_BUTTON));
    if (!m_joinButton || !m_backButton) return 0;
    for (int i = 0; i < kRows; ++i) {
        const std::string n = std::to_string(i + 1);
        m_rows[i] = static_cast<CUiStatic*>(Bind(("ID_STATIC_CHANNEL" + n).c_str(), UI_TYPE_STATIC));
        m_checks[i] = static_cast<CUiCheckButton*>(Bind(("ID_CHECKBUTTON_CHANNEL_" + n).c_str(), UI_TYPE_CHECKBUTTON));
        if (!m_rows[i] || !m_checks[i]) return 0;
    }
    if (g_pResourceManager) {
        m_green = g_pResourceManager->GetResource("SELECT_CHANNEL_GRAPH_GREEN.DDS", RES_TEXTURE, nullptr, 1);
        m_red = g_pResourceManager->GetResource("SELECT_CHANNEL_GRAPH_RED.DDS", RES_TEXTURE, nullptr, 1);
    }
    return 1;
}

void CChannelWindow::HideRows() {
    for (int i = 0; i < kRows; ++i) {
        m_rows[i]->AddFlags(UI_HIDDEN);
        m_checks[i]->AddFlags(UI_HIDDEN);
    }
}

bool CChannelWindow::RowShown(int row) const {
    return row >= 0 && row < kRows && m_checks[row] && !m_checks[row]->HasFlags(UI_HIDDEN);
}

void CChannelWindow::Fill(const ChannelList& list) {
    for (int i = 0; i < kRows; ++i) {
        const ChannelEntry& entry = list.entries[static_cast<size_t>(i)];
        m_levels[i] = ChannelGaugeLevel(entry.users, entry.capacity);
        if (entry.name.empty()) {
            m_rows[i]->AddFlags(UI_HIDDEN);
            m_checks[i]->AddFlags(UI_HIDDEN);
            continue;
        }
        m_rows[i]->SetText(entry.name);
        if (IUiFont* font = m_rows[i]->Font()) {
            int32_t width = 0, height = 0;
            font->Measure(entry.name, &width, &height);
            m_rows[i]->SetSize(static_cast<float>(width), static_cast<float>(height));
        }
        m_rows[i]->ClearFlags(UI_HIDDEN);
        m_checks[i]->ClearFlags(UI_HIDDEN);
    }
    if (m_selected < 0 && !list.entries[0].name.empty()) SelectRow(0);
}

void CChannelWindow::SelectRow(int row) {
    if (row < 0 || row >= kRows) return;
    for (CUiCheckButton* check : m_checks) check->SetChecked(false);
    m_checks[row]->SetChecked(true);
    m_selected = row;
}

void CChannelWindow::ForceRowTextAlpha(float alpha) {
    for (CUiStatic* row : m_rows) row->SetTextAlpha(alpha);
}

int CChannelWindow::RowOf(const CUiObject* control) const {
    for (int i = 0; i < kRows; ++i)
        if (control == m_checks[i]) return i;
    return -1;
}

void CChannelWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    const int row = RowOf(control);
    if (row >= 0) SelectRow(row);
    if (control == m_joinButton) m_join = 1;
    if (control == m_backButton) m_back = 1;
}

void CChannelWindow::OnLButtonDoubleClick(CUiObject* control) {
    const int row = RowOf(control);
    if (row < 0) return;
    SelectRow(row);
    m_join = 1;
}

void CChannelWindow::Render() {
    CUiWindow::Render();
    if (HasFlags(UI_HIDDEN) || !g_pUiManager) return;
    for (int i = 0; i < kRows; ++i) {
        if (!RowShown(i)) continue;
        const UiPoint origin = m_rows[i]->GetAbsolutePos();
        DrawGauge(i, origin.x + kGaugeX, origin.y + kGaugeY);
    }
}

void CChannelWindow::DrawGauge(int row, float x, float y) {
    const float alpha = std::clamp(std::round(Colour().a * 255.0f), 0.0f, 255.0f);
    const uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0x00FFFFFFu;
    for (int k = 0; k < m_levels[row]; ++k) {
        const UiImageInfo image = UiImageOf(k < kGreenSegments ? m_green : m_red);
        if (!image.texture) return;
        g_pUiManager->DrawQuad(colour, nullptr, image.texture, x, y, static_cast<float>(image.width),
                               static_cast<float>(image.height));
        x += static_cast<float>(image.width) + 1.0f;
    }
}
