#include "screens/game/LoadingMessages.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "platform/CodePage.h"

namespace {
constexpr uint32_t kPositions = 12;
}  // namespace

int ParseLoadingMessage(std::span<const uint8_t> payload, LoadingMessage* out) {
    CByteReader reader(payload);
    LoadingMessage m;
    m.kind = reader.ReadU32();
    m.position = reader.ReadU32();
    if (!reader.Ok() || m.position >= kPositions) return 0;
    switch (m.kind) {
        case LoadingMessage::KIND_HEADER: {
            const uint32_t n = reader.ReadU32();
            m.cardLevel = reader.ReadU32();
            m.observer = reader.ReadU32();
            // The count must fit what arrived, never the other way round.
            if (!reader.Ok() || n > reader.Remaining() / 4) return 0;
            m.itemIds.resize(n);
            for (uint32_t& id : m.itemIds) id = reader.ReadU32();
            break;
        }
        case LoadingMessage::KIND_CHAT: {
            m.chatMode = reader.ReadU32();
            if (!reader.Ok()) return 0;
            const size_t left = reader.Remaining();
            const char* text = reinterpret_cast<const char*>(payload.data() + reader.Position());
            m.text.assign(text, strnlen(text, left));
            break;
        }
        case LoadingMessage::KIND_PROGRESS:
            m.percent = std::bit_cast<float>(reader.ReadU32());
            break;
        default:
            return 0;
    }
    if (!reader.Ok()) return 0;
    if (out) *out = std::move(m);
    return 1;
}

size_t WriteLoadingHeader(std::span<uint8_t> out, uint32_t position, uint32_t cardLevel, uint32_t observer,
                          std::span<const uint32_t> itemIds) {
    const size_t n = std::min(itemIds.size(), LoadingMessage::kMaxItemIds);
    CByteWriter writer(out);
    writer.WriteU32(LoadingMessage::KIND_HEADER);
    writer.WriteU32(position);
    writer.WriteU32(static_cast<uint32_t>(n));
    writer.WriteU32(cardLevel);
    writer.WriteU32(observer);
    for (size_t i = 0; i < n; ++i) writer.WriteU32(itemIds[i]);
    return writer.Ok() ? writer.Position() : 0;
}

size_t WriteLoadingChat(std::span<uint8_t> out, uint32_t position, uint32_t chatMode, std::string_view text) {
    const size_t room = LoadingMessage::kChatMaxBytes - LoadingMessage::kChatHeaderBytes - 1;
    // A received text may hold a NUL; what follows it was never part of the line.
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    const size_t length = platform::Cp949CutLength(text, room);
    CByteWriter writer(out);
    writer.WriteU32(LoadingMessage::KIND_CHAT);
    writer.WriteU32(position);
    writer.WriteU32(chatMode);
    writer.WriteBytes(text.data(), length);
    writer.WriteU8(0);
    return writer.Ok() ? writer.Position() : 0;
}

size_t WriteLoadingProgress(std::span<uint8_t> out, uint32_t position, float percent) {
    CByteWriter writer(out);
    writer.WriteU32(LoadingMessage::KIND_PROGRESS);
    writer.WriteU32(position);
    writer.WriteU32(std::bit_cast<uint32_t>(percent));
    return writer.Ok() ? writer.Position() : 0;
}
