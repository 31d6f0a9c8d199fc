#include "engine/input/ImeInput.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"

namespace {

constexpr uint16_t kPrimaryChinese = 0x04;
constexpr uint16_t kPrimaryJapanese = 0x11;
constexpr uint16_t kPrimaryKorean = 0x12;

uint16_t PrimaryLanguage(uint16_t language) { return language & 0x3FF; }
uint16_t SubLanguage(uint16_t language) { return language >> 10; }

// Byte length of the first `count` characters of a UTF-8 text.
size_t Utf8PrefixBytes(const std::string& utf8, int32_t count) {
    size_t i = 0;
    for (int32_t n = 0; n < count && i < utf8.size(); ++n) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

// Offset in code-page bytes of the character `count` of a UTF-8 text.
int Cp949Offset(const std::string& utf8, int32_t count) {
    if (count <= 0) return 0;
    return static_cast<int>(
        platform::Utf8ToCp949(std::string_view(utf8).substr(0, Utf8PrefixBytes(utf8, count))).size());
}

}  // namespace

int CImeInput::CharsetFromLanguage(uint16_t language) {
    switch (PrimaryLanguage(language)) {
        case kPrimaryChinese:
            switch (SubLanguage(language)) {
                case 1:
                    return 136;
                case 2:
                    return 134;
                default:
                    return 0;
            }
        case 0x01:
            return 178;
        case 0x02:
        case 0x19:
        case 0x22:
        case 0x23:
            return 204;
        case 0x05:
        case 0x0E:
        case 0x15:
        case 0x18:
        case 0x1A:
        case 0x1B:
        case 0x24:
        case 0x2F:
            return 238;
        case 0x08:
            return 161;
        case 0x0D:
            return 177;
        case kPrimaryJapanese:
            return 128;
        case kPrimaryKorean:
            return 129;
        case 0x1E:
            return 222;
        case 0x1F:
            return 162;
        case 0x25:
        case 0x26:
        case 0x27:
            return 186;
        case 0x2A:
            return 163;
        default:
            return 0;
    }
}

int CImeInput::CodePageFromCharset(int charset) {
    switch (charset) {
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 222:
            return 874;
        case 238:
            return 1250;
        default:
            return 1252;
    }
}

void CImeInput::Create(platform::ImeContext* context) {
    m_context = context;
    OnInputLanguageChange(context ? context->GetLanguage() : platform::kLanguageEnglishUs);
}

void CImeInput::ProcessEvents(int limit) {
    if (!m_context) return;
    platform::ImeEvent event;
    while (m_context->PollEvent(&event)) HandleEvent(event, limit);
}

void CImeInput::HandleEvent(const platform::ImeEvent& event, int limit) {
    switch (event.type) {
        case platform::ImeEvent::Composition:
            OnComposition(event.text, event.cursor, event.selection, limit);
            break;
        case platform::ImeEvent::Result:
            OnResult(event.text, limit);
            break;
        case platform::ImeEvent::Char:
            HandleChar(event.code, limit);
            break;
        case platform::ImeEvent::EndComposition:
            EndComposition();
            break;
        case platform::ImeEvent::CandidatesChanged:
            UpdateCandidates(true);
            break;
        case platform::ImeEvent::CandidatesClosed:
            UpdateCandidates(false);
            break;
        case platform::ImeEvent::LanguageChanged:
            OnInputLanguageChange(static_cast<uint16_t>(event.code));
            break;
        case platform::ImeEvent::StatusChanged:
            UpdateStatus();
            break;
    }
}

void CImeInput::OnInputLanguageChange(uint16_t language) {
    m_language = language;
    m_charset = CharsetFromLanguage(language);
    m_codePage = CodePageFromCharset(m_charset);
    UpdateStatus();
}

void CImeInput::UpdateStatus() {
    const bool open = m_context && m_context->IsOpen();
    const uint16_t primary = PrimaryLanguage(m_language);
    m_indicator = "En";
    if (open) {
        if (primary == kPrimaryJapanese) {
            m_verticalCandidates = true;
            m_indicator = "あ";
        } else if (primary == kPrimaryKorean) {
            m_verticalCandidates = false;
            m_indicator = "가";
        } else if (m_language == platform::kLanguageChineseTraditional) {
            m_verticalCandidates = true;
            m_indicator = "繁";
        } else if (m_language == platform::kLanguageChineseSimplified) {
            m_verticalCandidates = true;
            m_indicator = "简";
        }
    }
    // Only the East Asian languages type through an input method here.
    const bool ime = primary == kPrimaryChinese || primary == kPrimaryJapanese || primary == kPrimaryKorean;
    if (!ime || !m_context)
        m_state = STATE_OFF;
    else if (primary == kPrimaryChinese)
        m_state = open ? STATE_ON : STATE_ENGLISH;
    else
        m_state = open ? STATE_ON : STATE_OFF;
}

int CImeInput::EffectiveLimit(int limit) const {
    // Whatever the box asks for, the text must fit its buffer with the NUL.
    return std::clamp(limit, 0, static_cast<int>(kEditBufferSize) - 1);
}

void CImeInput::OnComposition(const std::string& utf8, int32_t cursor, int32_t selection, int limit) {
    // Nothing more is composed into a full text; a composition left over from
    // before the text filled up is dropped rather than shown for ever.
    std::string composition = platform::Utf8ToCp949(utf8);
    if (m_length >= kMaxTextBytes || m_length + static_cast<int>(composition.size()) > EffectiveLimit(limit)) {
        EndComposition();
        return;
    }
    m_composition = std::move(composition);
    if (selection > 0) {
        m_targetStart = Cp949Offset(utf8, cursor);
        m_targetEnd = Cp949Offset(utf8, cursor + selection);
    } else {
        m_targetStart = m_targetEnd = 0;
    }
}

void CImeInput::OnResult(const std::string& utf8, int limit) {
    if (m_length >= kMaxTextBytes) return;
    std::string result = platform::Utf8ToCp949(utf8);
    if (m_length + static_cast<int>(result.size()) > EffectiveLimit(limit)) {
        EndComposition();
        return;
    }
    m_text += result;
    TextChanged();
}

void CImeInput::EndComposition() {
    m_composition.clear();
    m_targetStart = m_targetEnd = 0;
}

void CImeInput::UpdateCandidates(bool open) {
    m_hasCandidates = false;
    m_candidates = {};
    if (!open || !m_context) return;
    m_hasCandidates = m_context->GetCandidates(&m_candidates);
    if (!m_hasCandidates) return;
    const uint32_t shown = std::min<uint32_t>(GetCandidateCount(), m_candidates.pageStart + m_candidates.pageSize);
    if (shown > 0 && m_measure) {
        m_measure(platform::Utf8ToCp949(m_candidates.candidates[0]), &m_candidateWidth, &m_candidateHeight);
    }
}

void CImeInput::HandleChar(uint32_t code, int limit) {
    if (code == 8) {
        if (m_text.empty()) return;
        m_text.resize(platform::Cp949CutLength(m_text, m_text.size() - 1));
        TextChanged();
        return;
    }
    if (code < 32) return;  // tab, line feed, carriage return, escape and the rest
    if (m_length >= kMaxTextBytes) return;
    std::string bytes = platform::Utf32ToCp949(std::u32string(1, static_cast<char32_t>(code)));
    if (m_length + static_cast<int>(bytes.size()) > EffectiveLimit(limit)) return;
    m_text += bytes;
    TextChanged();
}

void CImeInput::SetEditText(const char* text) {
    if (!text) return;
    m_text = platform::Cp949Cut(text, kEditBufferSize - 1);
    EndComposition();
    TextChanged();
}

void CImeInput::SetEditBuffer(char* buffer, size_t size) {
    if (!buffer || size == 0) {
        m_editBuffer = nullptr;
        m_editBufferSize = 0;
        return;
    }
    m_editBuffer = buffer;
    m_editBufferSize = size;
    SetEditText(std::string(buffer, strnlen(buffer, size)).c_str());
}

void CImeInput::SetCaretRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (m_context) m_context->SetCaretRect(x, y, width, height);
}

size_t CImeInput::GetCandidateText(uint32_t index, char* buffer, size_t size) const {
    if (!m_hasCandidates || index >= GetCandidateCount()) return 0;
    std::string text = platform::Utf8ToCp949(m_candidates.candidates[index]);
    const size_t needed = text.size() + 1;
    if (!buffer) return needed;
    if (size < needed) return 0;
    std::memcpy(buffer, text.c_str(), needed);
    return needed;
}

void CImeInput::TextChanged() {
    m_length = static_cast<int>(m_text.size());
    if (!m_editBuffer) return;
    const size_t n = platform::Cp949CutLength(m_text, m_editBufferSize - 1);
    std::memcpy(m_editBuffer, m_text.data(), n);
    m_editBuffer[n] = '\0';
}
