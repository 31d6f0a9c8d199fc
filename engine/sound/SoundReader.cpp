#include "engine/sound/SoundReader.h"

#include <cctype>
#include <string_view>

#include "engine/sound/OggReader.h"
#include "engine/sound/WaveReader.h"

CSoundReader::~CSoundReader() = default;

std::unique_ptr<CSoundReader> CSoundReader::ForName(const char* name) {
    std::string_view n(name ? name : "");
    size_t dot = n.rfind('.');
    std::string ext;
    if (dot != std::string_view::npos) {
        for (char c : n.substr(dot + 1)) ext += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (ext == "WAV") return std::make_unique<CWaveReader>();
    return std::make_unique<COggReader>();
}
