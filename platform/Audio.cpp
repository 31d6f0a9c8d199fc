#include "platform/Audio.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

constexpr uint32_t kRingBufferCount = AudioBuffer::kRingLeadSegments + 4;
constexpr float kSpeedOfSound = 343.3f;

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void* g_alsa = nullptr;

// Without a sound card alsa-lib prints its failed opens and OpenAL Soft its
// own on standard error, though the game then goes on silently as intended.
// alsa-lib's handler is set through the library OpenAL Soft loads too (so the
// program does not link it), and OpenAL Soft's log stays off unless the user
// asked for it. With a card nothing is printed either way.
void QuietSoundLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        setenv("ALSOFT_LOGLEVEL", "0", 0);
        // Kept loaded for the process: unloading it would drop the handler.
        g_alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (!g_alsa) return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(g_alsa, "snd_lib_error_set_handler"))) set(&IgnoreAlsaError);
    });
}

// alsa-lib keeps the configuration it read in globals of its own. When no
// device opens, OpenAL Soft gives ALSA up (and used to unload it, leaving the
// tree unowned): it is freed here; a later open reads it again.
void FreeAlsaConfiguration() {
    if (!g_alsa) return;
    using FreeGlobal = int (*)();
    if (auto freeGlobal = reinterpret_cast<FreeGlobal>(dlsym(g_alsa, "snd_config_update_free_global"))) freeGlobal();
}

ALCdevice* Dev(void* p) { return static_cast<ALCdevice*>(p); }
ALCcontext* Ctx(void* p) { return static_cast<ALCcontext*>(p); }

void ClearAlError() { (void)alGetError(); }
bool AlFailed() { return alGetError() != AL_NO_ERROR; }

ALenum AlFormatOf(const AudioFormat& f) {
    if (f.channels == 1) return f.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

bool IsPlayableFormat(const AudioFormat& f) {
    if (f.formatTag != kAudioFormatPcm) return false;
    if (f.channels != 1 && f.channels != 2) return false;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
    if (f.blockAlign != f.channels * f.bitsPerSample / 8) return false;
    return f.samplesPerSec >= 100 && f.samplesPerSec <= 200000;
}

// The game's space is left-handed with z forward; OpenAL's is right-handed
// with z backward. Mirroring z keeps left and right where they were.
void ToAl(const float in[3], ALfloat out[3]) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = -in[2];
}

}  // namespace

const char* AudioResultName(long result) {
    switch (result) {
        case AUDIO_OK:
            return "AUDIO_OK";
        case AUDIO_ERR_NO_DEVICE:
            return "AUDIO_ERR_NO_DEVICE";
        case AUDIO_ERR_INVALID_PARAM:
            return "AUDIO_ERR_INVALID_PARAM";
        case AUDIO_ERR_BAD_FORMAT:
            return "AUDIO_ERR_BAD_FORMAT";
        case AUDIO_ERR_CONTROL_UNAVAILABLE:
            return "AUDIO_ERR_CONTROL_UNAVAILABLE";
        case AUDIO_ERR_OUT_OF_RESOURCES:
            return "AUDIO_ERR_OUT_OF_RESOURCES";
        case AUDIO_ERR_INVALID_CALL:
            return "AUDIO_ERR_INVALID_CALL";
        default:
            return "AUDIO_ERR_UNKNOWN";
    }
}

const char* AudioResultDescription(long result) {
    switch (result) {
        case AUDIO_OK:
            return "The call succeeded.";
        case AUDIO_ERR_NO_DEVICE:
            return "No sound output is available.";
        case AUDIO_ERR_INVALID_PARAM:
            return "A value passed to the call is out of range.";
        case AUDIO_ERR_BAD_FORMAT:
            return "The sound format cannot be played.";
        case AUDIO_ERR_CONTROL_UNAVAILABLE:
            return "The buffer was not created with this control.";
        case AUDIO_ERR_OUT_OF_RESOURCES:
            return "The sound output has no room for another buffer or voice.";
        case AUDIO_ERR_INVALID_CALL:
            return "The call is not valid in the current state.";
        default:
            return "Unknown error.";
    }
}

float AudioLevelToGain(int32_t level) {
    if (level <= kAudioVolumeMin) return 0.0f;
    if (level >= kAudioVolumeMax) return 1.0f;
    return static_cast<float>(std::pow(10.0, level / 2000.0));
}

