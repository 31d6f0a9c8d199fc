// Ogg Vorbis files decoded by vorbisfile to 16-bit little-endian signed PCM.
// vorbisfile reads through callbacks on the sound's source, so a package entry
// is decoded from its copy in memory.
#pragma once

#include <memory>

#include "engine/sound/SoundReader.h"
#include "engine/sound/SoundSource.h"

struct OggVorbis_File;

class COggReader : public CSoundReader {
public:
    COggReader();
    ~COggReader() override;
    int Open(const char* name, platform::AudioFormat* outFormat, uint32_t offset, uint32_t size) override;
    void Close() override;
    int Read(uint8_t* buffer, uint32_t bytes, uint32_t* outCount) override;
    int Reset() override;

private:
    int Fail(int message);
    // Decodes up to bytes (a whole number of frames) into out; <= 0 at the end or on a fault.
    long Decode(uint8_t* out, uint32_t bytes);

    CSoundSource m_source;
    std::unique_ptr<OggVorbis_File> m_vf;
    bool m_vfOpen = false;
    uint32_t m_blockAlign = 0;
    // The rest of a frame that a read ended inside; the next read starts with it.
    uint8_t m_carry[16] = {};
    uint32_t m_carryBytes = 0;
    uint32_t m_carryPos = 0;
};
