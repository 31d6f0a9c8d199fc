#include "engine/text/FreeTypeFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/text/ColorMarkup.h"
#include "engine/core/ErrorReport.h"
#include "engine/text/ZEMFTFontTexture.h"
#include "platform/CodePage.h"

using namespace platform;

struct CFreeTypeFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<uint8_t> bytes;  // a face opened from memory reads them for its whole life
};

namespace {

constexpr size_t kGlyphSlots = 65536;
constexpr uint16_t kWideBlank = 0xA1A1;
constexpr uint32_t kShadow = 0xFF000000u;
// Grey values at or below this are edge noise: they cast no shadow or outline.
constexpr uint32_t kGlyphThreshold = 0x20;

struct QuadVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 28, "the quad's vertex format is XYZRHW | DIFFUSE | TEX1");

// The Unicode character FreeType is asked for.
char32_t UnicodeOf(uint16_t code) {
    if (code < 0x80) return code;
    if (code < 0x100) return 0xFFFD;  // a lone lead byte or a byte that starts nothing
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::u32string u = Cp949ToUtf32(std::string_view(bytes, 2));
    return u.empty() ? 0xFFFD : u[0];
}

// Grey level 0..255 of a FreeType bitmap pixel.
uint32_t BitmapLevel(const FT_Bitmap& bm, uint32_t row, uint32_t col) {
    int pitch = bm.pitch;
    const uint8_t* line = pitch >= 0 ? bm.buffer + static_cast<size_t>(row) * static_cast<size_t>(pitch)
                                     : bm.buffer + static_cast<size_t>(bm.rows - 1 - row) * static_cast<size_t>(-pitch);
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) return (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
    uint32_t v = line[col];
    if (bm.num_grays > 1 && bm.num_grays != 256) v = v * 255 / static_cast<uint32_t>(bm.num_grays - 1);
    return std::min<uint32_t>(v, 255);
}

}  // namespace

CFreeTypeFont::CFreeTypeFont() : m_glyphs(kGlyphSlots) {}

CFreeTypeFont::~CFreeTypeFont() { Destroy(); }

void CFreeTypeFont::SetEmbolden(float x, float y) {
    // FreeType refuses negative strengths, which would leave every glyph undrawn.
    auto fixed = [](float v) {
        if (!(v > 0)) return 0;
        auto whole = static_cast<int32_t>(v);
        return static_cast<int32_t>((static_cast<uint32_t>(whole) << 6) |
                                    static_cast<uint32_t>(static_cast<int32_t>((v - static_cast<float>(whole)) * 64)));
    };
    m_emboldenX = fixed(x);
    m_emboldenY = fixed(y);
}

int CFreeTypeFont::Create(int32_t outlineMode, int32_t size, FontFile file, float bold1, float bold2, int32_t gapNarrow,
                          int32_t gapWide, int32_t offsetY, int32_t offsetX) {
    Destroy();
    m_size = size;
    m_lineHeight = static_cast<int32_t>(1.7 * size);
    m_outlineMode = outlineMode;
    m_gapNarrow = gapNarrow;
    m_gapWide = gapWide;
    m_lineAdvance = m_outlineMode * m_outlineWidth + m_lineHeight;
    if (size >= 10) {
        m_offsetY = offsetY;
        m_offsetX = offsetX;
    }
    SetEmbolden(bold1, bold2);
    if (size <= 0 || outlineMode < OUTLINE_NONE || outlineMode > OUTLINE_FULL) {
        ErrorReport().SetError(ERR_DATA, "font %s: size %d or outline mode %d out of range", file.path, size,
                               outlineMode);
        return 0;
    }

    auto face = std::make_unique<Face>();
    face->bytes = std::move(file.bytes);
    const char* step = "FT_Init_FreeType";
    FT_Error error = FT_Init_FreeType(&face->library);
    if (!error) {
        step = "FT_New_Face";
        if (!face->bytes.empty()) {
            error = FT_New_Memory_Face(face->library, face->bytes.data(), static_cast<FT_Long>(face->bytes.size()),
                                       file.faceIndex, &face->face);
        } else {
            error = FT_New_Face(face->library, file.path.c_str(), file.faceIndex, &face->face);
        }
    }
    if (!error) {
        step = "FT_Set_Char_Size";
        error = FT_Set_Char_Size(face->face, size * 64, size * 64, 96, 96);
    }
    if (error) {
        if (face->face) FT_Done_Face(face->face);
        if (face->library) FT_Done_FreeType(face->library);
        ErrorReport().SetError(ERR_DATA, "font %s (face %d): %s failed with FreeType error %d",
                               file.path.empty() ? "<package entry>" : file.path, file.faceIndex, step, error);
        return 0;
    }
    m_face = std::move(face);
    return 1;
}

