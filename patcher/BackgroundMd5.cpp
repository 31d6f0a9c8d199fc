#include "patcher/BackgroundMd5.h"

namespace {
// Enough to keep the hashing thread busy, small beside a game file.
constexpr size_t kMaxQueued = 16u << 20;
}  // namespace

CBackgroundMd5::CBackgroundMd5() {
    platform::Md5Init(m_ctx);
    m_thread = std::thread([this] { Run(); });
}

CBackgroundMd5::~CBackgroundMd5() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_end = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CBackgroundMd5::Update(const void* data, size_t size) {
    if (size == 0) return;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queuedBytes < kMaxQueued; });
    std::vector<uint8_t> copy;
    if (!m_spare.empty()) {
        copy = std::move(m_spare.back());
        m_spare.pop_back();
    }
    lock.unlock();
    copy.assign(p, p + size);
    lock.lock();
    m_queuedBytes += size;
    m_queue.push_back(std::move(copy));
    m_changed.notify_all();
}

void CBackgroundMd5::Final(uint8_t digest[16]) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_end = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    platform::Md5Final(m_ctx, digest);
}

void CBackgroundMd5::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_end || !m_queue.empty(); });
        if (m_queue.empty()) return;  // ended and drained
        std::vector<uint8_t> block = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        platform::Md5Update(m_ctx, block.data(), block.size());
        lock.lock();
        m_queuedBytes -= block.size();
        if (m_spare.size() < 8) m_spare.push_back(std::move(block));
        m_changed.notify_all();
    }
}
