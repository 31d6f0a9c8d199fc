#include "screens/lobby/SelectNicknameWindow.h"

#include <algorithm>
#include <cstring>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ByteReader.h"
#include "screens/lobby/RankNames.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {
constexpr size_t kListEntries = 2;
constexpr size_t kNicknameAt = 19, kRankAt = 48, kDisconnectsAt = 60;
constexpr uint16_t kPointsPerLevel = 30;
}  // namespace

int ReadNicknameList(const uint8_t* data, size_t size, NicknameList* list) {
    CByteReader reader(data, size);
    list->ok = reader.ReadU8();
    list->code = reader.ReadU8();
    if (!reader.Ok()) return 0;
    for (size_t i = 0; i < list->slots.size(); ++i) {
        const size_t entry = kListEntries + NicknameList::kEntrySize * i;
        NicknameSlot& slot = list->slots[i];
        char name[NicknameList::kNicknameSize] = {};
        if (!reader.Seek(entry + kNicknameAt) || !reader.ReadText(name, sizeof(name), NicknameList::kNicknameSize))
            return 0;
        slot.nickname = name;
        if (!reader.Seek(entry + kRankAt)) return 0;
        slot.rank = reader.ReadU32();
        slot.rankPoints = reader.ReadU32();
        slot.wins = reader.ReadU16();
        slot.losses = reader.ReadU16();
        if (i == 0) {
            list->disconnects = reader.ReadU16();
            list->disconnectPoints = reader.ReadU16();
        }
        if (!reader.Ok()) return 0;
    }
    return 1;
}

int DisconnectLevel(uint16_t points) { return std::min(points / kPointsPerLevel, kMaxDisconnectLevel); }

int CSelectNicknameWindow::OnLayoutLoaded() {
    const char* buttons[REQUEST_COUNT] = {"ID_BUTTON_JOIN", "ID_BUTTON_NICKMAKE", "ID_BUTTON_DELETE", "ID_BUTTON_BACK"};
    for (int i = 0; i < REQUEST_COUNT; ++i)
        if (!(m_buttons[i] = static_cast<CUiButton*>(Bind(buttons[i], UI_TYPE_BUTTON)))) return 0;
    for (int i = 0; i < kSlots; ++i) {
        const std::string n = std::to_string(i + 1);
        m_class[i] = static_cast<CUiStatic*>(Bind(("ID_STATIC_CLASS" + n).c_str(), UI_TYPE_STATIC));
        m_win[i] = static_cast<CUiStatic*>(Bind(("ID_STATIC_WIN" + n).c_str(), UI_TYPE_STATIC));
        m_lose[i] = static_cast<CUiStatic*>(Bind(("ID_STATIC_LOSE" + n).c_str(), UI_TYPE_STATIC));
        m_nick[i] = static_cast<CUiStatic*>(Bind(("ID_STATIC_NICK" + n).c_str(), UI_TYPE_STATIC));
        m_bar[i] = static_cast<CUiCheckButton*>(Bind(("ID_CHECKBUTTON_BAR_" + n).c_str(), UI_TYPE_CHECKBUTTON));
        if (!m_class[i] || !m_win[i] || !m_lose[i] || !m_nick[i] || !m_bar[i]) return 0;
    }
    m_disgrace = static_cast<CUiStatic*>(Bind("ID_STATIC_DISGRACE", UI_TYPE_STATIC));
    m_disCount = static_cast<CUiStatic*>(Bind("ID_STATIC_DISCOUNT", UI_TYPE_STATIC));
    m_disPoint = static_cast<CUiStatic*>(Bind("ID_STATIC_DISPOINT", UI_TYPE_STATIC));
    m_disHelp = static_cast<CUiStatic*>(Bind("ID_STATIC_DISHELP", UI_TYPE_STATIC));
    return m_disgrace && m_disCount && m_disPoint && m_disHelp ? 1 : 0;
}