// The bytes every duplicate of a static buffer plays, and the OpenAL buffer
// that holds their latest upload. An upload while a source still plays the old
// OpenAL buffer goes to a fresh one; the old one is deleted once no source
// holds it any more.
struct AudioBuffer::SharedData {
    std::vector<uint8_t> bytes;
    ALenum alFormat = 0;
    ALsizei rate = 0;
    uint32_t blockAlign = 1;
    ALuint current = 0;
    std::vector<ALuint> retired;

    long Upload() {
        ALsizei size = static_cast<ALsizei>(bytes.size() / blockAlign * blockAlign);
        ClearAlError();
        if (current) {
            alBufferData(current, alFormat, bytes.data(), size, rate);
            if (!AlFailed()) return AUDIO_OK;
            retired.push_back(current);  // still played by a source
            current = 0;
        }
        ALuint b = 0;
        alGenBuffers(1, &b);
        if (AlFailed()) return AUDIO_ERR_OUT_OF_RESOURCES;
        alBufferData(b, alFormat, bytes.data(), size, rate);
        if (AlFailed()) {
            alDeleteBuffers(1, &b);
            return AUDIO_ERR_OUT_OF_RESOURCES;
        }
        current = b;
        Collect();
        return AUDIO_OK;
    }

    void Collect() {
        for (size_t i = 0; i < retired.size();) {
            ClearAlError();
            alDeleteBuffers(1, &retired[i]);
            if (AlFailed()) {
                ++i;  // a source still holds it
            } else {
                retired.erase(retired.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }

    void DeleteAll() {
        Collect();
        if (current) alDeleteBuffers(1, &current);
        current = 0;
        retired.clear();
    }
};

AudioBuffer::AudioBuffer(AudioDevice* device, const AudioBufferDesc& desc, std::shared_ptr<SharedData> data)
    : m_device(device), m_flags(desc.flags), m_size(desc.bytes), m_format(desc.format), m_data(std::move(data)) {
    uint32_t frames =
        std::max<uint32_t>(1, (m_format.samplesPerSec + kRingSegmentsPerSecond - 1) / kRingSegmentsPerSecond);
    m_ringSegmentBytes = frames * m_format.blockAlign;
}

AudioBuffer::~AudioBuffer() {
    if (m_device) {
        Release();
        m_device->Forget(this);
    }
}

long AudioBuffer::CreateSource() {
    ClearAlError();
    alGenSources(1, &m_source);
    if (AlFailed()) {
        m_source = 0;
        return AUDIO_ERR_OUT_OF_RESOURCES;
    }
    if (IsRing()) {
        m_ringSpare.resize(kRingBufferCount);
        alGenBuffers(static_cast<ALsizei>(m_ringSpare.size()), m_ringSpare.data());
        if (AlFailed()) {
            m_ringSpare.clear();
            alDeleteSources(1, &m_source);
            m_source = 0;
            return AUDIO_ERR_OUT_OF_RESOURCES;
        }
    }
    Apply3D();
    return AUDIO_OK;
}

void AudioBuffer::Apply3D() {
    if (m_flags & AUDIO_BUFFER_CTRL3D) {
        ALfloat p[3];
        ToAl(m_position, p);
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSourcefv(m_source, AL_POSITION, p);
        alSourcef(m_source, AL_REFERENCE_DISTANCE, m_minDistance);
        alSourcef(m_source, AL_MAX_DISTANCE, m_maxDistance);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, m_device ? m_device->m_listener.rolloffFactor : 1.0f);
    } else {
        // A plain buffer is heard as it is: at the listener, unattenuated, and
        // a stereo one with its channels straight to the speakers.
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_source, AL_POSITION, 0, 0, 0);
        alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
        if (m_format.channels == 2) alSourcei(m_source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    alSourcef(m_source, AL_GAIN, AudioLevelToGain(m_volume));
}

void AudioBuffer::Release() {
    if (!m_source) return;
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    alDeleteSources(1, &m_source);
    m_source = 0;
    m_attached = 0;
    for (const Segment& s : m_ringQueue) m_ringSpare.push_back(s.buffer);
    m_ringQueue.clear();
    if (!m_ringSpare.empty()) alDeleteBuffers(static_cast<ALsizei>(m_ringSpare.size()), m_ringSpare.data());
    m_ringSpare.clear();
    m_ringPlaying = false;
    if (m_data.use_count() == 1) {
        m_data->DeleteAll();
    } else {
        m_data->Collect();
    }
}

long AudioBuffer::AttachCurrentData() {
    if (!m_data->current) {
        long r = m_data->Upload();
        if (r != AUDIO_OK) return r;
    }
    if (m_attached == m_data->current) return AUDIO_OK;
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) {
        ALint offset = 0;
        alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
        m_startOffset = static_cast<uint32_t>(std::max(offset, 0));
    }
    alSourceStop(m_source);
    ClearAlError();
    alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_data->current));
    if (AlFailed()) return AUDIO_ERR_INVALID_CALL;
    m_attached = m_data->current;
    m_data->Collect();
    return AUDIO_OK;
}

