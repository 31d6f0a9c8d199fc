// The one cache of loaded data files. A caller asks for a resource by file name
// and type and gets the cached object with one more reference, or a newly
// created and loaded one; it gives the reference back with ReleaseResource and
// the last release frees the object. The manager owns the file index that
// every name is resolved through, restores and invalidates the device objects
// of textures and meshes around a lost device, and runs the one loader thread.
//
// The caches take no lock: while a loader job runs, the main thread only polls
// the job's progress and neither loads nor releases resources.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "engine/core/FileIndex.h"
#include "engine/resource/LoaderJob.h"
#include "engine/resource/Resource.h"
#include "engine/resource/ResourceCache.h"

class CUiWindow;
namespace platform {
class CGfxDevice;
}

class CResourceManager {
public:
    static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

    // Makes a new, unloaded resource of one type. The owner window is used by
    // layout resources only.
    using Factory = std::function<CResource*(CUiWindow* owner)>;

    // Indexes the game folder (the working folder).
    CResourceManager();
    // Indexes the given game folder instead (tests, tools).
    explicit CResourceManager(const std::string& gameFolder);
    virtual ~CResourceManager();
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    // The device textures are created on (the texture factory is built in).
    void SetDevice(platform::CGfxDevice* device);
    platform::CGfxDevice* Device() const { return m_device; }

    // The subsystem that owns a type registers how to make its resources.
    void SetFactory(int32_t type, Factory factory);
    // Whether resources of the type can be made at all (a layout's caller
    // keeps its window when nothing was made to take it).
    bool HasFactory(int32_t type) const {
        return type >= 0 && type < RES_TYPE_COUNT && m_factories[static_cast<size_t>(type)] != nullptr;
    }
    // The sound manager tells whether a sound device is usable; while it says
    // no, sound resources are refused. Unset, sound loads are attempted.
    void SetSoundDeviceCheck(std::function<bool()> usable);
    // What that check says now (true when none was given).
    bool SoundDeviceUsable() const { return !m_soundDeviceUsable || m_soundDeviceUsable(); }

    // The cached resource of that file name and type with one more reference,
    // or a new one loaded from the file. Only the file-name part of the name
    // keys the cache. Null on failure (error report set, except for an empty
    // name or a type outside the table); a failure caches nothing.
    CResource* GetResource(const char* name, int32_t type, CUiWindow* owner, int loadFlag);
    // Gives one reference back; the last one frees the resource. Null and
    // resources that are not cached are ignored.
    void ReleaseResource(CResource* resource);

    CResource* CreateResource(int32_t type, CUiWindow* owner) const;
    // Resolves the name through the file index and runs the resource's Load.
    int LoadResource(const char* name, CResource* resource, int loadFlag);

    // Around a lost device: textures first, then meshes.
    void InvalidateAll();
    // Restores those whose device objects are absent; the first failure stops
    // the pass and returns 0.
    int RestoreAll();

    // Runs the job's Job() on the loader thread, after waiting for the previous
    // job. Without resume the thread is held until ResumeLoaderThread (or a
    // wait). 0 with error 10007 when no thread can be started.
    int StartLoaderThread(CLoaderJob* job, int resume);
    void ResumeLoaderThread();
    // Waits for the loader thread. 1 when none is left, 0 when the time ran
    // out (the thread stays held and is waited for later).
    int WaitLoaderThread(uint32_t timeoutMs);
    // True while a started job has not returned.
    bool IsLoaderRunning() const;
    // What the last finished job returned.
    int LoaderExitCode() const { return m_loaderExitCode.load(std::memory_order_acquire); }

    CResourceCache* Cache(int32_t type);
    CFileIndex& FileIndex() { return m_fileIndex; }

protected:
    // Starts a thread running body; false when the system refuses one.
    virtual bool LaunchThread(std::thread& thread, std::function<void()> body);

private:
    static bool IsValidType(int32_t type) { return type >= 0 && type < RES_TYPE_COUNT; }
    bool IsSoundRefused(int32_t type) const;
    void JoinLoaderThread();

    CFileIndex m_fileIndex;
    std::array<CResourceCache, RES_TYPE_COUNT> m_caches;
    std::array<Factory, RES_TYPE_COUNT> m_factories;
    std::function<bool()> m_soundDeviceUsable;
    platform::CGfxDevice* m_device = nullptr;

    std::thread m_loader;
    std::atomic<bool> m_loaderReleased{false};
    std::atomic<bool> m_loaderDone{true};
    std::atomic<int> m_loaderExitCode{0};
};

extern CResourceManager* g_pResourceManager;
