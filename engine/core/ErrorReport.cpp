#include "engine/core/ErrorReport.h"

#include <atomic>
#include <cstdio>

CErrorReport* g_pErrorReport = nullptr;

namespace {

std::atomic<CErrorReport::DeviceErrorTextHook> g_deviceErrorHook{nullptr};

void DefaultDeviceErrorText(long result, std::string* name, std::string* description) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "0x%08lX", static_cast<unsigned long>(result) & 0xFFFFFFFFul);
    *name = buf;
    *description = "Unknown error.";
}

}  // namespace

CErrorReport::CErrorReport(bool registerGlobally) {
    if (registerGlobally && !g_pErrorReport) {
        g_pErrorReport = this;
        m_registered = true;
    }
}

CErrorReport::~CErrorReport() {
    if (m_registered && g_pErrorReport == this) g_pErrorReport = nullptr;
}

void CErrorReport::Set(uint32_t code, std::string text) {
    m_code = code;
    m_text = std::move(text);
}

void CErrorReport::SetDxError(uint32_t code, const char* sourceFile, int line, long result) {
    std::string name, description;
    DeviceErrorTextHook hook = g_deviceErrorHook.load();
    (hook ? hook : DefaultDeviceErrorText)(result, &name, &description);
    SetError(code, "File : %s\nLine : %d\n%s : %s", sourceFile ? sourceFile : "", line, name, description);
}

void CErrorReport::SetDeviceErrorTextHook(DeviceErrorTextHook hook) { g_deviceErrorHook.store(hook); }

CErrorReport& ErrorReport() {
    // The loader thread reports too; each thread without a registered report
    // gets its own fallback so two of them never race on one string.
    if (g_pErrorReport) return *g_pErrorReport;
    static thread_local CErrorReport fallback(false);
    return fallback;
}