long AudioBuffer::Play(bool loop) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    m_looping = loop;
    if (IsRing()) {
        if (m_ringPlaying) {
            if (loop && m_ringQueueClosed) {
                m_ringQueueClosed = false;
                m_ringQueueEnd = 0;
            }
            RingPump();
            return AUDIO_OK;
        }
        m_ringQueueStart = m_ringQueueEnd = m_startOffset;
        m_ringQueuedBytes = 0;
        m_ringQueueClosed = false;
        while (m_ringQueuedBytes < kRingLeadSegments * m_ringSegmentBytes && RingQueueSegment()) {
        }
        ClearAlError();
        alSourcePlay(m_source);
        if (AlFailed()) {
            RingUnqueueAll();
            return AUDIO_ERR_INVALID_CALL;
        }
        m_ringPlaying = true;
        return AUDIO_OK;
    }

    alSourcei(m_source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    long r = AttachCurrentData();
    if (r != AUDIO_OK) return r;
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) return AUDIO_OK;
    ClearAlError();
    if (state != AL_PAUSED) {
        alSourceRewind(m_source);
        if (m_startOffset) alSourcei(m_source, AL_BYTE_OFFSET, static_cast<ALint>(m_startOffset));
        m_startOffset = 0;
    }
    alSourcePlay(m_source);
    return AlFailed() ? AUDIO_ERR_INVALID_CALL : AUDIO_OK;
}

long AudioBuffer::Stop() {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (IsRing()) {
        if (m_ringPlaying) {
            m_startOffset = RingCursor();
            RingUnqueueAll();
        }
        return AUDIO_OK;
    }
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) alSourcePause(m_source);  // paused keeps its place
    return AUDIO_OK;
}

long AudioBuffer::SetCurrentPosition(uint32_t offset) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (offset >= m_size) return AUDIO_ERR_INVALID_PARAM;
    offset -= offset % m_format.blockAlign;
    if (IsRing()) {
        if (!m_ringPlaying) {
            m_startOffset = offset;
            return AUDIO_OK;
        }
        RingUnqueueAll();
        m_startOffset = offset;
        return Play(m_looping);
    }
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if ((state == AL_PLAYING || state == AL_PAUSED) && m_attached) {
        ClearAlError();
        alSourcei(m_source, AL_BYTE_OFFSET, static_cast<ALint>(offset));
        return AlFailed() ? AUDIO_ERR_INVALID_CALL : AUDIO_OK;
    }
    m_startOffset = offset;
    return AUDIO_OK;
}

long AudioBuffer::GetCurrentPosition(uint32_t* playCursor) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (!playCursor) return AUDIO_ERR_INVALID_PARAM;
    if (IsRing()) {
        *playCursor = RingCursor();
        return AUDIO_OK;
    }
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING || state == AL_PAUSED) {
        ALint offset = 0;
        alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
        *playCursor = static_cast<uint32_t>(std::max(offset, 0));
    } else {
        *playCursor = m_startOffset;
    }
    return AUDIO_OK;
}

long AudioBuffer::GetStatus(uint32_t* status) {
    if (!status) return AUDIO_ERR_INVALID_PARAM;
    *status = 0;
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    bool playing = false;
    if (IsRing()) {
        RingPump();
        playing = m_ringPlaying;
    } else {
        ALint state = AL_INITIAL;
        alGetSourcei(m_source, AL_SOURCE_STATE, &state);
        playing = state == AL_PLAYING;
    }
    if (playing) *status = AUDIO_STATUS_PLAYING | (m_looping ? uint32_t{AUDIO_STATUS_LOOPING} : 0u);
    return AUDIO_OK;
}

