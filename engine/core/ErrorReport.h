// The last error of the client: a code and a text. Every failing operation
// writes it before returning 0; whoever ends the work shows the text. Failures
// deeper down are chained outward with "%s\n<- %s" so the text reads from the
// innermost cause to the outermost.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/TextFormat.h"

enum ErrorCode : uint32_t {
    ERR_DATA = 10000,
    ERR_FILE_NOT_FOUND = 10001,
    ERR_RESOURCE_LINK = 10003,
    ERR_FILE_VERSION = 10004,
    ERR_DEVICE_CALL = 10005,
    ERR_WINDOW_SIZE = 10006,
    ERR_THREAD = 10007,
};

class CErrorReport {
public:
    // Name and description of a failed device or sound call's result code; the
    // render device installs its own table, until then the code is shown in hex.
    using DeviceErrorTextHook = void (*)(long result, std::string* name, std::string* description);

    CErrorReport() : CErrorReport(true) {}
    // A report that is not registered as the process-wide one.
    explicit CErrorReport(bool registerGlobally);
    ~CErrorReport();
    CErrorReport(const CErrorReport&) = delete;
    CErrorReport& operator=(const CErrorReport&) = delete;

    template <typename... Args>
    void SetError(uint32_t code, const char* format, const Args&... args) {
        Set(code, FormatText(format ? format : "", args...));
    }
    void Set(uint32_t code, std::string text);

    // "File : %s\nLine : %d\n%s : %s" with the failing call's result name and description.
    void SetDxError(uint32_t code, const char* sourceFile, int line, long result);

    // Prepends the current text as the inner cause: "<current>\n<- <context>".
    template <typename... Args>
    void Chain(const char* contextFormat, const Args&... args) {
        Set(m_code, m_text + "\n<- " + FormatText(contextFormat, args...));
    }

    const char* GetText() const { return m_text.c_str(); }
    const std::string& Text() const { return m_text; }
    uint32_t GetCode() const { return m_code; }

    static void SetDeviceErrorTextHook(DeviceErrorTextHook hook);

private:
    std::string m_text;
    uint32_t m_code = 0;
    bool m_registered = false;
};

// The registered report (set by its constructor, cleared by its destructor).
extern CErrorReport* g_pErrorReport;

// The registered report, or a process-wide fallback when none is registered,
// so that low-level code can always report without checking.
CErrorReport& ErrorReport();
