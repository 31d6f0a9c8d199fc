// The market's layouts ("SHOP.DUI", "COMB.DUI", "ISOLATION.DUI",
// "MARKET.DUI", "SEARCH.DUI") with every control their windows bind, and the
// sample folder's files for the market: the result pictures, the shop marks,
// the card icons and the music of the market and my-info.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec ShopLayout();
LayoutFileSpec CombineLayout();
LayoutFileSpec IsolationLayout();
LayoutFileSpec MarketLayout();
LayoutFileSpec SearchLayout();

int AddMarketLayouts(CPackageWriter& layouts);
int AddMarketMedia(CPackageWriter& textures);
