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


class CZEMMap {
public:
    // The header texts and stamp of a map file; until maps are read, a present
    // file gives empty texts.
    int ReadMapHeader(const char*, std::string* text1, std::string* text2, std::string* text3, uint32_t* stamp) {
        text1->clear();
        text2->clear();
        text3->clear();
        *stamp = 0;
        return 1;
    }
};

}  // namespace standin