void CFreeTypeFont::Destroy() {
    for (auto& g : m_glyphs) g.reset();
    if (m_face) {
        if (m_face->face) FT_Done_Face(m_face->face);
        if (m_face->library) FT_Done_FreeType(m_face->library);
        m_face.reset();
    }
}

std::unique_ptr<CFreeTypeFont::GlyphEntry> CFreeTypeFont::Rasterise(uint16_t code) {
    if (!m_face) return nullptr;
    FT_Face face = m_face->face;
    FT_UInt index = FT_Get_Char_Index(face, UnicodeOf(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT)) return nullptr;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return nullptr;
    if (m_emboldenX || m_emboldenY) {
        // The slot's bitmap may belong to the face's cache; emboldening grows it.
        if (FT_GlyphSlot_Own_Bitmap(slot)) return nullptr;
        if (FT_Bitmap_Embolden(m_face->library, &slot->bitmap, m_emboldenX, m_emboldenY)) return nullptr;
    }
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_MONO && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return nullptr;
    bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;

    auto entry = std::make_unique<GlyphEntry>();
    // The baseline lies 1.2 x size rows below the line's top.
    entry->top = std::max(0, static_cast<int32_t>(1.2 * m_size) - slot->bitmap_top);
    int32_t grow = m_outlineMode * m_outlineWidth;
    entry->width = static_cast<int32_t>(bm.width) + grow;
    entry->height = static_cast<int32_t>(bm.rows) + grow;
    entry->pixels.assign(static_cast<size_t>(entry->width) * static_cast<size_t>(entry->height), 0);
    auto at = [&](int32_t x, int32_t y) -> uint32_t& {
        return entry->pixels[static_cast<size_t>(y) * static_cast<size_t>(entry->width) + static_cast<size_t>(x)];
    };

    for (uint32_t row = 0; row < bm.rows; ++row) {
        for (uint32_t col = 0; col < bm.width; ++col) {
            uint32_t level = BitmapLevel(bm, row, col);
            uint32_t pixel = mono ? (level ? 0xFFFFFFFFu : 0u) : ((level << 24) | 0xFFFFFFu);
            auto x = static_cast<int32_t>(col), y = static_cast<int32_t>(row);
            if (m_outlineMode == OUTLINE_NONE) {
                at(x, y) = pixel;
                continue;
            }
            if (mono ? level == 0 : level <= kGlyphThreshold) continue;
            if (m_outlineMode == OUTLINE_SHADOW) {
                // Shadows fall to later rows only, so a glyph pixel visited later wins.
                at(x, y) = pixel;
                for (int32_t k = 1; k <= m_outlineWidth; ++k) at(x + k, y + k) = kShadow;
                continue;
            }
            int32_t gx = x + m_outlineWidth, gy = y + m_outlineWidth;
            at(gx, gy) = pixel;
            for (int32_t k = 1; k <= m_outlineWidth; ++k) {
                for (uint32_t* p : {&at(gx, gy - k), &at(gx, gy + k), &at(gx - k, gy), &at(gx + k, gy)}) {
                    if ((*p >> 24) <= (mono ? 0u : kGlyphThreshold)) *p = kShadow;
                }
            }
        }
    }
    return entry;
}

const CFreeTypeFont::GlyphEntry* CFreeTypeFont::Glyph(uint16_t code) {
    std::unique_ptr<GlyphEntry>& slot = m_glyphs[code];
    if (!slot) slot = Rasterise(code);
    return slot.get();
}

