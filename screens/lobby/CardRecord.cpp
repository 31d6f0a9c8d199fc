#include "screens/lobby/CardRecord.h"

namespace card {

bool IsPrizeCard(uint32_t cardId) {
    switch (cardId) {
        case 3010020100u:
        case 3010030100u:
        case 3010040100u:
        case 3010050100u:
        case 3010060100u:
            return true;
        default:
            return false;
    }
}

}  // namespace card
