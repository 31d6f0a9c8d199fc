#include "ui/UiControlFactory.h"

#include <map>

namespace {

std::map<uint32_t, UiControlMaker>& Makers() {
    static std::map<uint32_t, UiControlMaker> makers;
    return makers;
}

}  // namespace

void RegisterUiControl(uint32_t typeId, UiControlMaker maker) { Makers()[typeId] = std::move(maker); }

CUiObject* CreateUiControl(uint32_t typeId) {
    auto it = Makers().find(typeId);
    return it != Makers().end() && it->second ? it->second() : nullptr;
}
