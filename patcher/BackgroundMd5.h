// An MD5 digest computed on a thread of its own while the bytes are still
// arriving, so that checking a download costs no time after it: the bytes of
// a transfer or an unpacking are hashed while the next ones are fetched.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Md5.h"

class CBackgroundMd5 {
public:
    CBackgroundMd5();
    ~CBackgroundMd5();  // ends the thread; the digest is dropped
    CBackgroundMd5(const CBackgroundMd5&) = delete;
    CBackgroundMd5& operator=(const CBackgroundMd5&) = delete;

    // Queues a copy of the bytes; waits while too many are queued.
    void Update(const void* data, size_t size);
    // Waits for every queued byte and gives the digest; the object is spent.
    void Final(uint8_t digest[16]);

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<uint8_t>> m_queue;
    std::vector<std::vector<uint8_t>> m_spare;  // hashed blocks kept for reuse: no allocation per block
    size_t m_queuedBytes = 0;
    bool m_end = false;
    platform::Md5Context m_ctx;
    std::thread m_thread;
};
