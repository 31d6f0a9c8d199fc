#include "commands/CommandRecords.h"

#include <algorithm>
#include <cmath>

int16_t TruncateToI16(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 32767.0f) return 32767;
    if (v <= -32768.0f) return -32768;
    return static_cast<int16_t>(v);
}

int32_t TruncateToI32(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483520.0f) return 2147483520;  // the largest float below 2^31
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t SignExtend(uint32_t value, int bits) {
    const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const uint32_t sign = 1u << (bits - 1);
    value &= mask;
    return static_cast<int32_t>((value ^ sign) - sign);
}

void CGameCommand::SetPoint(size_t at, const platform::Vec3& p) {
    SetU16(at, static_cast<uint16_t>(TruncateToI16(p.x)));
    SetU16(at + 2, static_cast<uint16_t>(TruncateToI16(p.z)));
}

uint32_t PackMapAlert(const platform::Vec3& point, uint32_t kind) {
    // A point beyond the 15-bit range stops at its end rather than wrap to the
    // other side of the map.
    const auto field = [](float v) { return static_cast<uint32_t>(std::clamp(TruncateToI32(v), -16384, 16383)) & 0x7FFFu; };
    const uint32_t x = field(point.x);
    const uint32_t z = field(point.z);
    return x | z << 15 | (kind & 3u) << 30;
}

MapAlertFields UnpackMapAlert(uint32_t packed) {
    return {SignExtend(packed, 15), SignExtend(packed >> 15, 15), packed >> 30};
}

uint32_t PackItemSlot(const ItemSlotFields& f) {
    return (f.flag & 1u) | (f.storage & 1u) << 1 | (static_cast<uint32_t>(f.kind) & 0xFu) << 2 |
           (static_cast<uint32_t>(f.slot) & 0x3Fu) << 6 | (static_cast<uint32_t>(f.index) & 0xFFFFFu) << 12;
}

ItemSlotFields UnpackItemSlot(uint32_t packed) {
    return {packed & 1u, packed >> 1 & 1u, SignExtend(packed >> 2, 4), SignExtend(packed >> 6, 6),
            SignExtend(packed >> 12, 20)};
}
