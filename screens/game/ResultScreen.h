// The screen after a match: victory or defeat, the table of the twelve
// positions with their scores, money and win points as the server reports
// them (message 1014), the play time and, in the reward mode, the reward box.
// The replay of the match is written on the loader thread while the screen
// counts down; after 30 seconds or the player's OK it fades out and goes to
// the waiting room, or to the lobby in the reward mode.
//
// Message 1014 (637 bytes): u16 result code (0 or 34 accepted); the own
// 71-byte member entry at 2; two u32 money values at 73 and 77; twelve
// records of four i32 at 81 (base money, gain, loss, bonus); u32 reward kind
// at 273; when the kind is above 1, the 360-byte card rows at 277.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "commands/Replay.h"
#include "ui/Screen.h"

class CImageBoxWindow;
class CImageBox2Window;
class CPlayerSlot;
class CResource;
class CResultWindow;
struct NetPacket;
struct RoomRecord;

class CResultScreen : public CScreen {
public:
    enum ResultPhase : int { PHASE_LOAD = 0, PHASE_FADE_IN = 1, PHASE_SHOWN = 2, PHASE_COUNTDOWN = 3, PHASE_LEAVING = 4 };
    enum RewardState : int { REWARD_NONE = 0, REWARD_ROWS_1 = 1, REWARD_ROWS_2 = 2, REWARD_SHOWN = 3, REWARD_NO = 4 };
    static constexpr float kCountdown = 30.0f;
    static constexpr size_t kResultBytes = 637;
    static constexpr int kPollNext = 2;
    // Per position: base money, gain, loss, bonus.
    struct MoneyValues {
        int32_t base = 0, gain = 0, loss = 0, bonus = 0;
    };

    // winningTeam: 0 Light, 1 Darkness.
    explicit CResultScreen(int32_t winningTeam);
    ~CResultScreen() override;

    // The replay file, on the loader thread.
    int Job() override;
    int Update() override;
    void Render() override;

    int HandleServerMessages();
    // One message: kPollNext to read on, 1 to end the poll, 0 failed.
    int HandleResultMessage(const NetPacket& packet);
    void FillScores(int final);

    // The score of a slot's counters: min(c0, 6000) + 2 x (25 x (8 c1 + 12 c3 + c2) + c5).
    static int32_t Score(const CPlayerSlot& slot);
    // Positions with a hero in table order: present before gone, then score,
    // hero kills and buildings, highest first; ties keep the position order.
    static std::vector<int> TableOrder(const std::array<CPlayerSlot, 12>& slots, const bool gone[12]);
    // Win points of a position at a place (from 1) of the table, from the
    // ratings of the room's present players.
    static int32_t ComputeWinPoints(const RoomRecord& room, int position, int place, bool winner);
    // "<folder>\REPLAY_YYYYMMDDhhmmss.SRD".
    static std::string ReplayFileName(const std::string& folder, const std::tm& local);

    int32_t WinningTeam() const { return m_winningTeam; }
    float Countdown() const { return m_countdown; }
    int ResultReceived() const { return m_resultReceived; }
    int RewardStateValue() const { return m_rewardState; }
    int JobDone() const { return m_jobDone.load(std::memory_order_acquire); }
    const MoneyValues& Money(int position) const { return m_money[static_cast<size_t>(position)]; }
    CResultWindow* Window() const { return m_window; }
    CImageBox2Window* RewardBox() const { return m_rewardBox; }
    const std::string& ReplayPath() const { return m_replayPath; }
    // The clock the replay's name is taken from (tests fix it).
    using TimeSource = std::time_t (*)();
    static void SetTimeSource(TimeSource source);

private:
    int Load();
    void Leave();
    int Send(uint16_t id);
    int OnGameResult(const NetPacket& packet);
    int OnRewardAnswer(const NetPacket& packet);
    void ShowRewardBox(const std::array<uint32_t, 2>& ids);
    bool AnyImageBoxOpen() const;
    void HideImageBoxes();

    int32_t m_winningTeam;
    float m_countdown = kCountdown;
    int m_resultReceived = 0;
    int m_rewardState = REWARD_NONE;
    std::atomic<int> m_jobDone{0};
    std::array<MoneyValues, 12> m_money{};
    CResultWindow* m_window = nullptr;
    CResource* m_layout = nullptr;
    CImageBoxWindow* m_plainBox = nullptr;
    CResource* m_plainLayout = nullptr;
    CImageBox2Window* m_rewardBox = nullptr;
    CResource* m_rewardLayout = nullptr;
    CResource* m_goldPicture = nullptr;
    CResource* m_silverPicture = nullptr;
    std::vector<CResource*> m_heroPictures;
    // What the job writes, gathered on the main thread before it starts.
    std::string m_replayPath;
    std::string m_mapName;
    uint32_t m_mapStamp = 0;
    std::array<uint8_t, 16> m_mapDigest{};
    ReplayWorldState m_replayWorld;
    bool m_writeReplay = false;
};
