// The visual reference block (also called ShootInfo): an effect, a model and
// a sound that units, buildings and skills carry for their shots and hits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/resource/Resource.h"

class CFileStream;

struct VisualRef {
    CResource* effect = nullptr;
    std::string effectName;
    uint32_t effectWord = 0xFFFFFFFFu;
    CResource* model = nullptr;
    std::string modelName;  // the shot object
    uint32_t refWord1 = 0, refWord2 = 0;
    std::array<uint32_t, 3> offset{};
    std::string soundName;
    CResource* sound = nullptr;
};

// Reads or writes the block: effect name, word, model name, two words, offset, sound name.
bool SerializeVisualRef(VisualRef& ref, CFileStream& stream);
// Takes the block's effect, model and sound; 1 when good, 0 with the error
// report set (an effect of the refused type or one emitting without end fails).
int LinkVisualRef(VisualRef& ref);
void ReleaseVisualRef(VisualRef& ref);
