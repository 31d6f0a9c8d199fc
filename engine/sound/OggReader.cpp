#include "engine/sound/OggReader.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"

namespace {

size_t SourceRead(void* ptr, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) return 0;
    uint64_t want = static_cast<uint64_t>(size) * count;
    uint32_t n =
        static_cast<CSoundSource*>(source)->Read(ptr, static_cast<uint32_t>(std::min<uint64_t>(want, UINT32_MAX)));
    return n / size;
}

int SourceSeek(void* source, ogg_int64_t offset, int whence) {
    auto* s = static_cast<CSoundSource*>(source);
    int64_t base = whence == SEEK_CUR ? s->Tell() : whence == SEEK_END ? s->Size() : 0;
    // Clamped to the sound's bytes both ways: a hostile offset never points outside them.
    s->Seek(base + std::clamp<int64_t>(offset, -(int64_t{1} << 40), int64_t{1} << 40));
    return 0;
}

long SourceTell(void* source) { return static_cast<long>(static_cast<CSoundSource*>(source)->Tell()); }

int SourceClose(void*) { return 0; }

}  // namespace

COggReader::COggReader() : m_vf(std::make_unique<OggVorbis_File>()) {}

COggReader::~COggReader() { Close(); }

int COggReader::Fail(int message) {
    ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(message), m_name);
    Close();
    return 0;
}

int COggReader::Open(const char* name, platform::AudioFormat* outFormat, uint32_t offset, uint32_t size) {
    Close();
    m_name = name ? name : "";
    if (!m_source.Open(name, offset, size)) return Fail(MSG_ERROR_FILE_NOT_FOUND);
    char magic[4];
    if (m_source.Read(magic, 4) != 4 || std::memcmp(magic, "OggS", 4) != 0) return Fail(MSG_ERROR_NOT_OGG_FILE);
    m_source.Seek(0);

    ov_callbacks callbacks{SourceRead, SourceSeek, SourceClose, SourceTell};
    if (ov_open_callbacks(&m_source, m_vf.get(), nullptr, 0, callbacks) != 0) return Fail(MSG_ERROR_NOT_OGG_FILE);
    m_vfOpen = true;
    vorbis_info* info = ov_info(m_vf.get(), -1);
    if (!info || info->channels < 1 || info->channels > 8 || info->rate < 1) return Fail(MSG_ERROR_NOT_OGG_FILE);
    platform::AudioFormat format;
    format.formatTag = platform::kAudioFormatPcm;
    format.channels = static_cast<uint16_t>(info->channels);
    format.samplesPerSec = static_cast<uint32_t>(info->rate);
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<uint16_t>(2 * info->channels);
    format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
    m_blockAlign = format.blockAlign;
    if (!Reset()) {
        Close();
        return 0;
    }
    if (outFormat) *outFormat = std::move(format);
    return 1;
}

int COggReader::Reset() {
    if (!m_vfOpen) return 0;
    m_carryBytes = m_carryPos = 0;
    ogg_int64_t frames = ov_pcm_total(m_vf.get(), -1);
    if (!ov_seekable(m_vf.get()) || frames < 0 || static_cast<uint64_t>(frames) * m_blockAlign > UINT32_MAX ||
        ov_pcm_seek(m_vf.get(), 0) != 0) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_NOT_OGG_FILE), m_name);
        return 0;
    }
    m_totalBytes = m_remainingBytes = static_cast<uint32_t>(frames) * m_blockAlign;
    return 1;
}

long COggReader::Decode(uint8_t* out, uint32_t bytes) {
    for (;;) {
        int section = 0;
        long n = ov_read(m_vf.get(), reinterpret_cast<char*>(out),
                         static_cast<int>(std::min<uint32_t>(bytes, 1u << 20)), 0, 2, 1, &section);
        // A hole (a lost page) only skips the sound it held; the stream goes on.
        if (n != OV_HOLE) return n;
    }
}

int COggReader::Read(uint8_t* buffer, uint32_t bytes, uint32_t* outCount) {
    uint32_t done = 0;
    bool end = false;
    if (m_vfOpen && buffer) {
        uint32_t c = std::min(bytes, m_carryBytes - m_carryPos);
        std::memcpy(buffer, m_carry + m_carryPos, c);
        m_carryPos += c;
        done += c;
        bool first = true;
        while (done < bytes) {
            uint32_t left = bytes - done;
            long n;
            if (left >= m_blockAlign) {
                n = Decode(buffer + done, left - left % m_blockAlign);
                if (n > 0) done += static_cast<uint32_t>(n);
            } else {
                // Less than a frame wanted: decode one and keep the rest for the next read.
                n = Decode(m_carry, m_blockAlign);
                if (n > 0) {
                    uint32_t take = std::min(left, static_cast<uint32_t>(n));
                    std::memcpy(buffer + done, m_carry, take);
                    m_carryBytes = static_cast<uint32_t>(n);
                    m_carryPos = take;
                    done += take;
                }
            }
            if (n <= 0) {
                end = first && done == 0;
                break;
            }
            first = false;
        }
    }
    if (end || !m_vfOpen) m_remainingBytes = 0;
    if (outCount) *outCount = done;
    return 1;
}

void COggReader::Close() {
    if (m_vfOpen) ov_clear(m_vf.get());
    m_vfOpen = false;
    m_source.Close();
    m_carryBytes = m_carryPos = 0;
}
