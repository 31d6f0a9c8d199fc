// The sound device in the shape the game drives it: a device, a 3D listener,
// and buffers of PCM bytes that are locked, written, played (once or looping),
// stopped where they are, rewound and turned up or down in hundredths of a
// decibel. Underneath is OpenAL Soft.
//
// Two kinds of buffer, told apart by AUDIO_BUFFER_GETCURRENTPOSITION2:
// - Static buffers hold one sound whole. Duplicates share the bytes (and the
//   OpenAL buffer), so one effect can be heard several times at once.
// - Ring buffers are written while they play, a region after the play cursor
//   has left it. OpenAL has no buffer that can be rewritten while it plays, so
//   the ring lives in memory here and is handed to OpenAL as a queue of short
//   segments, each copied out of the ring only shortly before it is due
//   (kRingLeadSegments segments ahead of the cursor). The play cursor is the
//   ring offset of the first queued segment plus OpenAL's byte offset in the
//   queue. The queue is topped up whenever the buffer is asked for its cursor
//   or status, which its feeder does many times a second.
//
// A loopback device renders into memory on demand instead of a sound card, so
// tests check the real samples that come out.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// Results of the calls below; 0 is success.
enum AudioResult : long {
    AUDIO_OK = 0,
    AUDIO_ERR_NO_DEVICE = -1,
    AUDIO_ERR_INVALID_PARAM = -2,
    AUDIO_ERR_BAD_FORMAT = -3,
    AUDIO_ERR_CONTROL_UNAVAILABLE = -4,
    AUDIO_ERR_OUT_OF_RESOURCES = -5,
    AUDIO_ERR_INVALID_CALL = -6,
};
const char* AudioResultName(long result);
const char* AudioResultDescription(long result);

constexpr uint16_t kAudioFormatPcm = 1;

// A PCM format as a wave file's format chunk states it.
struct AudioFormat {
    uint16_t formatTag = kAudioFormatPcm;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra;  // format bytes after the common fields (non-PCM tags)
};

// Creation flags of a buffer.
enum : uint32_t {
    AUDIO_BUFFER_CTRL3D = 0x10,
    AUDIO_BUFFER_CTRLFREQUENCY = 0x20,
    AUDIO_BUFFER_CTRLPAN = 0x40,
    AUDIO_BUFFER_CTRLVOLUME = 0x80,
    AUDIO_BUFFER_GETCURRENTPOSITION2 = 0x10000,
};

// Bits of a buffer's status.
enum : uint32_t {
    AUDIO_STATUS_PLAYING = 0x1,
    AUDIO_STATUS_LOOPING = 0x4,
};

constexpr int32_t kAudioVolumeMin = -10000;  // silence
constexpr int32_t kAudioVolumeMax = 0;

// The largest buffer a caller may ask for (a quarter of a gigabyte).
constexpr uint32_t kAudioMaxBufferBytes = 0x0FFFFFFF;

struct AudioBufferDesc {
    uint32_t flags = 0;
    uint32_t bytes = 0;
    AudioFormat format;
};

// The listener in the game's left-handed space (x right, y up, z forward).
struct AudioListener {
    float position[3] = {0, 0, 0};
    float front[3] = {0, 0, 1};
    float top[3] = {0, 1, 0};
    float distanceFactor = 1.0f;  // metres per unit; only the Doppler effect uses it
    float rolloffFactor = 1.0f;
    float dopplerFactor = 1.0f;
};

// Gain for a level in hundredths of a decibel; kAudioVolumeMin and below are silence.
float AudioLevelToGain(int32_t level);

class AudioDevice;

class AudioBuffer {
public:
    ~AudioBuffer();
    AudioBuffer(const AudioBuffer&) = delete;
    AudioBuffer& operator=(const AudioBuffer&) = delete;

    // Starts or resumes at the current position.
    long Play(bool loop);
    // Stops and keeps the position, so a later Play resumes there.
    long Stop();
    long SetCurrentPosition(uint32_t offset);
    long GetCurrentPosition(uint32_t* playCursor);
    long GetStatus(uint32_t* status);
    // Level in hundredths of a decibel, kAudioVolumeMin..kAudioVolumeMax; needs AUDIO_BUFFER_CTRLVOLUME.
    long SetVolume(int32_t level);
    int32_t GetVolume() const { return m_volume; }
    // Position of a 3D buffer in the game's space; needs AUDIO_BUFFER_CTRL3D.
    long SetPosition(float x, float y, float z);
    long SetDistances(float minDistance, float maxDistance);

