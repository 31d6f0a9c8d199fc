// WAV sounds: the reader and the sound effect made from it.
#include "tests/fuzz/SoundFuzzRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::RunSoundInput("FUZZ.WAV", data, size);
    return 0;
}
