#include "engine/resource/ResourceManager.h"

#include <chrono>
#include <system_error>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/resource/TextureResource.h"
#include "platform/File.h"

CResourceManager* g_pResourceManager = nullptr;

namespace {

// The part after the last backslash: the cache key of a requested name.
std::string_view FileNameView(std::string_view name) {
    size_t slash = name.rfind('\\');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

}  // namespace

CResourceManager::CResourceManager() : CResourceManager(platform::WorkingFolder()) {}

CResourceManager::CResourceManager(const std::string& gameFolder) {
    if (!g_pResourceManager) g_pResourceManager = this;
    // The whole installed tree is indexed once, before any resource is asked for.
    m_fileIndex.SetBaseFolder(gameFolder);
    m_fileIndex.ClearFolders();
    m_fileIndex.ScanFolder(".");
    SetFactory(RES_TEXTURE, [this](CUiWindow*) { return new CTextureResource(m_device); });
}

CResourceManager::~CResourceManager() {
    JoinLoaderThread();
    // Resources still cached here belong to owners that did not release them;
    // their owners free them, the caches only forget them.
    if (g_pResourceManager == this) g_pResourceManager = nullptr;
}

void CResourceManager::SetFactory(int32_t type, Factory factory) {
    if (IsValidType(type)) m_factories[static_cast<size_t>(type)] = std::move(factory);
}

void CResourceManager::SetDevice(platform::CGfxDevice* device) { m_device = device; }

void CResourceManager::SetSoundDeviceCheck(std::function<bool()> usable) { m_soundDeviceUsable = std::move(usable); }

CResourceCache* CResourceManager::Cache(int32_t type) {
    return IsValidType(type) ? &m_caches[static_cast<size_t>(type)] : nullptr;
}

bool CResourceManager::IsSoundRefused(int32_t type) const {
    if (type != RES_SOUND_EFFECT && type != RES_STREAM_SOUND) return false;
    return m_soundDeviceUsable && !m_soundDeviceUsable();
}

CResource* CResourceManager::GetResource(const char* name, int32_t type, CUiWindow* owner, int loadFlag) {
    if (!name || !*name || !IsValidType(type)) return nullptr;
    if (IsSoundRefused(type)) {
        // Only the text changes: the game runs on without sound.
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", name));
        return nullptr;
    }
    std::string_view fileName = FileNameView(name);
    CResourceCache& cache = m_caches[static_cast<size_t>(type)];
    // A layout loads into its owner window, so another window's copy is never handed out.
    const void* cacheOwner = type == RES_LAYOUT ? owner : nullptr;
    if (CResource* cached = cache.Find(fileName, cacheOwner)) {
        cached->AddRef();
        return cached;
    }

    CResource* resource = CreateResource(type, owner);
    if (!resource) {
        ErrorReport().SetError(ERR_DATA, "No loader for resource type %d : %s", type, name);
        return nullptr;
    }
    if (!LoadResource(name, resource, loadFlag)) {
        delete resource;
        return nullptr;
    }
    resource->SetRefCount(1);
    resource->SetCacheOwner(cacheOwner);
    cache.Insert(resource);
    return resource;
}

void CResourceManager::ReleaseResource(CResource* resource) {
    if (!resource || !IsValidType(resource->Type())) return;
    CResourceCache& cache = m_caches[static_cast<size_t>(resource->Type())];
    if (!cache.Contains(resource)) return;
    if (resource->DropRef() <= 0) {
        cache.Remove(resource);
        delete resource;
    }
}

CResource* CResourceManager::CreateResource(int32_t type, CUiWindow* owner) const {
    if (!IsValidType(type)) return nullptr;
    const Factory& factory = m_factories[static_cast<size_t>(type)];
    return factory ? factory(owner) : nullptr;
}

int CResourceManager::LoadResource(const char* name, CResource* resource, int loadFlag) {
    if (!resource || !name) return 0;
    uint32_t offset = 0, size = 0;
    std::string path = m_fileIndex.ResolvePath(name, &offset, &size);
    if (path.empty()) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), name);
        return 0;
    }
    // The package may have changed since its list was read.
    if (!CheckPackageRange(path, offset, size, name)) return 0;
    resource->SetPath(name);
    resource->SetLocation(offset, size);
    // Named before loading, so that a failing Load can say which file failed;
    // the cache takes the resource only after a successful Load.
    resource->SetName(FileNameView(name));
    return resource->Load(path.c_str(), loadFlag) ? 1 : 0;
}

void CResourceManager::InvalidateAll() {
    for (int32_t type : {RES_TEXTURE, RES_MESH}) {
        m_caches[static_cast<size_t>(type)].ForEach([](CResource& r) {
            r.Invalidate();
            return true;
        });
    }
}

int CResourceManager::RestoreAll() {
    // Meshes hold textures, so textures come back first.
    for (int32_t type : {RES_TEXTURE, RES_MESH}) {
        bool ok = true;
        m_caches[static_cast<size_t>(type)].ForEach([&ok](CResource& r) {
            if (r.State() == 0 && !r.Restore()) ok = false;
            return ok;
        });
        if (!ok) return 0;
    }
    return 1;
}

bool CResourceManager::LaunchThread(std::thread& thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

int CResourceManager::StartLoaderThread(CLoaderJob* job, int resume) {
    // One loader thread at a time: a new job waits for the previous one.
    JoinLoaderThread();
    if (!job) {
        ErrorReport().SetError(ERR_THREAD, GetMessageText(MSG_ERROR_CREATE_THREAD));
        return 0;
    }
    m_loaderReleased.store(false, std::memory_order_release);
    m_loaderDone.store(false, std::memory_order_release);
    bool started = LaunchThread(m_loader, [this, job] {
        m_loaderReleased.wait(false, std::memory_order_acquire);
        int result = job->Job();
        m_loaderExitCode.store(result, std::memory_order_release);
        m_loaderDone.store(true, std::memory_order_release);
    });
    if (!started) {
        // Reported, so that a screen polling for the job's end never waits for ever.
        m_loaderDone.store(true, std::memory_order_release);
        ErrorReport().SetError(ERR_THREAD, GetMessageText(MSG_ERROR_CREATE_THREAD));
        return 0;
    }
    if (resume) ResumeLoaderThread();
    return 1;
}

void CResourceManager::ResumeLoaderThread() {
    m_loaderReleased.store(true, std::memory_order_release);
    m_loaderReleased.notify_all();
}

int CResourceManager::WaitLoaderThread(uint32_t timeoutMs) {
    if (!m_loader.joinable()) return 1;
    ResumeLoaderThread();  // a held thread that is waited for runs now
    if (timeoutMs != kInfinite) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!m_loaderDone.load(std::memory_order_acquire)) {
            if (std::chrono::steady_clock::now() >= deadline) return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    m_loader.join();
    return 1;
}

bool CResourceManager::IsLoaderRunning() const { return !m_loaderDone.load(std::memory_order_acquire); }

void CResourceManager::JoinLoaderThread() { WaitLoaderThread(kInfinite); }
