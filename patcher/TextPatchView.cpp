#include "patcher/TextPatchView.h"

#include <cstdio>

#include "platform/CodePage.h"

void CTextPatchView::StatusChanged(const std::string& status) {
    std::string line = platform::Cp949ToUtf8(status);
    std::fprintf(stderr, "QORPatch: %s\n", line.c_str());
}
