// The choices of the make-room and quick-join windows, kept apart from their
// controls: the level choice and game mode with their bounds, the rank range
// and level texts they give, and the checks a new room's title and password
// pass before the request goes out.
#pragma once

#include <string>
#include <vector>

#include "screens/lobby/RoomRowView.h"

class CRoomSettings {
public:
    // maxChoice: 4 for a new room (-1 no limit .. 4), 0 for a quick join.
    explicit CRoomSettings(int maxChoice) : m_maxChoice(maxChoice) {}

    // Back to no level limit and mode 0.
    void Reset() {
        m_choice = -1;
        m_mode = 0;
    }
    void LowerChoice() { if (m_choice > -1) --m_choice; }
    void RaiseChoice() { if (m_choice < m_maxChoice) ++m_choice; }
    void LowerMode() { if (m_mode > 0) --m_mode; }
    void RaiseMode() { if (m_mode < 1) ++m_mode; }
    void SetMode(int mode) { m_mode = mode < 0 ? 0 : (mode > 1 ? 1 : mode); }
    void SetChoice(int choice) { m_choice = choice < -1 ? -1 : (choice > m_maxChoice ? m_maxChoice : choice); }
    int Choice() const { return m_choice; }
    int Mode() const { return m_mode; }
    // The random-team box only counts in mode 0.
    bool RandomTeamEnabled() const { return m_mode == 0; }

    RankRange Range(int rank) const { return MakeRankRange(rank, m_choice); }
    // The level limit's two texts: the range (or entry 63) and the rank names
    // of its ends (or entry 64). A rank without a name in the list reads empty.
    void LevelTexts(int rank, const std::vector<std::string>& rankNames, std::string* range,
                    std::string* info) const;

private:
    int m_maxChoice;
    int m_choice = -1;
    int m_mode = 0;
};

enum RoomInputCheck { ROOM_INPUT_OK, ROOM_INPUT_NO_TITLE, ROOM_INPUT_TITLE_TOO_LONG, ROOM_INPUT_PASSWORD_TOO_LONG };
// Byte limits of the title (30) and the password (12); the text to show for
// a refusal is written to *message (empty for a missing title, which only
// takes the focus back to the title edit).
RoomInputCheck CheckRoomInput(const std::string& title, const std::string& password, std::string* message);
