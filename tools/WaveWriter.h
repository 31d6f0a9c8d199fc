// Writes RIFF WAVE files as the WAV reader reads them: "RIFF", "WAVE", a
// "fmt " chunk and a "data" chunk, little-endian, field by field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Audio.h"

// A PCM format with its block alignment and byte rate worked out.
platform::AudioFormat PcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

// The bytes of a wave file. A format tag other than PCM gets its extra size
// and extra bytes; extraChunk (when not empty) is a chunk of that id placed
// between "fmt " and "data", as other writers leave them.
std::vector<uint8_t> BuildWave(const platform::AudioFormat& format, const std::vector<uint8_t>& pcm,
                               const std::string& extraChunk = "");

// Writes it to a file (game path); 0 on failure.
int WriteWave(const std::string& path, const platform::AudioFormat& format, const std::vector<uint8_t>& pcm);
