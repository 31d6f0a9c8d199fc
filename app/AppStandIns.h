// Stand-ins for the application's services whose own classes are not in the
// program yet. Each does only what the application and the screen base need of
// it today, and nothing more; the real class takes its place as the member's
// type when it arrives. They live in their own namespace so that the real
// classes can never clash with them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>


namespace standin {


class CPlayerSlot {
public:
    int index = 0;
};

}  // namespace standin
