#include "engine/Sound.h"

CSound::~CSound() = default;
