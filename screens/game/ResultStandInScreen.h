// The screen a match's result goes to until the real result screen exists:
// it keeps the winning team it was given and otherwise behaves like the
// other stand-ins (a cleared window that ends on Escape or close).
#pragma once

#include <cstdint>

#include "ui/StandInScreen.h"

class CResultStandInScreen : public CStandInScreen {
public:
    explicit CResultStandInScreen(int32_t matchResult) : m_matchResult(matchResult) {}
    int32_t MatchResult() const { return m_matchResult; }

private:
    int32_t m_matchResult;
};
