#include "tests/servers/LoginPackets.h"

#include <algorithm>
#include <cstring>

namespace {

void PutText(std::vector<uint8_t>& out, size_t at, const std::string& text, size_t field) {
    std::memcpy(out.data() + at, text.data(), std::min(text.size(), field - 1));
}
void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    PutU16(out, at, static_cast<uint16_t>(v & 0xFFFF));
    PutU16(out, at + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace

std::vector<uint8_t> AccountInfoPayload(const std::string& gameServerAddress) {
    std::vector<uint8_t> out(510, 0);
    PutText(out, 35, gameServerAddress, 16);
    return out;
}

std::vector<uint8_t> ChannelListPayload(const std::vector<FakeChannel>& channels) {
    std::vector<uint8_t> out(570, 0);
    for (size_t i = 0; i < channels.size() && i < 10; ++i) {
        const size_t at = 57 * i;
        PutText(out, at, channels[i].name, 33);
        PutText(out, at + 33, channels[i].address, 18);
        PutU16(out, at + 51, channels[i].users);
        PutU16(out, at + 53, channels[i].capacity);
    }
    return out;
}

std::vector<uint8_t> NicknameListPayload(const std::vector<FakeNickname>& slots, uint16_t disconnects,
                                         uint16_t disconnectPoints, uint8_t ok, uint8_t code) {
    std::vector<uint8_t> out(215, 0);
    out[0] = ok;
    out[1] = code;
    for (size_t i = 0; i < slots.size() && i < 3; ++i) {
        const size_t entry = 2 + 71 * i;
        PutText(out, entry + 19, slots[i].nickname, 17);
        PutU32(out, entry + 48, slots[i].rank);
        PutU32(out, entry + 52, slots[i].rankPoints);
        PutU16(out, entry + 56, slots[i].wins);
        PutU16(out, entry + 58, slots[i].losses);
    }
    PutU16(out, 62, disconnects);
    PutU16(out, 64, disconnectPoints);
    return out;
}
