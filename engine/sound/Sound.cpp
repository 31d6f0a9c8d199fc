#include "engine/sound/Sound.h"

CSound::~CSound() = default;

void CSound::Unload() {
    CResource::Unload();
    m_format = platform::AudioFormat();
}
