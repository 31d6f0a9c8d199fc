// The front end of a patch without a window: the status goes to standard error.
#pragma once

#include "patcher/PatchView.h"

class CTextPatchView : public IPatchView {
public:
    void StatusChanged(const std::string& status) override;
    void TotalProgress(uint32_t, uint32_t) override {}
    void FileProgress(uint32_t, uint32_t) override {}
    void PatchFinished() override {}
};