long AudioBuffer::SetVolume(int32_t level) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (!(m_flags & AUDIO_BUFFER_CTRLVOLUME)) return AUDIO_ERR_CONTROL_UNAVAILABLE;
    if (level < kAudioVolumeMin || level > kAudioVolumeMax) return AUDIO_ERR_INVALID_PARAM;
    m_volume = level;
    ++m_volumeCalls;
    alSourcef(m_source, AL_GAIN, AudioLevelToGain(level));
    return AUDIO_OK;
}

long AudioBuffer::SetPosition(float x, float y, float z) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (!(m_flags & AUDIO_BUFFER_CTRL3D)) return AUDIO_ERR_CONTROL_UNAVAILABLE;
    m_position[0] = x;
    m_position[1] = y;
    m_position[2] = z;
    ALfloat p[3];
    ToAl(m_position, p);
    alSourcefv(m_source, AL_POSITION, p);
    return AUDIO_OK;
}

long AudioBuffer::SetDistances(float minDistance, float maxDistance) {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    if (!(m_flags & AUDIO_BUFFER_CTRL3D)) return AUDIO_ERR_CONTROL_UNAVAILABLE;
    if (!(minDistance > 0.0f) || !(maxDistance >= minDistance)) return AUDIO_ERR_INVALID_PARAM;
    m_minDistance = minDistance;
    m_maxDistance = maxDistance;
    alSourcef(m_source, AL_REFERENCE_DISTANCE, minDistance);
    alSourcef(m_source, AL_MAX_DISTANCE, maxDistance);
    return AUDIO_OK;
}

uint8_t* AudioBuffer::Lock(uint32_t offset, uint32_t bytes) {
    if (!m_source || bytes == 0 || offset > m_size || bytes > m_size - offset) return nullptr;
    return m_data->bytes.data() + offset;
}

long AudioBuffer::Unlock() {
    if (!m_source) return AUDIO_ERR_NO_DEVICE;
    // A ring copies its bytes out segment by segment when they are queued.
    if (IsRing()) return AUDIO_OK;
    return m_data->Upload();
}

bool AudioBuffer::RingQueueSegment() {
    if (m_ringQueueClosed || m_ringSpare.empty() || m_ringQueueEnd >= m_size) return false;
    uint32_t bytes = std::min(m_ringSegmentBytes, m_size - m_ringQueueEnd);
    ALuint b = m_ringSpare.back();
    ClearAlError();
    alBufferData(b, m_data->alFormat, m_data->bytes.data() + m_ringQueueEnd, static_cast<ALsizei>(bytes), m_data->rate);
    alSourceQueueBuffers(m_source, 1, &b);
    if (AlFailed()) return false;
    m_ringSpare.pop_back();
    m_ringQueue.push_back(Segment{b, bytes});
    m_ringQueuedBytes += bytes;
    m_ringQueueEnd += bytes;
    if (m_ringQueueEnd >= m_size) {
        if (m_looping) {
            m_ringQueueEnd = 0;
        } else {
            m_ringQueueClosed = true;
        }
    }
    return true;
}

void AudioBuffer::RingPump() {
    if (!m_ringPlaying) return;
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !m_ringQueue.empty()) {
        Segment s = m_ringQueue.front();
        alSourceUnqueueBuffers(m_source, 1, &s.buffer);
        m_ringQueue.pop_front();
        m_ringSpare.push_back(s.buffer);
        m_ringQueueStart = (m_ringQueueStart + s.bytes) % m_size;
        m_ringQueuedBytes -= s.bytes;
    }
    ALint offset = 0;
    alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
    uint32_t played = std::min(static_cast<uint32_t>(std::max(offset, 0)), m_ringQueuedBytes);
    while (m_ringQueuedBytes - played < kRingLeadSegments * m_ringSegmentBytes && RingQueueSegment()) {
    }
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) return;
    if (m_ringQueue.empty()) {
        // A buffer played once has played its last byte.
        RingUnqueueAll();
        m_startOffset = 0;
        return;
    }
    // The queue ran dry between two top-ups: go on with what is queued now.
    alSourcePlay(m_source);
}

void AudioBuffer::RingUnqueueAll() {
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);  // a stopped source drops its whole queue
    for (const Segment& s : m_ringQueue) m_ringSpare.push_back(s.buffer);
    m_ringQueue.clear();
    m_ringQueuedBytes = 0;
    m_ringPlaying = false;
}

