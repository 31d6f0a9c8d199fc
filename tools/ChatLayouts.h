// The layout of the play screen's chat box in the sample folder.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

// A clear box of 420 x 190: the chat list over the input part (its frame, the
// addressee label, the notice label and the edit line).
LayoutFileSpec PlayChatBoxLayout();

// "PLAY_CHAT_BOX.DUI".
int AddChatLayouts(CPackageWriter& layouts);
