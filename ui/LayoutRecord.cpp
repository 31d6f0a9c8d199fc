#include "ui/LayoutRecord.h"

#include <cmath>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "engine/core/TextFormat.h"
#include "ui/LayoutStream.h"
#include "ui/UiObject.h"

namespace {

int Chain(const CUiObject& object) {
    ErrorReport().Chain("%s", object.Name());
    return 0;
}

int ReadImage(CUiObject& object, CLayoutStream& s) {
    float* uv = object.Uv();
    uint32_t hasImage = 0;
    if (!s.Floats(uv, 8) || !s.Field(hasImage)) return 0;
    if (hasImage != 1) return 1;
    std::string imageName;
    if (!s.Field(imageName)) return 0;
    if (imageName.empty()) return 1;
    CResource* image = FetchLayoutImage(imageName);
    if (!image) return 0;
    object.SetImage(image, imageName);
    return 1;
}

int ReadNestedRecords(CUiObject& object, CLayoutStream& s) {
    uint32_t count = 0;
    if (!s.Field(count)) return 0;
    // The control made its parts itself; the file only styles them, in order.
    std::vector<CUiObject*> parts(object.Children().begin(), object.Children().end());
    if (count != parts.size())
        return s.FailData(FormatText("Layout record %s has %u nested records for %u parts", object.Name(), count,
                                     static_cast<uint32_t>(parts.size())));
    for (CUiObject* part : parts) {
        uint32_t type = 0;
        std::string name;
        if (!s.Field(type) || !s.Field(name)) return 0;
        if (type != part->TypeId() || name != part->Name())
            return s.FailData(FormatText("Layout record %s: nested record %s (type 0x%08X) does not match the part %s",
                                         object.Name(), name, type, part->Name()));
        if (!ReadLayoutRecord(*part, s, true)) return 0;
    }
    return 1;
}

}  // namespace

CResource* FetchLayoutImage(const std::string& name) {
    if (!g_pResourceManager) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, "No resource manager for the image %s", name);
        return nullptr;
    }
    return g_pResourceManager->GetResource(name.c_str(), RES_TEXTURE, nullptr, 0);
}

int ReadLayoutStateImage(CLayoutStream& s, int32_t* index, CResource** image, std::string* name) {
    *index = -1;
    *image = nullptr;
    name->clear();
    uint32_t hasImage = 0;
    if (!s.Field(hasImage)) return 0;
    if (hasImage != 1) return 1;
    uint32_t state = 0;
    if (!s.Field(state) || !s.Field(*name)) return 0;
    if (state > 2) return s.FailData(FormatText("Layout state image %s has the state index %u", *name, state));
    if (!name->empty()) {
        *image = FetchLayoutImage(*name);
        if (!*image) return 0;
    }
    *index = static_cast<int32_t>(state);
    return 1;
}

int WriteLayoutStateImage(CLayoutStream& s, int32_t index, const std::string& name) {
    uint32_t hasImage = name.empty() ? 0 : 1;
    s.Field(hasImage);
    if (hasImage) {
        uint32_t state = static_cast<uint32_t>(index);
        std::string copy = name;
        s.Field(state);
        s.Field(copy);
    }
    return s.Failed() ? 0 : 1;
}

int ReadLayoutRecord(CUiObject& object, CLayoutStream& s, bool nameRead) {
    if (!nameRead) {
        std::string name;
        if (!s.Field(name)) return 0;
        object.SetName(name);
    }
    float rect[4];
    uint32_t flags = 0;
    float colour[4];
    if (!s.Floats(rect, 4) || !s.Field(flags) || !s.Floats(colour, 4)) return Chain(object);
    for (float& v : rect) v = ClampUiCoord(v);
    object.SetPosition(rect[0], rect[1]);
    object.SetSize(rect[2], rect[3]);
    UiColor c{colour[0], colour[1], colour[2], colour[3]};
    object.SetColor(c);
    object.SetSavedColour(c);
    // Exactly 4 means "disabled" and dims the colour just read; other values are only OR-ed in.
    if (flags == UI_DISABLED) object.SetEnabled(0);
    object.AddFlags(flags);
    if (object.HasCommonImage() && !ReadImage(object, s)) return Chain(object);
    std::string text;
    if (!s.Field(text)) return Chain(object);
    object.SetText(text);
    if (!object.SerializeLayoutPart(s) || s.Failed()) return Chain(object);
    if (object.TypeId() != UI_TYPE_WINDOW && !ReadNestedRecords(object, s)) return Chain(object);
    return 1;
}

int WriteLayoutRecord(CUiObject& object, CLayoutStream& s) {
    uint32_t type = object.TypeId();
    std::string name = object.Name();
    float rect[4] = {object.Position().x, object.Position().y, object.Size().x, object.Size().y};
    uint32_t flags = object.Flags();
    // A disabled element keeps its own colour aside; that one is what the file holds.
    const UiColor& c = object.HasFlags(UI_DISABLED) ? object.SavedColour() : object.Colour();
    float colour[4] = {c.r, c.g, c.b, c.a};
    s.Field(type);
    s.Field(name);
    s.Floats(rect, 4);
    s.Field(flags);
    s.Floats(colour, 4);
    if (object.HasCommonImage()) {
        float uv[8];
        bool allZero = true;
        for (int i = 0; i < 8; ++i) {
            uv[i] = object.Uv()[i];
            allZero = allZero && uv[i] == 0.0f;
        }
        if (allZero)
            for (int i = 0; i < 8; ++i) uv[i] = kDefaultUv[i];
        s.Floats(uv, 8);
        uint32_t hasImage = object.Image() ? 1 : 0;
        s.Field(hasImage);
        if (hasImage) {
            std::string imageName = object.ImageName();
            s.Field(imageName);
        }
    }
    std::string text = object.Text();
    s.Field(text);
    if (!object.SerializeLayoutPart(s)) return 0;
    if (type != UI_TYPE_WINDOW) {
        uint32_t count = static_cast<uint32_t>(object.Children().size());
        s.Field(count);
        for (CUiObject* part : object.Children())
            if (!WriteLayoutRecord(*part, s)) return 0;
    }
    return s.Failed() ? 0 : 1;
}
