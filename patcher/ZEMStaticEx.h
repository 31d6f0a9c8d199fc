// The home-page link: a skinned text that shows the hand under the mouse and
// opens its URL in the desktop's browser when clicked.
#pragma once

#include <string>

#include "patcher/SkinnedStatic.h"

class CZEMStaticEx : public CSkinnedStatic {
public:
    CZEMStaticEx(int x, int y, int w, int h, const CDialogBackground* background);
    void SetUrl(const std::string& url);
    const std::string& Url() const { return m_url; }
    int handle(int event) override;

private:
    std::string m_url;
};
