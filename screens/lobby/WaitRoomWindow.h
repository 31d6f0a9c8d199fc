// The waiting room's window: twelve slot rows in two columns of six, the
// room's title, level range, map and guardian time, the replay option, the
// chat and the buttons. Clicks only set latches that the room screen takes;
// the window fills itself from the room record on the screen's request.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/UiWindow.h"

class CResource;
class CUiButton;
class CUiCheckButton;
class CUiComboBox;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
struct RoomRecord;

class CWaitRoomWindow : public CUiWindow {
public:
    enum Command { CMD_SLOT, CMD_START, CMD_MARKET, CMD_CHANGETEAM, CMD_QUIT, CMD_ROOMINFO, COMMAND_COUNT };
    static constexpr int kSlots = 12;

    struct SlotRow {
        CUiStatic* ready = nullptr;
        CUiStatic* nick = nullptr;
        CUiStatic* rank = nullptr;
        CUiStatic* disgrace = nullptr;
        CUiStatic* guild = nullptr;
        CUiButton* slide = nullptr;
        CUiStatic* winPoint = nullptr;
    };
    // What the slot rows need besides the record.
    struct SlotContext {
        std::string_view ownNickname;
        int ownSlot = -1;
        int mode = 0;           // -1 practice, 0 even teams, 1 member limit
        std::string ownRecord;  // the own slot's record text
    };

    ~CWaitRoomWindow() override;
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnRButtonClick(CUiObject* control) override;

    // 1 when the command's latch was set; taking one clears every latch.
    int TakeCommand(int index);
    void PressCommand(int index) { m_commands[static_cast<size_t>(index)] = 1; }
    int PressedSlot() const { return m_pressedSlot; }
    // The map combo's new choice, or -1 when it did not change; a cleared
    // selection is put back to the last choice.
    int TakeMapChange();
    int TakeGuardianChange();
    void SetLastChoices(int map, int guardian) {
        m_lastMap = map;
        m_lastGuardian = guardian;
    }
    // The nickname a right click on a slot row chose for the popup, or empty.
    std::string TakePopupTarget();

    // The title, password and level labels.
    void ShowRoomInfo(const RoomRecord& room, bool practice);
    // Every slot row from the record, the win points of an even-teams room.
    void ShowPlayerSlots(const RoomRecord& room, const SlotContext& context);
    // The host's and the guests' controls; the slot buttons show what a press would do.
    void RefreshRoleControls(const RoomRecord& room, const SlotContext& context, bool host);
    void EnableSlotButtons(bool enable);
    // The camp labels of a member-limit room's two columns.
    void ShowTeamLabels(const RoomRecord& room);
    bool SlotButtonsEnabled() const;

    const SlotRow& Row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    CUiButton* ChangeTeamButton() const { return m_changeTeam; }
    CUiButton* QuitButton() const { return m_quit; }
    CUiButton* StartButton() const { return m_start; }
    CUiCheckButton* StartCheck() const { return m_startCheck; }
    CUiButton* MarketButton() const { return m_market; }
    CUiButton* RoomInfoButton() const { return m_roomInfo; }
    CUiComboBox* MapCombo() const { return m_mapCombo; }
    CUiComboBox* GuardianCombo() const { return m_guardianCombo; }
    CUiStatic* RoomTitle() const { return m_title; }
    CUiStatic* MapImage() const { return m_mapImage; }
    CUiStatic* MapName() const { return m_mapName; }
    CUiListBox* ChatList() const { return m_chatList; }
    CUiEditBox* ChatEdit() const { return m_chatEdit; }
    CUiStatic* ChatModeLabel() const { return m_chatMode; }
    CUiCheckButton* ReplayCheck() const { return m_replay; }
    CUiStatic* SaveReplayLabel() const { return m_saveReplay; }
    CUiStatic* ChangeNick() const { return m_changeNick; }
    CUiStatic* PasswordLabel() const { return m_password; }
    CUiStatic* LevelLabel() const { return m_level; }
    CUiStatic* LimitText() const { return m_limitText; }
    // Column 0 or 1: its dark and light camp labels and its camp name.
    CUiStatic* CampLabel(int column, bool light) const { return m_campLabels[static_cast<size_t>(column * 2 + light)]; }
    CUiStatic* CampName(int column) const { return m_campNames[static_cast<size_t>(column)]; }

private:
    int SlotOfButton(const CUiObject* control) const;

    std::array<SlotRow, kSlots> m_rows{};
    std::array<uint32_t, COMMAND_COUNT> m_commands{};
    int m_pressedSlot = -1;
    int m_lastMap = -1;
    int m_lastGuardian = -1;
    std::string m_popupTarget;
    std::array<std::string, kSlots> m_rowNames{};
    std::string m_ownNickname;
    CResource* m_openLook = nullptr;
    CResource* m_closeLook = nullptr;
    CUiButton* m_changeTeam = nullptr;
    CUiButton* m_quit = nullptr;
    CUiCheckButton* m_startCheck = nullptr;
    CUiStatic* m_changeNick = nullptr;
    CUiButton* m_start = nullptr;
    CUiButton* m_market = nullptr;
    CUiButton* m_roomInfo = nullptr;
    CUiComboBox* m_mapCombo = nullptr;
    CUiComboBox* m_guardianCombo = nullptr;
    CUiStatic* m_title = nullptr;
    CUiStatic* m_mapImage = nullptr;
    CUiStatic* m_mapName = nullptr;
    CUiListBox* m_chatList = nullptr;
    CUiEditBox* m_chatEdit = nullptr;
    CUiStatic* m_chatMode = nullptr;
    CUiCheckButton* m_replay = nullptr;
    CUiStatic* m_saveReplay = nullptr;
    CUiStatic* m_password = nullptr;
    CUiStatic* m_level = nullptr;
    CUiStatic* m_limitText = nullptr;
    std::array<CUiStatic*, 4> m_campLabels{};
    std::array<CUiStatic*, 2> m_campNames{};
    std::array<CUiStatic*, 4> m_hiddenAtBind{};
};
