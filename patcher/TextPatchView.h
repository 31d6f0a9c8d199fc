// The front end of a patch without a window: the status goes to standard error.
#pragma once

#include "patcher/PatchView.h"

class CTextPatchView : public CNullPatchView {
public:
    void StatusChanged(const std::string& status) override;
};
