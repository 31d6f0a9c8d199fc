// The game data block of the sample game folder, built from the record
// classes and written with the registry's own SaveDataBlock, with the effect
// files, icons and hit sounds its records name. Its records link against the
// folder's sample model (SAMPLE.DRC, SAMPLE.DRM, SAMPLE.DDS).
//
//   DATA\GAMEDATA.DRP   GAMEDATA.DAT (the block; "GAMEINFO.DAT" names it as
//                       LOAD_DATA), SPARK.DRE (a textured billboard spark),
//                       MESHFX.DRE (a mesh effect on the sample mesh),
//                       AURA.DRE (an endless aura), SPARK.DDS, ICON1.DDS,
//                       ICON2.DDS, HIT1.WAV .. HIT3.WAV
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CGameDataRegistry;
class CPackageWriter;

constexpr const char* kSampleDataBlock = "GAMEDATA.DAT";

// Fills an empty registry with the sample records (not process-wide: the
// caller's registry). Names of the lord units are in code page 949.
void BuildSampleGameData(CGameDataRegistry& registry);

// The block's bytes as SaveDataBlock writes them.
std::vector<uint8_t> SampleGameDataBlock();

// The heroes of a side (0 or 1; the side bit 1 << 28 of a hero's flags) that
// hero select lists on its open race tabs, in registry order: a server draws
// a random pick from them.
std::vector<uint32_t> SampleHeroIds(int side);

// Adds the block and the files its records name to a package.
int AddSampleGameData(CPackageWriter& package);
