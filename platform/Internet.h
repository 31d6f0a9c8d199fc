// FTP and HTTP transfers for the patcher, in place of the original's internet
// session. One session keeps one transfer handle, so the connection to the
// server is made once and reused by every file of a run. Nothing here follows
// a redirect or stores a body that did not come with status 200: the caller
// decides what a status means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class InternetProtocol { Http, Ftp };

// Where a transfer's bytes go. Begin is called once, before the first Write,
// with the length the server announced (-1 when it announced none). Returning
// false from Begin or Write stops the transfer (TransferOutcome::Refused).
// Cancelled is polled while the transfer runs; true stops it.
class ITransferSink {
public:
    virtual ~ITransferSink() = default;
    virtual bool Begin(int64_t announcedLength) = 0;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    virtual bool Cancelled() = 0;
};

enum class TransferOutcome {
    Done,         // the whole body arrived with status 200 (or FTP's success)
    Status,       // the server answered with another status (an FTP file it does not have is 550)
    Unreachable,  // refused, timed out, reset or stalled
    Failed,       // any other transport failure; text holds the reason
    Cancelled,    // the sink asked to stop
    Refused,      // the sink refused the bytes
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::Failed;
    int status = 0;
    std::string text;
};

class InternetSession {
public:
    InternetSession();
    ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Opens the session to host:port (port 0: 80 or 21). FTP logs in with user
    // and password here; HTTP only checks that the server accepts a connection.
    TransferResult Connect(InternetProtocol protocol, std::string_view host, uint16_t port, std::string_view user,
                           std::string_view password);
    void Close();
    bool IsOpen() const { return m_open; }

    // Fetches the file at remotePath ("root/folder/name", unencoded; "/" separates)
    // into the sink.
    TransferResult Fetch(std::string_view remotePath, ITransferSink& sink);

    // The URL of a remote path: every byte outside RFC 3986's unreserved set
    // but the "/" separators is percent-encoded.
    std::string UrlOf(std::string_view remotePath) const;
    static std::string EncodePath(std::string_view remotePath);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    InternetProtocol m_protocol = InternetProtocol::Http;
    std::string m_host;
    uint16_t m_port = 0;
    std::string m_user;
    std::string m_password;
    bool m_open = false;
};

// Time limits of every session: the connect time-out and how long a transfer
// may move less than one byte per second. Tests shorten them.
void SetInternetTimeouts(long connectSeconds, long stallSeconds);

// Splits "host" or "host:port" (host names hold no colon); port 0 when none
// was given or it is not a number from 1 to 65535.
void SplitHostPort(std::string_view text, std::string* host, uint16_t* port);

}  // namespace platform