bool CFreeTypeFont::Advance(uint16_t code, size_t length, int32_t* x) {
    if (code == ' ') {
        *x += m_gapNarrow + static_cast<int32_t>(m_size * 0.5);
        return true;
    }
    if (code == kWideBlank) {
        *x += m_gapWide + m_size;
        return true;
    }
    const GlyphEntry* g = Glyph(code);
    if (!g) return false;
    if (length == 1) {
        *x += m_gapNarrow + g->width + (g->width < m_size * 0.5 ? 1 : 0);
    } else {
        *x += g->width + m_gapWide;
    }
    return true;
}

int CFreeTypeFont::MeasureRun(std::string_view text, int32_t maxBytes, TextSize* out) {
    *out = TextSize();
    size_t limit = text.size();
    if (maxBytes > 0 && static_cast<size_t>(maxBytes) < limit) limit = static_cast<size_t>(maxBytes);
    int32_t x = 0, widest = 0, lines = 0;
    size_t pos = 0;
    while (pos < limit && text[pos] != '\r') {
        if (text[pos] == '\n') {
            widest = std::max(widest, x);
            x = 0;
            ++lines;
            ++pos;
            continue;
        }
        size_t length = CharLengthAt(text, pos);
        if (pos + length > limit) break;  // a double-byte character cut by the limit
        if (!Advance(CharCodeAt(text, pos, length), length, &x)) return 0;
        pos += length;
    }
    if (pos == 0) return 1;
    out->width = std::max(widest, x);
    out->height = m_lineHeight + lines * m_lineAdvance;
    return 1;
}

int CFreeTypeFont::MeasureText(std::string_view text, TextSize* out) {
    CColorMarkupReader reader(text);
    if (!reader.IsMarkup()) return MeasureRun(text, 0, out);
    *out = TextSize();
    int32_t line = 0, widest = 0, lines = 0;
    bool any = false;
    for (auto piece = reader.Next(); piece.kind != CColorMarkupReader::Kind::End; piece = reader.Next()) {
        if (piece.kind == CColorMarkupReader::Kind::Run) {
            TextSize run;
            if (!MeasureRun(piece.text, 0, &run)) return 0;
            line += run.width;
            any = true;
        } else if (piece.kind == CColorMarkupReader::Kind::Newline) {
            widest = std::max(widest, line);
            line = 0;
            ++lines;
            any = true;
        }
    }
    if (!any) return 1;
    out->width = std::max(widest, line);
    out->height = m_lineHeight + lines * m_lineAdvance;
    return 1;
}

std::string CFreeTypeFont::EllipsizeText(std::string_view text, int32_t maxWidth) {
    int32_t sum = 0;
    size_t pos = 0, previous = 0;
    while (pos < text.size() && text[pos] != '\r') {
        size_t length = CharLengthAt(text, pos);
        int32_t x = 0;
        if (text[pos] != '\n') Advance(CharCodeAt(text, pos, length), length, &x);
        sum += x;
        if (sum > maxWidth) {
            size_t cut = (length == 1 && pos > 0) ? previous : pos;
            if (cut == 0) return std::string();
            return std::string(text.substr(0, cut)) + "...";
        }
        previous = pos;
        pos += length;
    }
    return std::string(text);
}

