// Format tables of GfxFormatInfo.h.
#include "platform/GfxFormatInfo.h"

namespace platform {

bool IsBlockFormat(uint32_t format) { return format == FMT_DXT1 || format == FMT_DXT3 || format == FMT_DXT5; }

uint32_t FormatUnitBytes(uint32_t format) {
    switch (format) {
        case FMT_A8R8G8B8:
        case FMT_X8R8G8B8:
        case FMT_D24S8:
        case FMT_D24X8:
        case FMT_INDEX32:
            return 4;
        case FMT_R8G8B8:
            return 3;
        case FMT_R5G6B5:
        case FMT_X1R5G5B5:
        case FMT_A1R5G5B5:
        case FMT_A4R4G4B4:
        case FMT_D16:
        case FMT_INDEX16:
            return 2;
        case FMT_R3G3B2:
        case FMT_A8:
        case FMT_L8:
            return 1;
        case FMT_DXT1:
            return 8;
        case FMT_DXT3:
        case FMT_DXT5:
            return 16;
        default:
            return 0;
    }
}

bool IsDepthFormat(uint32_t format) { return format == FMT_D16 || format == FMT_D24S8 || format == FMT_D24X8; }

bool IsTextureFormat(uint32_t format) {
    switch (format) {
        case FMT_A8R8G8B8:
        case FMT_X8R8G8B8:
        case FMT_R5G6B5:
        case FMT_X1R5G5B5:
        case FMT_A1R5G5B5:
        case FMT_A4R4G4B4:
        case FMT_A8:
        case FMT_L8:
        case FMT_DXT1:
        case FMT_DXT3:
        case FMT_DXT5:
            return true;
        default:
            return false;
    }
}

uint32_t LevelPitch(uint32_t format, uint32_t width) {
    if (IsBlockFormat(format)) return ((width + 3) / 4) * FormatUnitBytes(format);
    return width * FormatUnitBytes(format);
}

uint32_t LevelRows(uint32_t format, uint32_t height) { return IsBlockFormat(format) ? (height + 3) / 4 : height; }

size_t LevelBytes(uint32_t format, uint32_t width, uint32_t height) {
    return static_cast<size_t>(LevelPitch(format, width)) * LevelRows(format, height);
}

uint32_t FullMipCount(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++levels;
    }
    return levels;
}

uint32_t MipExtent(uint32_t size, uint32_t level) {
    uint32_t v = level < 32 ? size >> level : 0;
    return v ? v : 1;
}

uint32_t FormatColorBits(uint32_t format) {
    switch (format) {
        case FMT_R8G8B8:
            return 24;
        case FMT_A8R8G8B8:
        case FMT_X8R8G8B8:
        case 31:
        case 32:
        case 33:
        case 34:
        case 35:
            return 32;
        case FMT_R5G6B5:
        case FMT_X1R5G5B5:
        case FMT_A1R5G5B5:
        case FMT_A4R4G4B4:
        case 29:
        case 30:
            return 16;
        case FMT_R3G3B2:
        case FMT_A8:
            return 8;
        default:
            return 0;
    }
}

static uint32_t TexCoordFloats(uint32_t fvf, uint32_t set) {
    switch ((fvf >> (16 + set * 2)) & 3) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 2:
            return 4;
        default:
            return 1;
    }
}

// Number of blend weights that follow the position (the last may be indices).
static uint32_t BlendValues(uint32_t position) {
    switch (position) {
        case FVF_XYZB1:
            return 1;
        case FVF_XYZB2:
            return 2;
        case FVF_XYZB3:
            return 3;
        case FVF_XYZB4:
            return 4;
        case FVF_XYZB5:
            return 5;
        default:
            return 0;
    }
}

bool DeclarationFromFvf(uint32_t fvf, std::vector<GfxVertexElement>* elements) {
    elements->clear();
    uint32_t position = fvf & FVF_POSITION_MASK;
    if (position == 0) return false;
    uint16_t offset = 0;
    auto add = [&](uint8_t type, uint8_t usage, uint8_t index, uint16_t bytes) {
        GfxVertexElement e;
        e.offset = offset;
        e.type = type;
        e.usage = usage;
        e.usageIndex = index;
        elements->push_back(e);
        offset = static_cast<uint16_t>(offset + bytes);
    };
    if (position == FVF_XYZRHW) {
        add(DECLTYPE_FLOAT4, DECLUSAGE_POSITIONT, 0, 16);
    } else {
        add(DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0, 12);
        uint32_t blend = BlendValues(position);
        if (blend) {
            bool lastIsIndices = (fvf & FVF_LASTBETA_UBYTE4) != 0;
            uint32_t weights = lastIsIndices ? blend - 1 : blend;
            if (weights)
                add(static_cast<uint8_t>(DECLTYPE_FLOAT1 + weights - 1), DECLUSAGE_BLENDWEIGHT, 0,
                    static_cast<uint16_t>(4 * weights));
            if (lastIsIndices) add(DECLTYPE_UBYTE4, DECLUSAGE_BLENDINDICES, 0, 4);
        }
    }
    if (fvf & FVF_NORMAL) add(DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0, 12);
    if (fvf & FVF_PSIZE) add(DECLTYPE_FLOAT1, DECLUSAGE_PSIZE, 0, 4);
    if (fvf & FVF_DIFFUSE) add(DECLTYPE_D3DCOLOR, DECLUSAGE_COLOR, 0, 4);
    if (fvf & FVF_SPECULAR) add(DECLTYPE_D3DCOLOR, DECLUSAGE_COLOR, 1, 4);
    uint32_t sets = (fvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT;
    if (sets > 8) return false;
    for (uint32_t i = 0; i < sets; ++i) {
        uint32_t floats = TexCoordFloats(fvf, i);
        add(static_cast<uint8_t>(DECLTYPE_FLOAT1 + floats - 1), DECLUSAGE_TEXCOORD, static_cast<uint8_t>(i),
            static_cast<uint16_t>(4 * floats));
    }
    return true;
}

uint32_t FvfVertexSize(uint32_t fvf) {
    std::vector<GfxVertexElement> elements;
    if (!DeclarationFromFvf(fvf, &elements)) return 0;
    const GfxVertexElement& last = elements.back();
    static const uint16_t kTypeBytes[] = {4, 8, 12, 16, 4, 4};
    return last.offset + (last.type < 6 ? kTypeBytes[last.type] : 0);
}

}  // namespace platform
