// PCM out of a sound file, for sound effects (read whole) and streamed sounds
// (read a chunk at a time, rewound to loop). A WAV file gives its own PCM; an
// Ogg Vorbis file is decoded to 16-bit little-endian signed PCM.
//
// Either reads a loose file or a package entry (offset and size inside the
// package file). Failures set error 10001 with the message-table text of the
// failure and the file name, and return 0; the caller deletes the reader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Audio.h"

class CSoundReader {
public:
    virtual ~CSoundReader();

    // size 0: the loose file name; otherwise size bytes from offset in it.
    virtual int Open(const char* name, platform::AudioFormat* outFormat, uint32_t offset, uint32_t size) = 0;
    virtual void Close() = 0;
    // Up to bytes bytes of PCM into buffer; *outCount (when given) gets the
    // count. The bytes continue exactly where the last read stopped, even in
    // the middle of a sample frame.
    virtual int Read(uint8_t* buffer, uint32_t bytes, uint32_t* outCount) = 0;
    // Back to the first byte of PCM.
    virtual int Reset() = 0;

    const std::string& Name() const { return m_name; }
    // PCM bytes of the whole sound.
    uint32_t TotalBytes() const { return m_totalBytes; }
    // A WAV reader counts this down as it reads; an Ogg reader keeps it at
    // TotalBytes() until a read finds the stream's end. 0 means all is read.
    uint32_t RemainingBytes() const { return m_remainingBytes; }

    // The reader for a file name: ".WAV" in any case gives the WAV reader,
    // anything else the Ogg reader.
    static std::unique_ptr<CSoundReader> ForName(const char* name);

protected:
    std::string m_name;
    uint32_t m_totalBytes = 0;
    uint32_t m_remainingBytes = 0;
};
