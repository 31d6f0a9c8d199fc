// Places and ids for objects that a skill or a summons brings: chosen once,
// by the machine in charge, and carried to every machine in the records it
// queues.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"

class CWorldObjectManager;

// Consecutive ids from the manager's counter, which moves past them; -1 when
// the count is not positive or the ids would pass the manager's limit.
int32_t ReserveObjectIds(CWorldObjectManager& objects, int32_t count);
// Free spots around the point for the size, at most wanted: only the spots found, none when the point has no room, so
// no id is reserved for a unit with no place.
std::vector<platform::Vec3> FindFreeSpots(CWorldObjectManager& objects, const platform::Vec3& point, float size,
                                          int32_t wanted);
