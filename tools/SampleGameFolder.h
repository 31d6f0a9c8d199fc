// The sample game folder: a small, complete game folder written by the
// project's own writers, for tests and for `make run`. Later parts of the
// game add their files here.
//
// Layout made now:
//   VAZE.INI               loose (the patcher reads it too; servers on loopback)
//   PATCHLOGO.BMP          the patch dialog's skin (a colour ramp, 691 x 537)
//   DefaultNotice.htm      the patch dialog's local notice page
//   PACKAGELIST.DRL        the list of the packages below
//   DATA\INFO.DRP          MSG.DAT, GAMEINFO.DAT, GAMETIP.DAT, FilterWord.DAT,
//                          ChangeFilterWord.DAT (text entries stored unchanged)
//   DATA\TEXTURE.DRP       LOGO1.DDS, LOGO2.DDS (DXT5, 256 x 256, with mip
//                          levels) and the first logo's sound LOGO1.WAV
//   DATA\MODEL.DRP         the animated sample model (tools/SampleModel.h)
//   DATA\GAMEDATA.DRP      the game data block and what its records name
//                          (tools/SampleGameData.h)
//   PROTOCOL.DAT           loose: the record permutation and level experience
//                          the network reads (a permutation of the sample's own)
//   SAMPLE.SRD             loose, written by the MakeGameFolder program only: a
//                          recorded duel on the sample map (tools/SampleReplay.h)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/TextFileWriters.h"

class CPackageWriter;

// All 400 message keys in index order with readable English texts; the texts
// used as formats take the arguments their callers give.
std::vector<MessageEntry> SampleMessages();

// The sample skin of the patch dialog, rows top to bottom, RGB.
constexpr int kPatchLogoWidth = 691;
constexpr int kPatchLogoHeight = 537;
std::vector<uint8_t> SamplePatchLogo();

// The "GAMEINFO.DAT" text of the sample folder.
std::string SampleGameInfoText();

// The shader package's entries: the skinning and glow effect files.
void AddSampleShaders(CPackageWriter& shaders);

// Writes the sample folder into folder (a game path; created when missing).
// 1 on success, 0 when a file could not be written.
int MakeSampleGameFolder(const std::string& folder);
// The same with another "GAMEINFO.DAT" text (tests of other logos, maps, data files).
int MakeSampleGameFolder(const std::string& folder, const std::string& gameInfoText);

// The keys of the sample map in the lists of server room modes 0 and 1: the
// map a server draws for a room whose host chose the random map.
constexpr uint16_t kSampleRoomMapKeys[2] = {1, 2};

// The default addresses written to "VAZE.INI".
constexpr const char* kSampleLoginServer = "127.0.0.1";
constexpr const char* kSampleHomepageUrl = "http://127.0.0.1/";
constexpr const char* kSampleJoinUrl = "http://127.0.0.1/join";
