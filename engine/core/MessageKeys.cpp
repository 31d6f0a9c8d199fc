#include "engine/core/MessageTable.h"

namespace {
#define QOR_MESSAGE_NAME(name) #name,
constexpr const char* kMessageKeys[] = {QOR_MESSAGE_KEYS(QOR_MESSAGE_NAME)};
#undef QOR_MESSAGE_NAME
static_assert(sizeof(kMessageKeys) / sizeof(kMessageKeys[0]) == MESSAGE_COUNT);

}  // namespace

const char* MessageKeyName(int index) {
    if (index < 0 || index >= MESSAGE_COUNT) return "";
    return kMessageKeys[index];
}