uint32_t AudioBuffer::RingCursor() {
    RingPump();
    if (!m_ringPlaying) return m_startOffset;
    ALint offset = 0;
    alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
    uint32_t inQueue = std::min(static_cast<uint32_t>(std::max(offset, 0)), m_ringQueuedBytes);
    return (m_ringQueueStart + inQueue) % m_size;
}

AudioDevice::AudioDevice() = default;

AudioDevice::~AudioDevice() { Close(); }

long AudioDevice::Open(const char* deviceName) {
    Close();
    QuietSoundLibraries();
    ALCdevice* dev = alcOpenDevice(deviceName);
    if (!dev) {
        FreeAlsaConfiguration();
        return AUDIO_ERR_NO_DEVICE;
    }
    m_device = dev;
    m_loopback = false;
    long r = CreateContext(0);
    if (r != AUDIO_OK) Close();
    return r;
}

long AudioDevice::OpenLoopback(uint32_t rate) {
    Close();
    if (rate < 100 || rate > 200000) return AUDIO_ERR_INVALID_PARAM;
    ALCdevice* dev = alcLoopbackOpenDeviceSOFT(nullptr);
    if (!dev) return AUDIO_ERR_NO_DEVICE;
    m_device = dev;
    m_loopback = true;
    long r = CreateContext(rate);
    if (r != AUDIO_OK) Close();
    return r;
}

long AudioDevice::CreateContext(uint32_t rate) {
    ALCint attrs[16];
    int n = 0;
    if (rate) {
        attrs[n++] = ALC_FREQUENCY;
        attrs[n++] = static_cast<ALCint>(rate);
    }
    // Straight output: no head-related filtering and no limiter, so what is
    // played is what comes out.
    attrs[n++] = ALC_HRTF_SOFT;
    attrs[n++] = ALC_FALSE;
    attrs[n++] = ALC_OUTPUT_LIMITER_SOFT;
    attrs[n++] = ALC_FALSE;
    if (m_loopback) {
        attrs[n++] = ALC_FORMAT_CHANNELS_SOFT;
        attrs[n++] = ALC_STEREO_SOFT;
        attrs[n++] = ALC_FORMAT_TYPE_SOFT;
        attrs[n++] = ALC_FLOAT_SOFT;
    }
    attrs[n++] = 0;
    ALCcontext* ctx = alcCreateContext(Dev(m_device), attrs);
    if (!ctx) return AUDIO_ERR_NO_DEVICE;
    if (!alcMakeContextCurrent(ctx)) {
        alcDestroyContext(ctx);
        return AUDIO_ERR_NO_DEVICE;
    }
    m_context = ctx;
    m_rate = rate;
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return SetListener(m_listener);
}

void AudioDevice::Close() {
    if (m_context) alcMakeContextCurrent(Ctx(m_context));
    std::vector<AudioBuffer*> buffers;
    {
        std::lock_guard<std::mutex> lock(m_buffersLock);
        buffers.swap(m_buffers);
    }
    for (AudioBuffer* b : buffers) {
        b->Release();
        b->m_device = nullptr;
    }
    if (m_context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(Ctx(m_context));
        m_context = nullptr;
    }
    if (m_device) {
        alcCloseDevice(Dev(m_device));
        m_device = nullptr;
    }
    m_loopback = false;
}

long AudioDevice::RenderSamples(float* out, uint32_t frames) {
    if (!m_device || !m_loopback) return AUDIO_ERR_INVALID_CALL;
    if (!out && frames) return AUDIO_ERR_INVALID_PARAM;
    alcRenderSamplesSOFT(Dev(m_device), out, static_cast<ALCsizei>(frames));
    return AUDIO_OK;
}

long AudioDevice::SetOutputFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
    if (!m_device) return AUDIO_ERR_NO_DEVICE;
    if ((channels != 1 && channels != 2) || (bitsPerSample != 8 && bitsPerSample != 16) || samplesPerSec < 100 ||
        samplesPerSec > 200000) {
        return AUDIO_ERR_BAD_FORMAT;
    }
    // OpenAL converts every buffer to the mixing rate; the rate can only
    // change while no buffer exists.
    {
        std::lock_guard<std::mutex> lock(m_buffersLock);
        if (m_loopback || samplesPerSec == m_rate || !m_buffers.empty()) return AUDIO_OK;
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(Ctx(m_context));
    m_context = nullptr;
    return CreateContext(samplesPerSec);
}

