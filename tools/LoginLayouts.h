// The layouts of the screens before the lobby, with every control the screens
// bind, and the sample folder's textures and music for them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec LoginLayout();
LayoutFileSpec ReplayListLayout();
LayoutFileSpec SelectChannelLayout();
LayoutFileSpec SelectNicknameLayout();
LayoutFileSpec CreateNicknameLayout();

// "LOGIN.DUI", "REPLAY_LIST.DUI", "SELECT_CHANNEL.DUI", "SELECT_NICKNAME.DUI", "CREATE_NICKNAME.DUI".
int AddLoginLayouts(CPackageWriter& package);
// The channel gauge's two textures and the two pieces of music.
int AddLoginMedia(CPackageWriter& package);
// One second of a sine tone as an Ogg Vorbis stream: the sample folder's music.
std::vector<uint8_t> SampleTune(double frequency);
