// The layouts of the in-match shop windows in the sample folder: the item
// shop and the combination list.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec ItemShopLayout();
LayoutFileSpec CombineListLayout();

// "PLAY_MARKET.DUI" and "PLAY_COM_LIST.DUI".
int AddShopLayouts(CPackageWriter& layouts);
