// The channel list ("SELECT_CHANNEL.DUI"): up to ten channels of the game
// server, each a row with a check button and a load gauge.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/UiWindow.h"

class CResource;
class CUiButton;
class CUiCheckButton;
class CUiStatic;

// One entry of PK_CHANNEL_LIST (57 bytes).
struct ChannelEntry {
    std::string name;     // empty: no channel
    std::string address;  // dotted text
    uint16_t users = 0;
    uint16_t capacity = 0;
};
struct ChannelList {
    static constexpr size_t kEntries = 10;
    static constexpr size_t kEntrySize = 57;
    static constexpr size_t kSize = kEntries * kEntrySize;
    static constexpr size_t kNameSize = 33;
    static constexpr size_t kAddressSize = 18;
    std::array<ChannelEntry, kEntries> entries;
};
// 1 read; 0 when the payload is shorter than the list.
int ReadChannelList(const uint8_t* data, size_t size, ChannelList* list);
// Gauge segments, 1 (empty) to 14 (full or over); an empty capacity gives 1.
int ChannelGaugeLevel(uint16_t users, uint16_t capacity);

class CChannelWindow : public CUiWindow {
public:
    static constexpr int kRows = 10;
    static constexpr int kMaxLevel = 14;
    static constexpr int kGreenSegments = 11;

    ~CChannelWindow() override;

    int OnLayoutLoaded() override;
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;

    void Fill(const ChannelList& list);
    void HideRows();
    // Selects and checks a row; the others are unchecked.
    void SelectRow(int row);
    bool RowShown(int row) const;
    int Selected() const { return m_selected; }
    int Level(int row) const { return m_levels[row]; }
    void ForceRowTextAlpha(float alpha);
    int TakeJoin() { return Take(m_join); }
    int TakeBack() { return Take(m_back); }
    CUiStatic* RowStatic(int row) const { return m_rows[row]; }
    CUiCheckButton* RowCheck(int row) const { return m_checks[row]; }

private:
    static int Take(int& flag) {
        const int was = flag;
        flag = 0;
        return was;
    }
    int RowOf(const CUiObject* control) const;
    void DrawGauge(int row, float x, float y);

    CUiButton* m_joinButton = nullptr;
    CUiButton* m_backButton = nullptr;
    int m_join = 0;
    int m_back = 0;
    CUiStatic* m_rows[kRows] = {};
    CUiCheckButton* m_checks[kRows] = {};
    CResource* m_green = nullptr;
    CResource* m_red = nullptr;
    int m_levels[kRows] = {};
    int m_selected = -1;
};
