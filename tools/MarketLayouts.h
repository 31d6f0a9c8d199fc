// The market's layouts ("SHOP.DUI", "COMB.DUI", "ISOLATION.DUI",
// "MARKET.DUI", "SEARCH.DUI") and my-info's ("MYINFO.DUI") with every control
// their windows bind, and the sample folder's files for them: the result
// pictures, the shop marks, the card icons and the music.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec ShopLayout();
LayoutFileSpec CombineLayout();
LayoutFileSpec IsolationLayout();
LayoutFileSpec MarketLayout();
LayoutFileSpec SearchLayout();
LayoutFileSpec MyInfoLayout();

int AddMarketLayouts(CPackageWriter& layouts);
int AddMarketMedia(CPackageWriter& textures);
