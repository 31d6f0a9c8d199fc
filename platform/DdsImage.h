// DDS images: the texture files of the game. Reads the header and the level
// data of 2D images from memory; cube maps and volumes are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/GfxTypes.h"

namespace platform {

enum GfxImageFileFormat : uint32_t { IFF_DDS = 4 };
enum GfxResourceType : uint32_t { RTYPE_TEXTURE = 3 };

struct GfxImageInfo {
    uint32_t width = 0, height = 0, depth = 1, mipLevels = 0, format = FMT_UNKNOWN;
    uint32_t resourceType = RTYPE_TEXTURE, imageFileFormat = IFF_DDS;
};

class CDdsImage {
public:
    // GFXERR_INVALIDDATA for anything that is not a complete 2D DDS image of a known format.
    GfxResult Parse(const uint8_t* data, size_t size);
    const GfxImageInfo& Info() const { return m_info; }
    // The levels in the file (pointers into the parsed bytes, valid while they live).
    const uint8_t* Level(uint32_t level) const { return m_levels[level].data; }
    size_t LevelSize(uint32_t level) const { return m_levels[level].size; }

private:
    struct Span {
        const uint8_t* data;
        size_t size;
    };
    GfxImageInfo m_info;
    std::vector<Span> m_levels;
};

GfxResult GetImageInfoFromFileInMemory(const void* data, size_t size, GfxImageInfo* info);
// gamePath in the game's backslash form.
GfxResult GetImageInfoFromFile(std::string_view gamePath, GfxImageInfo* info);

}  // namespace platform
