// Makes a control of a layout type id. Each control class registers itself
// for its type id; the layout reader asks here for every child record, and a
// type id that nobody registered fails the layout.
#pragma once

#include <cstdint>
#include <functional>

class CUiObject;

using UiControlMaker = std::function<CUiObject*()>;

void RegisterUiControl(uint32_t typeId, UiControlMaker maker);
// A new control of that type id, or null for an unknown id.
CUiObject* CreateUiControl(uint32_t typeId);
