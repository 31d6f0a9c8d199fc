#include "tools/LayoutWriter.h"

#include <cstring>

#include "engine/core/FileStream.h"

namespace {

class Bytes {
public:
    std::vector<uint8_t> out;
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Float(float f) {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void String(const std::string& s) {
        if (s.empty()) {
            U32(0);
            return;
        }
        U32(static_cast<uint32_t>(s.size() + 1));
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
};

bool HasCommonImage(uint32_t type) { return type != 0x10000001 && type != 0x10000009; }

void Record(Bytes& b, const LayoutRecordSpec& r, bool window) {
    b.U32(r.type);
    b.String(r.name);
    for (float f : r.rect) b.Float(f);
    b.U32(r.flags);
    for (float f : r.colour) b.Float(f);
    if (HasCommonImage(r.type)) {
        for (float f : r.uv) b.Float(f);
        b.U32(r.hasImage);
        if (r.hasImage == 1) b.String(r.image);
    }
    b.String(r.text);
    for (const LayoutField& f : r.part) {
        if (auto* u = std::get_if<uint32_t>(&f.value))
            b.U32(*u);
        else if (auto* x = std::get_if<float>(&f.value))
            b.Float(*x);
        else
            b.String(std::get<std::string>(f.value));
    }
    if (window) return;
    b.U32(r.nestedCount >= 0 ? static_cast<uint32_t>(r.nestedCount) : static_cast<uint32_t>(r.nested.size()));
    for (const LayoutRecordSpec& n : r.nested) Record(b, n, false);
}

}  // namespace

namespace {

uint32_t FloatWord(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

void Colour(std::vector<LayoutField>& out, const float colour[4]) {
    for (int i = 0; i < 4; ++i) out.push_back(LayoutFloat(colour[i]));
}

}  // namespace

std::vector<LayoutField> ButtonPart(const LayoutButtonPart& p) {
    std::vector<LayoutField> out;
    for (float f : p.stateUv) out.push_back(LayoutFloat(f));
    for (uint32_t i = 0; i < 3; ++i) {
        out.push_back(LayoutU32(p.stateImage[i].empty() ? 0 : 1));
        if (p.stateImage[i].empty()) continue;
        out.push_back(LayoutU32(i));
        out.push_back(LayoutString(p.stateImage[i]));
    }
    out.push_back(LayoutString(p.caption));
    Colour(out, p.captionColour);
    out.push_back(LayoutString(p.hoverSound));
    out.push_back(LayoutString(p.clickSound));
    out.push_back(LayoutU32(p.font));
    out.push_back(LayoutU32(p.frameColumns));
    out.push_back(LayoutU32(p.frameRows));
    // The frame time is stored as the bits of a float in a u32 field.
    out.push_back(LayoutU32(FloatWord(p.frameTime)));
    if (p.withCheckShift) out.push_back(LayoutU32(static_cast<uint32_t>(p.checkShift)));
    return out;
}

std::vector<LayoutField> ComboBoxPart(float buttonWidth, float listHeight, uint32_t listRows) {
    return {LayoutFloat(buttonWidth), LayoutFloat(listHeight), LayoutU32(listRows)};
}

std::vector<LayoutField> ListBoxPart(uint32_t columns, uint32_t rows, float scrollBarWidth, const float colour[4],
                                     uint32_t font) {
    std::vector<LayoutField> out = {LayoutU32(columns), LayoutU32(rows), LayoutFloat(scrollBarWidth)};
    Colour(out, colour);
    out.push_back(LayoutU32(font));
    return out;
}

std::vector<LayoutField> GaugePart(float headLength) { return {LayoutFloat(headLength)}; }

std::vector<LayoutField> SliderPart(float thumbLength) { return {LayoutFloat(thumbLength)}; }

std::vector<LayoutField> EditBoxPart(const float colour[4], uint32_t style, uint32_t font, bool withFont) {
    std::vector<LayoutField> out;
    Colour(out, colour);
    out.push_back(LayoutU32(style));
    if (withFont) out.push_back(LayoutU32(font));
    return out;
}

std::vector<LayoutField> StaticPart(const std::string& text, const float colour[4], uint32_t font,
                                    uint32_t frameColumns, uint32_t frameRows, float frameTime) {
    std::vector<LayoutField> out = {LayoutString(text)};
    Colour(out, colour);
    out.push_back(LayoutU32(font));
    out.push_back(LayoutU32(frameColumns));
    out.push_back(LayoutU32(frameRows));
    out.push_back(LayoutU32(FloatWord(frameTime)));
    return out;
}

std::vector<uint8_t> BuildLayout(const LayoutFileSpec& spec) {
    Bytes b;
    b.Float(spec.version);
    Record(b, spec.window, true);
    b.U32(static_cast<uint32_t>(spec.children.size()));
    for (const LayoutRecordSpec& c : spec.children) Record(b, c, false);
    return b.out;
}

int WriteLayoutFile(const char* path, const LayoutFileSpec& spec) {
    std::vector<uint8_t> bytes = BuildLayout(spec);
    CFileStream file;
    if (!file.OpenWrite(path)) return 0;
    int ok = file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) ? 1 : 0;
    file.Close();
    return ok;
}