std::vector<std::string> CFreeTypeFont::WrapText(std::string_view text, int32_t widthPx) {
    // The text as atoms: characters with their advance, blanks (where a line
    // may break, the blank dropped), line breaks, and tags (no width).
    enum class Kind { Char, Wide, Blank, Newline, Tag };
    struct Atom {
        Kind kind;
        std::string_view bytes;
        int32_t width = 0;
        CColorMarkupReader::Kind tag = CColorMarkupReader::Kind::End;
        uint32_t value = 0;
    };
    std::vector<Atom> atoms;
    CColorMarkupReader reader(text);
    for (auto piece = reader.Next(); piece.kind != CColorMarkupReader::Kind::End; piece = reader.Next()) {
        if (piece.kind == CColorMarkupReader::Kind::Newline) {
            atoms.push_back({Kind::Newline, {}, 0, piece.kind, 0});
        } else if (piece.kind != CColorMarkupReader::Kind::Run) {
            atoms.push_back({Kind::Tag, piece.text, 0, piece.kind, piece.value});
        } else {
            std::string_view run = piece.text;
            for (size_t pos = 0; pos < run.size();) {
                size_t length = CharLengthAt(run, pos);
                std::string_view bytes = run.substr(pos, length);
                pos += length;
                if (bytes[0] == '\n') {
                    atoms.push_back({Kind::Newline, {}, 0, CColorMarkupReader::Kind::End, 0});
                    continue;
                }
                int32_t x = 0;
                uint16_t code = CharCodeAt(bytes, 0, length);
                Advance(code, length, &x);
                Kind kind = code == ' ' ? Kind::Blank : (length == 2 ? Kind::Wide : Kind::Char);
                atoms.push_back({kind, bytes, x, CColorMarkupReader::Kind::End, 0});
            }
        }
    }

    std::vector<std::string> lines;
    std::string openTag;  // the colour tag in effect where the next line starts
    auto emit = [&](size_t from, size_t to) {
        std::string line;
        for (size_t k = from; k < to; ++k) line += atoms[k].bytes;
        if (reader.IsMarkup() && !lines.empty() && !BeginsWithColorTag(line))
            line.insert(0, openTag.empty() ? "</>" : openTag);
        lines.push_back(std::move(line));
    };
    auto track = [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k) {
            if (atoms[k].kind != Kind::Tag) continue;
            if (atoms[k].tag == CColorMarkupReader::Kind::Reset) {
                openTag.clear();
            } else {
                char tag[16];
                uint32_t v = atoms[k].value;
                if (v >> 24) {
                    std::snprintf(tag, sizeof tag, "</C=%08x>", v);
                } else {
                    std::snprintf(tag, sizeof tag, "</C=%06x>", v);
                }
                openTag = tag;
            }
        }
    };

    size_t n = atoms.size(), start = 0;
    while (start < n) {
        int32_t x = 0;
        bool content = false;
        size_t breakAt = 0, resume = 0, j = start;
        Kind previous = Kind::Tag;
        for (; j < n; ++j) {
            const Atom& a = atoms[j];
            if (a.kind == Kind::Newline) break;
            if (a.kind == Kind::Blank) {
                breakAt = j;
                resume = j + 1;
            } else if (a.kind == Kind::Wide && previous == Kind::Wide) {
                breakAt = j;
                resume = j;
            }
            if (content && x + a.width > widthPx) break;
            x += a.width;
            if (a.kind != Kind::Tag) {
                content = true;
                previous = a.kind;
            }
        }
        size_t end = j, next = j;
        if (j < n && atoms[j].kind == Kind::Newline) {
            next = j + 1;
        } else if (j < n) {
            if (atoms[j].kind == Kind::Blank) {
                next = j + 1;
            } else if (breakAt > start) {
                end = breakAt;
                next = resume;
            }
        }
        emit(start, end);
        track(start, next);
        start = next;
        // A text that ends in a line break has an empty last line.
        if (start == n && n > 0 && atoms[n - 1].kind == Kind::Newline) emit(n, n);
    }
    return lines;
}

void CFreeTypeFont::BeginStates(bool colourOp) {
    CGfxDevice* device = m_textures->Device();
    device->GetRenderState(RS_ALPHABLENDENABLE, &m_blendWasOn);
    if (!m_blendWasOn) {
        device->SetRenderState(RS_ALPHABLENDENABLE, 1);
        device->SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
        device->SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    }
    device->SetTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
    if (colourOp) device->SetTextureStageState(0, TSS_COLOROP, TOP_MODULATE);
    device->SetSamplerState(0, SAMP_MINFILTER, TEXF_POINT);
    device->SetSamplerState(0, SAMP_MAGFILTER, TEXF_POINT);
    device->SetSamplerState(0, SAMP_ADDRESSU, TADDRESS_BORDER);
    device->SetSamplerState(0, SAMP_ADDRESSV, TADDRESS_BORDER);
}

void CFreeTypeFont::EndStates() {
    CGfxDevice* device = m_textures->Device();
    device->SetSamplerState(0, SAMP_ADDRESSU, TADDRESS_WRAP);
    device->SetSamplerState(0, SAMP_ADDRESSV, TADDRESS_WRAP);
    device->SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
    device->SetSamplerState(0, SAMP_MAGFILTER, TEXF_LINEAR);
    if (!m_blendWasOn) device->SetRenderState(RS_ALPHABLENDENABLE, 0);
}

