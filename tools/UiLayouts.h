// Layout records of every control type with the nested records of their parts
// in the order the controls make them, and the layouts built from them: the
// tooltip, the message box and a window holding one control of each type.
// Used by the UI tests, the window test and the sample game folder.
#pragma once

#include <string>

#include "tools/LayoutWriter.h"

LayoutRecordSpec StaticRecord(const std::string& name, float x, float y, float w, float h,
                              const std::string& text = {});
LayoutRecordSpec ButtonRecord(const std::string& name, float x, float y, float w, float h,
                              const std::string& caption = {});
LayoutRecordSpec CheckButtonRecord(const std::string& name, float x, float y, float w, float h,
                                   const std::string& caption = {});
LayoutRecordSpec ScrollBarRecord(const std::string& name, float x, float y, float w, float h);
LayoutRecordSpec ListBoxRecord(const std::string& name, float x, float y, float w, float h, uint32_t columns,
                               uint32_t rows, float scrollBarWidth);
LayoutRecordSpec ComboBoxRecord(const std::string& name, float x, float y, float w, float h, float buttonWidth,
                                float listHeight, uint32_t listRows);
LayoutRecordSpec GaugeRecord(const std::string& name, float x, float y, float w, float h, float headLength);
LayoutRecordSpec SliderRecord(const std::string& name, float x, float y, float w, float h, float thumbLength);
LayoutRecordSpec EditBoxRecord(const std::string& name, float x, float y, float w, float h, uint32_t style = 0);

// The record's colour, opaque.
void Tint(LayoutRecordSpec& record, float red, float green, float blue);

// An empty light-grey window of a screen's layout at the rectangle.
LayoutFileSpec WindowLayout(const std::string& name, float x, float y, float w, float h);

// A window framed like the tooltip: the text static and the eight decor statics.
LayoutFileSpec FramedWindow(const std::string& name);
// The tooltip's frame: the text static and the eight decor statics.
LayoutFileSpec TooltipLayout();
// The tooltip's frame with the OK and Cancel buttons and the background.
LayoutFileSpec MessageBoxLayout();
// One control of every type in a 600 x 400 window named WND_ALL_CONTROLS.
LayoutFileSpec AllControlsLayout();
// The loading screen of a match (1024 x 768): the press-a-key text, the game
// tip, the overall gauge, the chat and twelve player rows (name, percent,
// shell and gauge).
LayoutFileSpec LoadingLayout();
