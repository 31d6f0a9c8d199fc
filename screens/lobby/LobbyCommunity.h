// The lobby's community mode: the community window and its five small
// windows, the questions they lead to, the requests sent on OK and the
// server's answers that update the tables and the windows.
#pragma once

#include <cstdint>
#include <string>

#include "net/CommunityMessages.h"
#include "screens/lobby/CommunityWindow.h"

class CAddFriendWindow;
class CCreateGuildWindow;
class CGuildDataWindow;
class CGuildWaitListWindow;
class CJoinGuildWindow;
class CResource;
class CScreen;
class CUiListBox;
struct NetPacket;

class CLobbyCommunity : public ICommunityOwner {
public:
    static constexpr int kLayouts = 6;
    static constexpr int64_t kGuildCost = 10000;
    static constexpr float kWaitListX = 760.0f, kWaitListY = 115.0f;
    static constexpr float kGuildDataX = 760.0f, kGuildDataY = 385.0f;
    static const char* const kLayoutNames[kLayouts];
    static constexpr const char* kBlinkTexture = "GUILD_BLINK.DDS";

    // The screen shows the error popup after a failed send; the chat list
    // takes the answers' lines.
    explicit CLobbyCommunity(CScreen& screen) : m_screen(screen) {}
    ~CLobbyCommunity() override;
    CLobbyCommunity(const CLobbyCommunity&) = delete;
    CLobbyCommunity& operator=(const CLobbyCommunity&) = delete;

    // Creates and loads the six windows, all hidden; 0 on the first failure.
    int Load(CUiListBox* chatList);
    // The lobby's community button: the window in front, its rows drawn.
    void Open();
    // One frame of community mode; 0 when the player closed it (back to the lobby).
    int Update(float dt);
    // The popup was asked for by a right click on a name.
    int TakePopupRequest();
    std::string ChosenName() const;
    // Hides every community window.
    void CloseAll();

    // Builds and sends the request; 0 when nothing was sent (the error popup
    // is shown after a failed send).
    int SendRequest(uint16_t id);
    // Answers a shown OK-and-Cancel box: 1 while one is handled.
    int ConfirmPendingRequest();
    uint16_t PendingRequest() const { return m_pending; }

    // A community answer: 1 handled (also a refusal with a message of its
    // own), 0 the loop ends (the error popup follows), -1 another id.
    int HandleAnswer(const NetPacket& packet);
    // After the shared handlers changed the tables (1028-1030, 1055-1061, 3025).
    void AfterSharedMessage(uint16_t id);
    // The guild of the lobby's entry answer.
    void TakeEntryGuild(uint8_t guildState, uint32_t guildNumber, uint8_t master, const std::string& name);

    bool ApplicantNotice() const override { return m_applicantNotice; }
    void HideGuildWindows() override;
    void RequestApplicants() override { SendRequest(2036); }
    float FrameTime() const override { return m_dt; }

    CCommunityWindow* Window() const { return m_window; }
    CAddFriendWindow* AddFriend() const { return m_addFriend; }
    CCreateGuildWindow* CreateGuild() const { return m_createGuild; }
    CGuildWaitListWindow* WaitList() const { return m_waitList; }
    CGuildDataWindow* GuildData() const { return m_guildData; }
    CJoinGuildWindow* JoinGuild() const { return m_joinGuild; }
    const GuildDataBlock& GuildBlock() const { return m_block; }

private:
    void Ask(int entry, uint16_t pending);
    void Tell(const std::string& text);
    void RedrawRows(int tab);
    void ShowButtons();
    int UpdateAddFriend(bool enter, bool escape);
    int UpdateCreateGuild(bool enter, bool escape);
    int UpdateJoinGuild(bool escape);
    int UpdateWaitList();
    int UpdateCommands(bool escape);
    int AskAboutMember(int masterEntry, int questionEntry, uint16_t pending);
    int Failure(uint16_t id, int8_t reason);
    void TakeGuildInfo(const GuildInfoAnswer& info);

    CScreen& m_screen;
    CUiListBox* m_chat = nullptr;
    CCommunityWindow* m_window = nullptr;
    CAddFriendWindow* m_addFriend = nullptr;
    CGuildWaitListWindow* m_waitList = nullptr;
    CGuildDataWindow* m_guildData = nullptr;
    CCreateGuildWindow* m_createGuild = nullptr;
    CJoinGuildWindow* m_joinGuild = nullptr;
    CResource* m_layouts[kLayouts] = {};
    CResource* m_blinkTexture = nullptr;
    GuildDataBlock m_block;
    std::string m_searchText;
    uint16_t m_pending = 0;
    bool m_applicantNotice = false;
    float m_dt = 0.0f;
};
