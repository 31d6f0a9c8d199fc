// The fixed-function pipeline as GLSL. Everything that changes the shader
// code is packed into one small key (zeroed first, so that keys compare
// byte-wise; stages after the first disabled one are left zero); one program
// is generated and compiled per key and kept in a cache.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/GfxDevice.h"

namespace platform {

struct GlFixedFunctionKey {
    struct Stage {
        uint8_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
        uint8_t coordSource;  // 0..7 a coordinate set; 8 the camera-space position
        uint8_t transform;    // TTFF count (0 none) | 0x80 projected
        uint8_t textured;     // a texture is bound
    };
    uint8_t pretransformed, hasNormal, hasDiffuse, texSets;
    uint8_t lighting, normalize, diffuseSource, ambientSource;
    uint8_t fog;        // 0 none, 1 vertex linear, 2 table linear
    uint8_t alphaFunc;  // 0 no test, else the comparison
    uint8_t pad[2];
    Stage stage[2];

    bool operator==(const GlFixedFunctionKey& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
};

struct GlFixedFunctionKeyHash {
    size_t operator()(const GlFixedFunctionKey& k) const;
};

// The key for the device's state and the vertex format in use. texSets is the
// number of coordinate sets in the vertex, textured[i] whether stage i has a texture.
GlFixedFunctionKey MakeFixedFunctionKey(const GfxState& state, bool pretransformed, bool hasNormal, bool hasDiffuse,
                                        uint32_t texSets, const bool textured[2]);

// Shader sources for a key (the vertex inputs use GlVertexInput's locations).
std::string FixedFunctionVertexSource(const GlFixedFunctionKey& key);
std::string FixedFunctionFragmentSource(const GlFixedFunctionKey& key);

}  // namespace platform
