#include "tools/WaveWriter.h"

#include <cstring>

#include "platform/File.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

void PutBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
    size_t at = out.size();
    out.resize(at + bytes.size());
    if (!bytes.empty()) std::memcpy(out.data() + at, bytes.data(), bytes.size());
}

}  // namespace

platform::AudioFormat PcmFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
    platform::AudioFormat f;
    f.channels = channels;
    f.samplesPerSec = samplesPerSec;
    f.bitsPerSample = bitsPerSample;
    f.blockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    f.avgBytesPerSec = samplesPerSec * f.blockAlign;
    return f;
}

std::vector<uint8_t> BuildWave(const platform::AudioFormat& format, const std::vector<uint8_t>& pcm,
                               const std::string& extraChunk) {
    std::vector<uint8_t> out;
    PutId(out, "RIFF");
    Put32(out, 0);  // patched below
    PutId(out, "WAVE");

    bool pcmTag = format.formatTag == platform::kAudioFormatPcm;
    PutId(out, "fmt ");
    Put32(out, pcmTag ? 16u : static_cast<uint32_t>(18 + format.extra.size()));
    Put16(out, format.formatTag);
    Put16(out, format.channels);
    Put32(out, format.samplesPerSec);
    Put32(out, format.avgBytesPerSec);
    Put16(out, format.blockAlign);
    Put16(out, format.bitsPerSample);
    if (!pcmTag) {
        Put16(out, static_cast<uint16_t>(format.extra.size()));
        PutBytes(out, format.extra);
        if (format.extra.size() & 1) out.push_back(0);
    }

    if (!extraChunk.empty()) {
        PutId(out, (extraChunk + "    ").c_str());
        Put32(out, 3);
        PutBytes(out, {'a', 'b', 'c', 0});  // an odd size and its pad byte
    }

    PutId(out, "data");
    Put32(out, static_cast<uint32_t>(pcm.size()));
    PutBytes(out, pcm);
    if (pcm.size() & 1) out.push_back(0);

    uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(riffSize >> (8 * i));
    return out;
}

int WriteWave(const std::string& path, const platform::AudioFormat& format, const std::vector<uint8_t>& pcm) {
    std::vector<uint8_t> bytes = BuildWave(format, pcm);
    return platform::WriteWholeFile(path, bytes.data(), bytes.size()) ? 1 : 0;
}
