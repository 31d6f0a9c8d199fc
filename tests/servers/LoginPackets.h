// Payloads the login, game and channel servers send to the screens before
// the lobby, built field by field: the account information with the game
// server's address, the channel list and the nickname list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FakeChannel {
    std::string name;
    std::string address;
    uint16_t users = 0;
    uint16_t capacity = 0;
};

struct FakeNickname {
    std::string nickname;
    uint32_t rank = 1;
    uint32_t rankPoints = 0;
    uint16_t wins = 0;
    uint16_t losses = 0;
};

// PK_ACCOUNT_INFO (510 bytes): the game server's address as text at 35.
std::vector<uint8_t> AccountInfoPayload(const std::string& gameServerAddress);
// PK_CHANNEL_LIST (570 bytes): up to ten 57-byte entries; the rest empty.
std::vector<uint8_t> ChannelListPayload(const std::vector<FakeChannel>& channels);
// PK_NICKNAME_LIST (215 bytes): ok, code, three member entries (an empty
// nickname is a free slot) and the account's two disconnect counters.
std::vector<uint8_t> NicknameListPayload(const std::vector<FakeNickname>& slots, uint16_t disconnects = 0,
                                         uint16_t disconnectPoints = 0, uint8_t ok = 1, uint8_t code = 0);
