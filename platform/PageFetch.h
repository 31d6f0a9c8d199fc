// One web page fetched over HTTP without blocking the caller: a libcurl multi
// handle that the caller's loop moves on with Poll (the patch dialog polls it
// from a timer), so a slow or silent server never freezes a window.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class PageFetch {
public:
    PageFetch();
    ~PageFetch();
    PageFetch(const PageFetch&) = delete;
    PageFetch& operator=(const PageFetch&) = delete;

    // Starts a GET of url with the extra header lines ("Name: value"); the
    // whole transfer may take at most timeoutSeconds and bring at most
    // maxBytes. False when the transfer could not even start.
    bool Start(const std::string& url, const std::vector<std::string>& headers, long timeoutSeconds, size_t maxBytes);
    // Moves the transfer on without waiting; true once it has ended.
    bool Poll();
    // After the end: true when the whole body came with status 200.
    bool Succeeded() const { return m_ended && m_ok; }
    const std::string& Body() const { return m_body; }

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
    std::string m_body;
    size_t m_maxBytes = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_ok = false;
    bool m_tooLong = false;

    static size_t Write(char* data, size_t one, size_t count, void* user);
};

}  // namespace platform
