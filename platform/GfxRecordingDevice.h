// The device for unit tests: keeps resources in memory, logs every state
// change, clear and draw as a line of text, and draws nothing. Clears of the
// back buffer are kept as pixels so that screenshot code can be tested.
// Tests provoke loss with LoseDevice()/AllowReset() and can make the next
// resets fail.
#pragma once

#include <string>
#include <vector>

#include "platform/GfxDevice.h"

namespace platform {

class CGfxRecordingDevice : public CGfxDevice {
public:
    // A back buffer of 0 x 0 becomes 1024 x 768.
    explicit CGfxRecordingDevice(const GfxPresentParameters& params = GfxPresentParameters());

    // One line per call, e.g. "RenderState 27 1", "Draw 5 prims 2 up stride 28".
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }
    // Lines that start with prefix.
    size_t Count(const std::string& prefix) const;
    uint32_t DrawCount() const { return m_draws; }
    uint32_t PresentCount() const { return m_presents; }
    // The next n resets fail with GFXERR_DEVICELOST after passing the checks.
    void FailNextResets(uint32_t n) { m_failResets = n; }

    GfxResult ReadSurface(CGfxSurface* surface, std::vector<uint32_t>* argb) override;

protected:
    GfxResult DoPresent() override;
    GfxResult DoClear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                      uint32_t stencil) override;
    GfxResult DoDraw(const GfxDrawCall& call) override;
    GfxResult DoReset(GfxPresentParameters& params) override;
    void OnChange(Change change, uint32_t a, uint32_t b) override;

private:
    void Add(std::string line) { m_log.push_back(std::move(line)); }

    std::vector<std::string> m_log;
    std::vector<uint32_t> m_backPixels;
    uint32_t m_draws = 0, m_presents = 0, m_failResets = 0;
};

}  // namespace platform
