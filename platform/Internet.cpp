// libcurl behind the patcher's transfers. See Internet.h.
#include "platform/Internet.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::atomic<long> g_connectSeconds{21};
std::atomic<long> g_stallSeconds{30};

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// What one transfer's callbacks learn, for the result after curl returns.
struct TransferState {
    CURL* easy = nullptr;
    ITransferSink* sink = nullptr;
    bool http = false;
    bool begun = false;
    bool discarding = false;  // a body that came with a status other than 200
    bool refused = false;
    bool cancelled = false;
};

int64_t AnnouncedLength(CURL* easy) {
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) return -1;
    return length < 0 ? -1 : static_cast<int64_t>(length);
}

size_t WriteBody(char* data, size_t one, size_t count, void* user) {
    auto* st = static_cast<TransferState*>(user);
    size_t size = one * count;
    if (!st->begun && !st->discarding) {
        if (st->http) {
            long code = 0;
            curl_easy_getinfo(st->easy, CURLINFO_RESPONSE_CODE, &code);
            if (code != 200) st->discarding = true;
        }
        if (!st->discarding) {
            st->begun = true;
            if (!st->sink->Begin(AnnouncedLength(st->easy))) {
                st->refused = true;
                return 0;
            }
        }
    }
    if (st->discarding) return size;
    if (st->sink->Cancelled()) {
        st->cancelled = true;
        return 0;
    }
    if (!st->sink->Write(reinterpret_cast<const uint8_t*>(data), size)) {
        st->refused = true;
        return 0;
    }
    return size;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* st = static_cast<TransferState*>(user);
    if (st->sink && st->sink->Cancelled()) {
        st->cancelled = true;
        return 1;
    }
    return 0;
}

bool IsUnreachable(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
            return true;
        default:
            return false;
    }
}

}  // namespace

struct InternetSession::Handle {
    CURL* easy = nullptr;
    char error[CURL_ERROR_SIZE] = {};

    Handle() {
        GlobalInit();
        easy = curl_easy_init();
    }
    ~Handle() {
        if (easy) curl_easy_cleanup(easy);
    }
};

void SetInternetTimeouts(long connectSeconds, long stallSeconds) {
    g_connectSeconds = connectSeconds;
    g_stallSeconds = stallSeconds;
}

void SplitHostPort(std::string_view text, std::string* host, uint16_t* port) {
    size_t colon = text.find(':');
    *port = 0;
    if (colon == std::string_view::npos) {
        *host = std::string(text);
        return;
    }
    *host = std::string(text.substr(0, colon));
    std::string_view digits = text.substr(colon + 1);
    uint32_t value = 0;
    if (digits.empty() || digits.size() > 5) return;
    for (char c : digits) {
        if (c < '0' || c > '9') return;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value >= 1 && value <= 65535) *port = static_cast<uint16_t>(value);
}

InternetSession::InternetSession() = default;
InternetSession::~InternetSession() = default;

std::string InternetSession::EncodePath(std::string_view remotePath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(remotePath.size());
    for (char ch : remotePath) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (Unreserved(c) || c == '/') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::string InternetSession::UrlOf(std::string_view remotePath) const {
    std::string url = m_protocol == InternetProtocol::Ftp ? "ftp://" : "http://";
    url += m_host + ":" + std::to_string(m_port) + "/";
    // HTTP paths are absolute from the server's root either way; an FTP path
    // that starts with "/" stays absolute ("//"), any other is below the login folder.
    if (m_protocol == InternetProtocol::Http && !remotePath.empty() && remotePath[0] == '/')
        remotePath.remove_prefix(1);
    return url + EncodePath(remotePath);
}

void InternetSession::Close() {
    m_handle.reset();
    m_open = false;
}

TransferResult InternetSession::Connect(InternetProtocol protocol, std::string_view host, uint16_t port,
                                        std::string_view user, std::string_view password) {
    Close();
    m_protocol = protocol;
    m_host = std::string(host);
    m_port = port ? port : (protocol == InternetProtocol::Ftp ? 21 : 80);
    m_user = std::string(user);
    m_password = std::string(password);

    TransferResult result;
    auto handle = std::make_unique<Handle>();
    if (!handle->easy) {
        result.text = "The transfer library could not start.";
        return result;
    }
    CURL* easy = handle->easy;
    curl_easy_setopt(easy, CURLOPT_URL, UrlOf("").c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, handle->error);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, g_connectSeconds.load());
    if (protocol == InternetProtocol::Ftp) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, m_user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.c_str());
        curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
    }
    CURLcode code = curl_easy_perform(easy);
    if (code != CURLE_OK) {
        result.outcome = IsUnreachable(code) ? TransferOutcome::Unreachable : TransferOutcome::Failed;
        result.text = handle->error[0] ? handle->error : curl_easy_strerror(code);
        return result;
    }
    // The connect-only check leaves a connection that later requests cannot
    // use; a fresh handle starts clean. The FTP log-in stays for the files.
    if (protocol == InternetProtocol::Http) handle = std::make_unique<Handle>();
    if (!handle->easy) {
        result.text = "The transfer library could not start.";
        return result;
    }
    m_handle = std::move(handle);
    m_open = true;
    result.outcome = TransferOutcome::Done;
    return result;
}

TransferResult InternetSession::Fetch(std::string_view remotePath, ITransferSink& sink) {
    TransferResult result;
    if (!m_open || !m_handle) {
        result.text = "Not connected to the server.";
        return result;
    }
    CURL* easy = m_handle->easy;
    // Options start clean for every file; the connection cache survives a reset.
    curl_easy_reset(easy);
    m_handle->error[0] = '\0';
    std::string url = UrlOf(remotePath);
    TransferState st;
    st.easy = easy;
    st.sink = &sink;
    st.http = m_protocol == InternetProtocol::Http;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_handle->error);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, g_connectSeconds.load());
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, g_stallSeconds.load());
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 512L * 1024L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &st);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &st);
    if (st.http) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    } else {
        curl_easy_setopt(easy, CURLOPT_USERNAME, m_user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.c_str());
        curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(easy, CURLOPT_TRANSFERTEXT, 0L);
    }
    CURLcode code = curl_easy_perform(easy);
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    result.status = static_cast<int>(status);

    if (st.cancelled) {
        result.outcome = TransferOutcome::Cancelled;
    } else if (st.refused) {
        result.outcome = TransferOutcome::Refused;
    } else if (st.http && status != 0 && status != 200) {
        result.outcome = TransferOutcome::Status;
    } else if (!st.http && (code == CURLE_REMOTE_FILE_NOT_FOUND || code == CURLE_FTP_COULDNT_RETR_FILE)) {
        result.outcome = TransferOutcome::Status;
        result.status = 550;
    } else if (code != CURLE_OK) {
        result.outcome = IsUnreachable(code) ? TransferOutcome::Unreachable : TransferOutcome::Failed;
        result.text = m_handle->error[0] ? m_handle->error : curl_easy_strerror(code);
    } else if (!st.begun && !sink.Begin(AnnouncedLength(easy))) {
        result.outcome = TransferOutcome::Refused;  // an empty body the sink did not want
    } else {
        result.outcome = TransferOutcome::Done;
    }
    return result;
}

}  // namespace platform