void CSelectNicknameWindow::Fill(const NicknameList& list) {
    m_disgrace->AddFlags(UI_HIDDEN);
    for (int i = 0; i < kSlots; ++i) {
        const NicknameSlot& slot = list.slots[static_cast<size_t>(i)];
        m_names[i] = slot.nickname;
        m_nick[i]->SetText("");
        m_win[i]->SetText("");
        m_lose[i]->SetText("");
        m_class[i]->AddFlags(UI_HIDDEN);
        m_bar[i]->AddFlags(UI_HIDDEN);
        m_bar[i]->SetChecked(false);
        if (slot.nickname.empty()) continue;
        // A rank outside the table shows no name and no icon.
        m_class[i]->SetText(FormatText(GetMessageText(MSG_NICKNAME_RANK_INFO), slot.rank, RankName(slot.rank),
                                       slot.rankPoints));
        m_class[i]->SetImage(RankIcon(slot.rank), "");
        m_class[i]->ClearFlags(UI_HIDDEN);
        m_nick[i]->SetText(slot.nickname);
        m_win[i]->SetNumber(slot.wins);
        m_lose[i]->SetNumber(slot.losses);
        m_bar[i]->ClearFlags(UI_HIDDEN);
    }
    const int level = DisconnectLevel(list.disconnectPoints);
    m_disgrace->SetText(
        FormatText(GetMessageText(MSG_NICKNAME_BADRANK_INFO), DisconnectLevelText(level), list.disconnectPoints));
    if (IUiFont* font = m_disgrace->Font()) {
        int32_t width = 0, height = 0;
        font->Measure(m_disgrace->GetText(), &width, &height);
        m_disgrace->SetSize(static_cast<float>(width), static_cast<float>(height + 5));
    } else {
        m_disgrace->SetSize(0.0f, 0.0f);
    }
    m_disgrace->SetImage(DisconnectLevelImage(level), "");
    m_disgrace->ClearFlags(UI_HIDDEN);
    m_disCount->SetNumber(list.disconnects);
    m_disPoint->SetNumber(list.disconnectPoints);
    m_selected = -1;
    SelectSlot(0);
}

void CSelectNicknameWindow::SelectSlot(int slot) {
    if (!HasNickname(slot)) return;
    for (CUiCheckButton* bar : m_bar) bar->SetChecked(false);
    m_bar[slot]->SetChecked(true);
    m_selected = slot;
}

const std::string& CSelectNicknameWindow::SelectedNickname() const {
    static const std::string kNone;
    return m_selected >= 0 && m_selected < kSlots ? m_names[m_selected] : kNone;
}

int CSelectNicknameWindow::SlotOf(const CUiObject* control) const {
    for (int i = 0; i < kSlots; ++i)
        if (control == m_bar[i]) return i;
    return -1;
}

void CSelectNicknameWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    const int slot = SlotOf(control);
    if (slot >= 0) {
        if (HasNickname(slot)) {
            SelectSlot(slot);
        } else {
            m_bar[slot]->SetChecked(false);
        }
        return;
    }
    for (int i = 0; i < REQUEST_COUNT; ++i)
        if (control == m_buttons[i]) m_requests[i] = 1;
}

void CSelectNicknameWindow::OnLButtonDoubleClick(CUiObject* control) {
    const int slot = SlotOf(control);
    if (!HasNickname(slot)) return;
    SelectSlot(slot);
    m_requests[REQUEST_JOIN] = 1;
}

int CSelectNicknameWindow::TakeRequest(int index) {
    if (index < 0 || index >= REQUEST_COUNT || !m_requests[index]) return 0;
    m_requests[index] = 0;
    return 1;
}

void CSelectNicknameWindow::SetSlotTextAlpha(float alpha) {
    for (int i = 0; i < kSlots; ++i) {
        m_nick[i]->SetTextAlpha(alpha);
        m_win[i]->SetTextAlpha(alpha);
        m_lose[i]->SetTextAlpha(alpha);
    }
}
