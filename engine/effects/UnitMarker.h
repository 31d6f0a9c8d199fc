// The selection marker under a unit: which play resource it uses, by whose
// unit it is. The unit and the effect manager are reached through this small
// interface so that the rule stands before the world and the effects do.
#pragma once

class IUnitMarkerHost {
public:
    virtual ~IUnitMarkerHost() = default;

    virtual bool IsSelectable() const = 0;
    // The unit belongs to the local player / to the local player's team.
    virtual bool IsLocalPlayersUnit() const = 0;
    virtual bool IsLocalTeamUnit() const = 0;
    // Creates the marker effect from a play resource under the unit; the unit
    // holds it and the effect manager lists it among its active effects.
    virtual bool CreateMarkerEffect(int playResource) = 0;
};

// Play resources of the three markers.
constexpr int kMarkerOwnUnit = 30;
constexpr int kMarkerTeamUnit = 28;
constexpr int kMarkerOtherUnit = 29;

// Attaches the marker to a selectable unit. 1 when a marker was created.
int AttachUnitMarker(IUnitMarkerHost& unit);
