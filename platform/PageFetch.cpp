// libcurl's multi interface behind PageFetch. See PageFetch.h.
#include "platform/PageFetch.h"

#include <curl/curl.h>

#include <mutex>

namespace platform {

struct PageFetch::Handles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    ~Handles() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        if (headers) curl_slist_free_all(headers);
    }
};

PageFetch::PageFetch() = default;
PageFetch::~PageFetch() = default;

size_t PageFetch::Write(char* data, size_t one, size_t count, void* user) {
    auto* self = static_cast<PageFetch*>(user);
    size_t size = one * count;
    if (self->m_body.size() + size > self->m_maxBytes) {
        self->m_tooLong = true;
        return 0;
    }
    self->m_body.append(data, size);
    return size;
}

bool PageFetch::Start(const std::string& url, const std::vector<std::string>& headers, long timeoutSeconds,
                      size_t maxBytes) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_handles = std::make_unique<Handles>();
    m_body.clear();
    m_maxBytes = maxBytes;
    m_started = m_ended = m_ok = m_tooLong = false;
    Handles& h = *m_handles;
    h.multi = curl_multi_init();
    h.easy = curl_easy_init();
    if (!h.multi || !h.easy) return false;
    for (const std::string& line : headers) h.headers = curl_slist_append(h.headers, line.c_str());
    curl_easy_setopt(h.easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h.easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h.easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h.easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h.easy, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(h.easy, CURLOPT_HTTPHEADER, h.headers);
    curl_easy_setopt(h.easy, CURLOPT_WRITEFUNCTION, &PageFetch::Write);
    curl_easy_setopt(h.easy, CURLOPT_WRITEDATA, this);
    if (curl_multi_add_handle(h.multi, h.easy) != CURLM_OK) return false;
    m_started = true;
    return true;
}

bool PageFetch::Poll() {
    if (!m_started) return true;
    if (m_ended) return true;
    int running = 0;
    if (curl_multi_perform(m_handles->multi, &running) != CURLM_OK) {
        m_ended = true;
        return true;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(m_handles->multi, &left)) {
        if (msg->msg != CURLMSG_DONE) continue;
        long status = 0;
        curl_easy_getinfo(m_handles->easy, CURLINFO_RESPONSE_CODE, &status);
        m_ok = msg->data.result == CURLE_OK && status == 200 && !m_tooLong;
        m_ended = true;
    }
    if (!running && !m_ended) m_ended = true;
    return m_ended;
}

}  // namespace platform
