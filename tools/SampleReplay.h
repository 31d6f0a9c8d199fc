// The sample game folder's replay: a short scripted match of two heroes on
// the sample map, run headless and recorded as the client records a match,
// for the replay list and playback. It lies in the game folder beside the
// data; a player or a test copies it into the user's replay folder. Only the
// folder maker program writes it: the match takes a moment, and most folders
// are made for tests that never play it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Math.h"

constexpr const char* kSampleReplay = "SAMPLE.SRD";
// The heroes of slots 0 (the recording's local player) and 1, at the map's
// two start areas.
constexpr const char* kSampleReplayHeroes[2] = {"Night Blade", "Moon Howler"};
// The players' orders of the match, each at its match time: each hero walks
// its own side of the ridge, there and back.
struct SampleReplayOrder {
    float time;
    int slot;
    int kind, subKind;
    float x, z;  // the point on the ground
};
constexpr SampleReplayOrder kSampleReplayOrders[] = {
    {0.5f, 0, 3, 1, 250, 60},
    {0.5f, 1, 3, 1, 80, 290},
    {16.0f, 0, 3, 1, 100, 130},
    {16.0f, 1, 3, 1, 250, 200},
};
constexpr float kSampleReplayLength = 35.0f;
// The match's frame, about 30 a second, in whole milliseconds as the
// client's frame timer measures it: a client whose frames are as long plays
// each record back at the very match time it was recorded at.
constexpr uint32_t kSampleReplayFrameMs = 33;

// Where the recorded match left each hero, for a playback to be held to.
struct SampleReplayEnd {
    platform::Vec3 heroes[2];
};

// Plays the match on the data of the written sample game folder and writes
// <folder>/SAMPLE.SRD; with end given, also where the heroes ended. 1
// written; 0 with the error report set.
int WriteSampleReplay(const std::string& folder, SampleReplayEnd* end = nullptr);
