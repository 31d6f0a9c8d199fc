// RIFF WAVE files. The layout, little-endian:
//   "RIFF" u32 size "WAVE", then chunks: 4-byte id, u32 size, the bytes, and a
//   pad byte when the size is odd.
//   "fmt " (at least 16 bytes): u16 format tag, u16 channels, u32 samples per
//          second, u32 bytes per second, u16 block align, u16 bits per sample;
//          a tag other than PCM (1) adds u16 extra size and that many bytes.
//   "data": the sample bytes.
// Other chunks are skipped. Every chunk must lie inside the file.
#pragma once

#include "engine/sound/SoundReader.h"
#include "engine/sound/SoundSource.h"

class CWaveReader : public CSoundReader {
public:
    ~CWaveReader() override;
    int Open(const char* name, platform::AudioFormat* outFormat, uint32_t offset, uint32_t size) override;
    void Close() override;
    int Read(uint8_t* buffer, uint32_t bytes, uint32_t* outCount) override;
    int Reset() override;

private:
    int Fail();
    // Finds the chunk id at or after the position, inside the RIFF chunk.
    bool FindChunk(const char id[4], uint32_t* dataOffset, uint32_t* size);

    CSoundSource m_source;
    uint32_t m_riffEnd = 0;
    uint32_t m_dataOffset = 0;
};
