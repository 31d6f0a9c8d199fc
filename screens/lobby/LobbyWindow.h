// The lobby's main window: binds the command buttons, the two list-kind
// boxes, the ten room rows and the chat and player lists of its layout; turns
// clicks into command latches that the lobby screen takes one at a time, and
// keeps the selected room row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/LobbyMessages.h"
#include "ui/UiWindow.h"

class CUiButton;
class CUiCheckButton;
class CUiEditBox;
class CUiListBox;
class CUiStatic;
class CResource;

class CLobbyWindow : public CUiWindow {
public:
    enum Command {
        CMD_JOIN,
        CMD_BEFORE,
        CMD_NEXT,
        CMD_MAKEROOM,
        CMD_QUICKJOIN,
        CMD_COMMUNITY,
        CMD_SHOP,
        CMD_MYINFO,
        CMD_PRACTICE,
        CMD_EXIT,
        CMD_BACK,
        CMD_OPTION,
        CMD_TUTORIAL,
        COMMAND_COUNT
    };
    // The nine controls of a room row, in layout-name order.
    struct RoomRow {
        CUiStatic* number = nullptr;
        CUiStatic* title = nullptr;
        CUiCheckButton* playState = nullptr;
        CUiStatic* members = nullptr;
        CUiCheckButton* bar = nullptr;
        CUiStatic* password = nullptr;
        CUiStatic* levelLimit = nullptr;
        CUiStatic* mode = nullptr;
        CUiStatic* randomTeam = nullptr;
    };

    static const char* const kCommandNames[COMMAND_COUNT];

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;
    // On the player list: the row under the mouse becomes the chosen name and
    // asks for the popup, unless it is the player's own row.
    void OnRButtonClick(CUiObject* control) override;

    // 1 when the command's latch was set; taking one clears every latch.
    int TakeCommand(int index);
    // 1 when the all-rooms (kind 0) or waiting-rooms box was clicked since the last take.
    int TakeListKindClick(int kind);
    void PressCommand(int index) { m_commands[static_cast<size_t>(index)] = 1; }

    // Selects the row (checking only its bar); -1 clears the selection.
    void SelectRow(int row);
    int SelectedRow() const { return m_selected; }
    void ClearRowChecks();
    // Moves the selection up (-1) or down (+1) to the next shown row; nothing
    // without a selection or when no shown row lies that way.
    void MoveSelection(int direction);

    // Draws the page: the rows of the records for the list kind and the page
    // text. The icons are the mode textures (null: none), each row taking a
    // reference of the one it shows.
    void ShowRoomList(const RoomPage& rooms, uint16_t listKind, int allPage, int waitingPage,
                      CResource* const modeIcons[2]);

    // The player list (3039): the count into the total text (entry 69) and
    // one row per nickname, the own and the operators' marked.
    void ShowLobbyUsers(const LobbyUserList& users, std::string_view ownNickname);

    // The row of the player list the player right-clicked (the list's text),
    // or -1 for none; the own nickname's row never counts.
    void ChooseConnecter(int32_t row, std::string_view ownNickname);
    // 1 once after a name was chosen for the popup.
    int TakePopupRequest() {
        const int was = m_popupRequest;
        m_popupRequest = 0;
        return was;
    }
    // The chosen player's nickname, its colour tag taken off.
    const std::string& ChosenName() const { return m_chosenName; }

    const RoomRow& Row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    CUiCheckButton* AllRoomsBox() const { return m_allRooms; }
    CUiCheckButton* WaitingRoomsBox() const { return m_waitingRooms; }
    CUiButton* CommandButton(int index) const { return m_buttons[static_cast<size_t>(index)]; }
    CUiStatic* PageText() const { return m_page; }
    CUiEditBox* ChatEdit() const { return m_chatEdit; }
    CUiListBox* ChatList() const { return m_chatList; }
    CUiListBox* ConnecterList() const { return m_connecters; }
    CUiStatic* ChatModeLabel() const { return m_chatMode; }
    CUiStatic* TotalText() const { return m_total; }
    CUiStatic* HelpText() const { return m_help; }

private:
    int RowOfBar(const CUiObject* control) const;

    std::array<CUiButton*, COMMAND_COUNT> m_buttons{};
    std::array<uint32_t, COMMAND_COUNT> m_commands{};
    CUiCheckButton* m_allRooms = nullptr;
    CUiCheckButton* m_waitingRooms = nullptr;
    uint32_t m_listKindClicks[2] = {};
    std::array<RoomRow, kRoomsPerPage> m_rows{};
    int m_selected = -1;
    CUiStatic* m_page = nullptr;
    CUiEditBox* m_chatEdit = nullptr;
    CUiListBox* m_chatList = nullptr;
    CUiListBox* m_connecters = nullptr;
    CUiStatic* m_chatMode = nullptr;
    CUiStatic* m_total = nullptr;
    CUiStatic* m_help = nullptr;
    std::string m_chosenName;
    int m_popupRequest = 0;
};