    // The bytes of [offset, offset + bytes), which must lie inside the buffer;
    // null otherwise. Unlock hands what was written to the device.
    uint8_t* Lock(uint32_t offset, uint32_t bytes);
    long Unlock();

    uint32_t Flags() const { return m_flags; }
    uint32_t Size() const { return m_size; }
    const AudioFormat& Format() const { return m_format; }
    bool IsRing() const { return (m_flags & AUDIO_BUFFER_GETCURRENTPOSITION2) != 0; }
    // How many volume changes reached the device (tests check that repeats are skipped).
    uint32_t VolumeCalls() const { return m_volumeCalls; }

    // Segments of a ring buffer queued ahead of its play cursor.
    static constexpr uint32_t kRingLeadSegments = 4;
    // Segments are this many per second of sound.
    static constexpr uint32_t kRingSegmentsPerSecond = 20;

private:
    friend class AudioDevice;
    struct SharedData;

    AudioBuffer(AudioDevice* device, const AudioBufferDesc& desc, std::shared_ptr<SharedData> data);
    long CreateSource();
    void Release();
    long AttachCurrentData();
    void Apply3D();

    // Ring buffers.
    void RingPump();
    bool RingQueueSegment();
    void RingUnqueueAll();
    uint32_t RingCursor();

    AudioDevice* m_device;
    uint32_t m_flags;
    uint32_t m_size;
    AudioFormat m_format;
    std::shared_ptr<SharedData> m_data;
    unsigned int m_source = 0;
    unsigned int m_attached = 0;  // the OpenAL buffer a static source plays
    int32_t m_volume = 0;
    uint32_t m_volumeCalls = 0;
    bool m_looping = false;
    uint32_t m_startOffset = 0;  // where a stopped buffer starts
    float m_position[3] = {0, 0, 0};
    float m_minDistance = 1.0f;
    float m_maxDistance = 1.0e9f;

    struct Segment {
        unsigned int buffer;
        uint32_t bytes;
    };
    bool m_ringPlaying = false;
    bool m_ringQueueClosed = false;  // a buffer played once has queued its last byte
    uint32_t m_ringQueueStart = 0;   // ring offset of the first queued segment
    uint32_t m_ringQueueEnd = 0;     // ring offset after the last queued segment
    uint32_t m_ringQueuedBytes = 0;
    uint32_t m_ringSegmentBytes = 0;
    std::deque<Segment> m_ringQueue;
    std::vector<unsigned int> m_ringSpare;
};

class AudioDevice {
public:
    AudioDevice();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens an output: the system's default (null name) or the named one.
    // AUDIO_ERR_NO_DEVICE when there is none; the game then runs silently.
    long Open(const char* deviceName = nullptr);
    // An output that renders stereo float samples at rate into memory when asked.
    long OpenLoopback(uint32_t rate);
    // Mixes frames of stereo samples (left, right) into out. Loopback only.
    long RenderSamples(float* out, uint32_t frames);
    // Releases every buffer's device objects (the buffers stay valid and silent) and the output.
    void Close();
    bool IsOpen() const { return m_device != nullptr; }
    bool IsLoopback() const { return m_loopback; }

    // The mixing format of a real output (a loopback keeps the one it was opened with).
    long SetOutputFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

    long CreateBuffer(const AudioBufferDesc& desc, std::unique_ptr<AudioBuffer>* out);
    // A buffer that plays the bytes of source (static buffers only).
    long DuplicateBuffer(const AudioBuffer& source, std::unique_ptr<AudioBuffer>* out);

    long SetListener(const AudioListener& listener);
    const AudioListener& Listener() const { return m_listener; }

private:
    friend class AudioBuffer;
    long CreateContext(uint32_t rate);
    long AddBuffer(const AudioBufferDesc& desc, std::shared_ptr<AudioBuffer::SharedData> data,
                   std::unique_ptr<AudioBuffer>* out);
    void Forget(AudioBuffer* buffer);

    void* m_device = nullptr;   // ALCdevice
    void* m_context = nullptr;  // ALCcontext
    bool m_loopback = false;
    uint32_t m_rate = 0;
    AudioListener m_listener;
    // Buffers are made on the loader thread too.
    std::mutex m_buffersLock;
    std::vector<AudioBuffer*> m_buffers;
};

}  // namespace platform
