#include "engine/sound/WaveReader.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CWaveReader::~CWaveReader() { Close(); }

int CWaveReader::Fail() {
    ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_NOT_WAVE_FILE), m_name);
    Close();
    return 0;
}

bool CWaveReader::FindChunk(const char id[4], uint32_t* dataOffset, uint32_t* size) {
    uint32_t pos = m_source.Tell();
    while (pos + 8 <= m_riffEnd) {
        uint8_t head[8];
        m_source.Seek(pos);
        if (m_source.Read(head, 8) != 8) return false;
        uint32_t chunkSize = Le32(head + 4);
        uint64_t end = static_cast<uint64_t>(pos) + 8 + chunkSize;
        if (end > m_riffEnd) return false;  // a chunk that claims more than the file holds
        if (std::memcmp(head, id, 4) == 0) {
            *dataOffset = pos + 8;
            *size = chunkSize;
            return true;
        }
        pos = static_cast<uint32_t>(end + (chunkSize & 1));
    }
    return false;
}

int CWaveReader::Open(const char* name, platform::AudioFormat* outFormat, uint32_t offset, uint32_t size) {
    Close();
    m_name = name ? name : "";
    if (!m_source.Open(name, offset, size)) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), m_name);
        Close();
        return 0;
    }
    uint8_t head[12];
    if (m_source.Read(head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return Fail();
    }
    uint64_t riffEnd = 8 + static_cast<uint64_t>(Le32(head + 4));
    if (riffEnd > m_source.Size()) return Fail();
    m_riffEnd = static_cast<uint32_t>(riffEnd);

    uint32_t fmtOffset = 0, fmtSize = 0;
    if (!FindChunk("fmt ", &fmtOffset, &fmtSize) || fmtSize < 16) return Fail();
    uint8_t f[18];
    m_source.Seek(fmtOffset);
    if (m_source.Read(f, 16) != 16) return Fail();
    platform::AudioFormat format;
    format.formatTag = Le16(f);
    format.channels = Le16(f + 2);
    format.samplesPerSec = Le32(f + 4);
    format.avgBytesPerSec = Le32(f + 8);
    format.blockAlign = Le16(f + 12);
    format.bitsPerSample = Le16(f + 14);
    if (format.formatTag != platform::kAudioFormatPcm) {
        if (fmtSize < 18 || m_source.Read(f + 16, 2) != 2) return Fail();
        uint16_t extra = Le16(f + 16);
        if (18u + extra > fmtSize) return Fail();  // the extra bytes must lie inside the chunk
        format.extra.resize(extra);
        if (extra && m_source.Read(format.extra.data(), extra) != extra) return Fail();
    }
    // Sizes are counted in frames later on; a format without any cannot be played or streamed.
    if (format.channels == 0 || format.blockAlign == 0 || format.samplesPerSec == 0) return Fail();
    m_source.Seek(12);
    if (!Reset()) return Fail();
    if (outFormat) *outFormat = std::move(format);
    return 1;
}

int CWaveReader::Reset() {
    if (!m_source.IsOpen()) return 0;
    m_source.Seek(12);
    uint32_t offset = 0, size = 0;
    if (!FindChunk("data", &offset, &size)) return 0;
    m_dataOffset = offset;
    m_totalBytes = m_remainingBytes = size;
    m_source.Seek(offset);
    return 1;
}

int CWaveReader::Read(uint8_t* buffer, uint32_t bytes, uint32_t* outCount) {
    uint32_t n = std::min(m_remainingBytes, bytes);
    uint32_t got = 0;
    if (n && buffer && m_source.IsOpen()) {
        m_source.Seek(static_cast<int64_t>(m_dataOffset) + (m_totalBytes - m_remainingBytes));
        got = m_source.Read(buffer, n);
    }
    // A file that shrank under us ends the sound where its bytes end.
    m_remainingBytes = got == n ? m_remainingBytes - n : 0;
    if (outCount) *outCount = got;
    return 1;
}

void CWaveReader::Close() {
    m_source.Close();
    m_riffEnd = 0;
    m_dataOffset = 0;
}
