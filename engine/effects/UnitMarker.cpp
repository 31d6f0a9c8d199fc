#include "engine/effects/UnitMarker.h"

int AttachUnitMarker(IUnitMarkerHost& unit) {
    if (!unit.IsSelectable()) return 0;
    int resource = unit.IsLocalPlayersUnit() ? kMarkerOwnUnit
                   : unit.IsLocalTeamUnit()  ? kMarkerTeamUnit
                                             : kMarkerOtherUnit;
    return unit.CreateMarkerEffect(resource) ? 1 : 0;
}