long AudioDevice::CreateBuffer(const AudioBufferDesc& desc, std::unique_ptr<AudioBuffer>* out) {
    if (!out) return AUDIO_ERR_INVALID_PARAM;
    out->reset();
    if (!m_context) return AUDIO_ERR_NO_DEVICE;
    if (!IsPlayableFormat(desc.format)) return AUDIO_ERR_BAD_FORMAT;
    if (desc.bytes < desc.format.blockAlign || desc.bytes > kAudioMaxBufferBytes) return AUDIO_ERR_INVALID_PARAM;
    if ((desc.flags & AUDIO_BUFFER_CTRL3D) && desc.format.channels != 1) return AUDIO_ERR_INVALID_PARAM;
    if ((desc.flags & AUDIO_BUFFER_GETCURRENTPOSITION2) && desc.bytes % desc.format.blockAlign != 0) {
        return AUDIO_ERR_INVALID_PARAM;
    }
    alcMakeContextCurrent(Ctx(m_context));
    auto data = std::make_shared<AudioBuffer::SharedData>();
    // Silence: unsigned 8-bit samples centre on 128.
    data->bytes.assign(desc.bytes, desc.format.bitsPerSample == 8 ? 0x80 : 0);
    data->alFormat = AlFormatOf(desc.format);
    data->rate = static_cast<ALsizei>(desc.format.samplesPerSec);
    data->blockAlign = desc.format.blockAlign;
    return AddBuffer(desc, std::move(data), out);
}

long AudioDevice::DuplicateBuffer(const AudioBuffer& source, std::unique_ptr<AudioBuffer>* out) {
    if (!out) return AUDIO_ERR_INVALID_PARAM;
    out->reset();
    if (!m_context) return AUDIO_ERR_NO_DEVICE;
    if (source.m_device != this || !source.m_source) return AUDIO_ERR_INVALID_PARAM;
    if (source.IsRing()) return AUDIO_ERR_INVALID_CALL;
    AudioBufferDesc desc;
    desc.flags = source.m_flags;
    desc.bytes = source.m_size;
    desc.format = source.m_format;
    return AddBuffer(desc, source.m_data, out);
}

long AudioDevice::AddBuffer(const AudioBufferDesc& desc, std::shared_ptr<AudioBuffer::SharedData> data,
                            std::unique_ptr<AudioBuffer>* out) {
    std::unique_ptr<AudioBuffer> b(new AudioBuffer(this, desc, std::move(data)));
    long r = b->CreateSource();
    if (r != AUDIO_OK) {
        b->m_device = nullptr;
        return r;
    }
    {
        std::lock_guard<std::mutex> lock(m_buffersLock);
        m_buffers.push_back(b.get());
    }
    *out = std::move(b);
    return AUDIO_OK;
}

long AudioDevice::SetListener(const AudioListener& listener) {
    if (!m_context) return AUDIO_ERR_NO_DEVICE;
    if (!(listener.distanceFactor > 0.0f) || !(listener.rolloffFactor >= 0.0f) || !(listener.dopplerFactor >= 0.0f)) {
        return AUDIO_ERR_INVALID_PARAM;
    }
    bool rolloffChanged = listener.rolloffFactor != m_listener.rolloffFactor;
    m_listener = listener;
    ALfloat p[3], orientation[6];
    ToAl(listener.position, p);
    ToAl(listener.front, orientation);
    ToAl(listener.top, orientation + 3);
    alListenerfv(AL_POSITION, p);
    alListenerfv(AL_ORIENTATION, orientation);
    alSpeedOfSound(kSpeedOfSound / listener.distanceFactor);
    alDopplerFactor(listener.dopplerFactor);
    if (rolloffChanged) {
        std::lock_guard<std::mutex> lock(m_buffersLock);
        for (AudioBuffer* b : m_buffers) {
            if (b->m_source && (b->m_flags & AUDIO_BUFFER_CTRL3D)) {
                alSourcef(b->m_source, AL_ROLLOFF_FACTOR, listener.rolloffFactor);
            }
        }
    }
    return AUDIO_OK;
}

void AudioDevice::Forget(AudioBuffer* buffer) {
    std::lock_guard<std::mutex> lock(m_buffersLock);
    m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), buffer), m_buffers.end());
}

}  // namespace platform
