// Writes *.DUI layout files field by field, for tests, benchmarks and the
// sample game folder. A record is described plainly; its type part is a list
// of fields in file order, so a fixture can hold any control's part (or a
// deliberately wrong one). The format is described where the client reads it
// (ui/LayoutRecord.h).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct LayoutField {
    std::variant<uint32_t, float, std::string> value;
};

struct LayoutRecordSpec {
    uint32_t type = 0x10000000;
    std::string name;
    float rect[4] = {0, 0, 0, 0};  // x, y, width, height
    uint32_t flags = 0;
    float colour[4] = {1, 1, 1, 1};
    float uv[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    uint32_t hasImage = 0;  // written when the type keeps a common image
    std::string image;      // written when hasImage is 1
    std::string text;
    std::vector<LayoutField> part;  // the type's own part
    // Nested records of the control's parts; the count is written from here
    // unless nestedCount is set (fixtures of a wrong count).
    std::vector<LayoutRecordSpec> nested;
    int64_t nestedCount = -1;
};

struct LayoutFileSpec {
    float version = 1.09f;
    LayoutRecordSpec window;  // its part is the drag area (4 floats)
    std::vector<LayoutRecordSpec> children;
};

// The whole file as bytes.
std::vector<uint8_t> BuildLayout(const LayoutFileSpec& spec);
// Writes the file; 1 on success, 0 with the error report set.
int WriteLayoutFile(const char* path, const LayoutFileSpec& spec);

// Field helpers for type parts.
inline LayoutField LayoutU32(uint32_t v) { return {v}; }
inline LayoutField LayoutFloat(float v) { return {v}; }
inline LayoutField LayoutString(std::string v) { return {std::move(v)}; }

// The type parts of the control types, field by field in file order.
struct LayoutButtonPart {
    float stateUv[24] = {0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 1};
    std::string stateImage[3];  // normal, hover, pressed; empty for none
    std::string caption;
    float captionColour[4] = {1, 1, 1, 1};
    std::string hoverSound, clickSound;
    uint32_t font = 0;
    uint32_t frameColumns = 0, frameRows = 0;
    float frameTime = 0;
    // Check buttons of version 1.09 files end with the caption shift.
    bool withCheckShift = false;
    int32_t checkShift = 0;
};
std::vector<LayoutField> ButtonPart(const LayoutButtonPart& part);
std::vector<LayoutField> ComboBoxPart(float buttonWidth, float listHeight, uint32_t listRows);
std::vector<LayoutField> ListBoxPart(uint32_t columns, uint32_t rows, float scrollBarWidth, const float colour[4],
                                     uint32_t font);
std::vector<LayoutField> GaugePart(float headLength);
std::vector<LayoutField> SliderPart(float thumbLength);
// Version 1.07 edit boxes have no font index (withFont false).
std::vector<LayoutField> EditBoxPart(const float colour[4], uint32_t style, uint32_t font, bool withFont);
std::vector<LayoutField> StaticPart(const std::string& text, const float colour[4], uint32_t font,
                                    uint32_t frameColumns, uint32_t frameRows, float frameTime);
