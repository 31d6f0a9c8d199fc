#include "net/ChatLines.h"

#include <cstdio>

#include "engine/core/MessageTable.h"
#include "engine/text/ColorMarkup.h"
#include "net/ByteReader.h"
#include "net/ClientSession.h"
#include "platform/CodePage.h"
#include "ui/UiListBox.h"

namespace {

const UiColor kLineColour{1.0f, 1.0f, 1.0f, CUiListBox::kDefaultColourAlpha};
constexpr size_t kFormatBuffer = 255;
// Room the list's row keeps free beside the text.
constexpr float kWrapMargin = 10.0f;

void AddLine(CUiListBox* list, const std::string& line) {
    list->AddItem(line, kLineColour);
    if (list->ItemCount() >= kChatListCap) list->RemoveItem(0);
}

std::string ColourTag(uint32_t colour) {
    char tag[16];
    std::snprintf(tag, sizeof(tag), "</C=%06x>", colour & 0xffffffu);
    return tag;
}

bool IsColourTag(std::string_view tag) {
    return tag.size() == 11 && tag.compare(0, 4, "</C=") == 0 && tag[10] == '>';
}

int32_t CharWidth(IUiFont* font, std::string_view ch) {
    if (!font) return 0;
    int32_t width = 0, height = 0;
    font->Measure(ch, &width, &height);
    return width;
}

}  // namespace

void AddChatLine(CUiListBox* list, std::string_view text, uint32_t colour) {
    if (!list) return;
    text = text.substr(0, text.find('\0'));
    const float room = static_cast<float>(static_cast<int32_t>(list->Size().x - CUiListBox::kTextRoom)) - kWrapMargin;
    IUiFont* font = list->Font();

    std::vector<std::string> pieces(1);
    std::string openTag;  // the line's own colour tag that is open at the break
    std::vector<std::string> carried(1);
    float width = 0.0f;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, 2, "</") == 0) {
            size_t end = text.find('>', pos + 2);
            end = end == std::string_view::npos ? text.size() : end + 1;
            const std::string_view tag = text.substr(pos, end - pos);
            if (IsColourTag(tag))
                openTag.assign(tag);
            else if (tag == "</>")
                openTag.clear();
            pieces.back().append(tag);
            pos = end;
            continue;
        }
        const size_t length = CharLengthAt(text, pos);
        if (length == 0) break;
        const std::string_view ch = text.substr(pos, length);
        pieces.back().append(ch);
        width += static_cast<float>(CharWidth(font, ch));
        pos += length;
        if (width >= room && pos < text.size()) {
            pieces.emplace_back();
            carried.push_back(openTag);
            width = 0.0f;
        }
    }

    if (pieces.size() == 1) {
        AddLine(list, colour ? ColourTag(colour) + pieces[0] : pieces[0]);
        return;
    }
    bool tagCarried = false;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string prefix;
        if (i > 0 && !carried[i].empty()) {
            prefix = carried[i];
            tagCarried = true;
        } else if (colour && !tagCarried) {
            prefix = ColourTag(colour);
        } else {
            prefix = "</>";
        }
        AddLine(list, prefix + pieces[i]);
    }
}

void AddPlainChatLine(CUiListBox* list, std::string_view text) {
    if (!list) return;
    AddLine(list, std::string(text.substr(0, text.find('\0'))));
}

void AddChatLineFormat(CUiListBox* list, std::string_view format, const FormatArg& value, uint32_t colour) {
    const FormatArg args[] = {value};
    const std::string line = FormatTextArgs(format, args);
    AddChatLine(list, platform::Cp949Cut(line, kFormatBuffer), colour);
}

int HandleWhisperPacket(const uint8_t* payload, size_t size, CUiListBox* list, CClientSession& session) {
    CByteReader reader(payload, size);
    const uint8_t result = reader.ReadU8();
    const uint8_t kind = reader.ReadU8();
    char nickname[kNicknameField];
    reader.ReadText(nickname, sizeof(nickname), kNicknameField);
    if (!reader.Ok()) return 0;
    // The text runs to its NUL or to the payload's end.
    const std::string_view rest(reinterpret_cast<const char*>(payload) + reader.Position(), reader.Remaining());
    const std::string_view text = rest.substr(0, rest.find('\0'));

    if (result != 1) {
        const int entry = kind == 0x26 ? MSG_CHAT_NOT_CONNECTED_NICK : kind == 0x27 ? MSG_CHAT_NOT_REPLY_STATE : -1;
        if (entry >= 0) AddChatLineFormat(list, GetMessageText(entry), nickname, chat_colour::kError);
        return 1;
    }
    const bool echo = kind == 'e';
    std::string shown;
    if (!session.words.FilterChatWords(text, session.nickname, echo ? nullptr : nickname, shown)) return 1;
    const std::string line = FormatText(echo ? ">>%s : %s" : "%s : %s", nickname, shown);
    AddChatLine(list, platform::Cp949Cut(line, kFormatBuffer), chat_colour::kWhisper);
    if (!echo) session.chat.lastWhisperer = nickname;
    return 1;
}
