// Putting chat texts into a list control: wrapped to the list's width with the
// colour mark-up carried across the breaks, and the list capped at 99 lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/ShutdownCountdown.h"
#include "engine/core/TextFormat.h"

class CUiListBox;
class CClientSession;

namespace chat_colour {
constexpr uint32_t kError = 0xff0000;
constexpr uint32_t kWhisper = 0xff5093;
constexpr uint32_t kGuild = 0xff8800;
constexpr uint32_t kTeam = 0xffff00;
constexpr uint32_t kOperator = 0xff00ff;
}  // namespace chat_colour

// A list keeps at most this many lines: adding the next removes the oldest.
constexpr uint32_t kChatListCap = 100;

// Adds the text (0xRRGGBB colour, 0 for the text's own) wrapped into as many
// lines as the list's width needs. A null list is ignored.
void AddChatLine(CUiListBox* list, std::string_view text, uint32_t colour);
inline void AddChatLine(CUiListBox* list, CClientSession*, std::string_view text, uint32_t colour) {
    AddChatLine(list, text, colour);
}
// A screen's chat list as the place for the server's shut-down notices.
class CChatListLines : public IChatLines {
public:
    explicit CChatListLines(CUiListBox* list = nullptr) : m_list(list) {}
    void SetList(CUiListBox* list) { m_list = list; }
    void AddChatLine(const std::string& text, unsigned rgb) override { ::AddChatLine(m_list, text, rgb); }

private:
    CUiListBox* m_list;
};

// Adds the text as one line, unwrapped.
void AddPlainChatLine(CUiListBox* list, std::string_view text);
// Formats with the checked formatter (a value is never a format) into at most
// 255 bytes and adds the line.
void AddChatLineFormat(CUiListBox* list, std::string_view format, const FormatArg& value, uint32_t colour);

// The whisper answer 3026: the echo of the user's own whisper, an incoming
// whisper (its sender becomes the last whisperer) or a refusal. 0 when the
// payload ends before its text.
int HandleWhisperPacket(const uint8_t* payload, size_t size, CUiListBox* list, CClientSession& session);
