// Reference-counted device objects. Callers hold references (AddRef/Release);
// the device holds its own, separate references for what is bound, so that
// only the caller's references decide whether a default-pool resource still
// blocks a reset, as the drawing code expects when it releases its render
// targets before resetting. An object is deleted when both counts reach 0.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/GfxTypes.h"

namespace platform {

// What a device implementation attaches to a resource (GL names and the like).
// Its destructor may run on any thread.
class CGfxNative {
public:
    virtual ~CGfxNative() = default;
};

// Shared between a device and its resources (it outlives either): counts the
// default-pool resources that callers still hold.
class CGfxResourceTracker {
public:
    void Add(uint32_t pool);
    void Remove(uint32_t pool);
    uint32_t HeldDefaultPool() const;

private:
    mutable std::mutex m_mutex;
    uint32_t m_defaultPool = 0;
};

class CGfxObject {
public:
    CGfxObject(const CGfxObject&) = delete;
    CGfxObject& operator=(const CGfxObject&) = delete;

    // The caller's references.
    uint32_t AddRef();
    uint32_t Release();
    uint32_t RefCount() const { return m_refs.load(); }

    // The device's own references to bound objects.
    void AddDeviceRef() { m_total.fetch_add(1); }
    void ReleaseDeviceRef();

protected:
    CGfxObject() = default;
    virtual ~CGfxObject() = default;
    // The last caller reference went away (the object may live on while bound).
    virtual void OnCallerReleased() {}
    // A caller took a reference again after there was none.
    virtual void OnCallerReferenced() {}

private:
    std::atomic<uint32_t> m_refs{1};   // the callers'
    std::atomic<uint32_t> m_total{1};  // the callers' and the device's: the object lives while it is not 0
};

class CGfxResource : public CGfxObject {
public:
    uint32_t GetPool() const { return m_pool; }
    uint32_t GetUsage() const { return m_usage; }
    CGfxNative* GetNative() const { return m_native.get(); }
    void SetNative(std::unique_ptr<CGfxNative> native) { m_native = std::move(native); }
    // Raised by every change of the memory copy, so that a device uploads again.
    uint32_t GetVersion() const { return m_version.load(); }
    void Touch() { m_version.fetch_add(1); }

protected:
    CGfxResource(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t pool, uint32_t usage);
    ~CGfxResource() override;
    void OnCallerReleased() override;
    void OnCallerReferenced() override;

private:
    std::shared_ptr<CGfxResourceTracker> m_tracker;
    uint32_t m_pool;
    uint32_t m_usage;
    std::unique_ptr<CGfxNative> m_native;
    std::atomic<uint32_t> m_version{1};
};

// Releases a caller reference and clears the pointer.
template <typename T>
void GfxRelease(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace platform