void CFreeTypeFont::DrawRun(int32_t x, int32_t y, uint32_t colour, std::string_view run) {
    TextSize size;
    if (!MeasureRun(run, 0, &size)) return;
    CGfxTexture* texture = m_textures->PickTextTexture(size.width, size.height, &m_texWidth, &m_texHeight);
    if (!texture) return;
    GfxLockedRect locked;
    if (GfxFailed(texture->LockRect(0, &locked, nullptr, 0))) return;
    auto* base = static_cast<uint8_t*>(locked.bits);
    auto pitch = static_cast<size_t>(locked.pitch);
    for (int32_t row = 0; row < m_texHeight; ++row)
        std::memset(base + static_cast<size_t>(row) * pitch, 0, static_cast<size_t>(m_texWidth) * 4);

    // Glyphs replace the pixels under them; every copy is clipped to the
    // texture, since descenders, outlines, emboldening and negative gaps reach
    // past the measured box.
    int32_t penX = 0, lineY = 0;
    for (size_t pos = 0; pos < run.size() && run[pos] != '\r';) {
        if (run[pos] == '\n') {
            penX = 0;
            lineY += m_lineAdvance;
            ++pos;
            continue;
        }
        size_t length = CharLengthAt(run, pos);
        uint16_t code = CharCodeAt(run, pos, length);
        pos += length;
        if (code != ' ' && code != kWideBlank) {
            const GlyphEntry* g = Glyph(code);
            if (!g) break;
            int32_t c0 = std::max(0, -penX), c1 = std::min(g->width, m_texWidth - penX);
            for (int32_t r = 0; r < g->height && c0 < c1; ++r) {
                int32_t ty = lineY + g->top + r;
                if (ty < 0 || ty >= m_texHeight) continue;
                auto* dst = reinterpret_cast<uint32_t*>(base + static_cast<size_t>(ty) * pitch) + penX + c0;
                const uint32_t* src = g->pixels.data() + static_cast<size_t>(r) * static_cast<size_t>(g->width) + c0;
                std::memcpy(dst, src, static_cast<size_t>(c1 - c0) * 4);
            }
        }
        Advance(code, length, &penX);
    }
    texture->UnlockRect(0);

    float left = static_cast<float>(x + m_offsetX), top = static_cast<float>(y + m_offsetY);
    float right = left + static_cast<float>(m_texWidth), bottom = top + static_cast<float>(m_texHeight);
    const QuadVertex quad[4] = {{left, top, 0, 1, colour, 0, 0},
                                {right, top, 0, 1, colour, 1, 0},
                                {right, bottom, 0, 1, colour, 1, 1},
                                {left, bottom, 0, 1, colour, 0, 1}};
    CGfxDevice* device = m_textures->Device();
    device->SetTexture(0, texture);
    device->SetFVF(FVF_XYZRHW | FVF_DIFFUSE | FVF_TEX1);
    device->DrawPrimitiveUP(PT_TRIANGLEFAN, 2, quad, sizeof(QuadVertex));
}

void CFreeTypeFont::RenderText(int32_t x, int32_t y, uint32_t colour, std::string_view text) {
    if (text.empty() || !m_textures || !m_textures->Device()) return;
    BeginStates(true);
    CColorMarkupReader reader(text);
    int32_t penX = x, penY = y;
    uint32_t current = colour;
    for (auto piece = reader.Next(); piece.kind != CColorMarkupReader::Kind::End; piece = reader.Next()) {
        switch (piece.kind) {
            case CColorMarkupReader::Kind::Run: {
                DrawRun(penX, penY, current, piece.text);
                TextSize size;
                if (reader.IsMarkup() && MeasureRun(piece.text, 0, &size)) penX += size.width;
                break;
            }
            case CColorMarkupReader::Kind::Color:
                current = TagColor(piece.value, colour);
                break;
            case CColorMarkupReader::Kind::Reset:
                current = colour;
                break;
            case CColorMarkupReader::Kind::Newline:
                penX = x;
                penY += m_lineAdvance;
                break;
            case CColorMarkupReader::Kind::End:
                break;
        }
    }
    EndStates();
}

void CFreeTypeFont::RenderPlainText(int32_t x, int32_t y, uint32_t colour, std::string_view text) {
    if (text.empty() || !m_textures || !m_textures->Device()) return;
    BeginStates(false);
    DrawRun(x, y, colour, text);
    EndStates();
}
