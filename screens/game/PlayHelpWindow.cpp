#include "screens/game/PlayHelpWindow.h"

#include "engine/core/MessageTable.h"
#include "ui/UiStatic.h"

int CPlayHelpWindow::OnLayoutLoaded() {
    const char* names[] = {"ID_STATIC_TEXT1", "ID_STATIC_TEXT2", "ID_STATIC_TEXT3"};
    const int texts[] = {MSG_GAMEPLAY_UI_HELP_TEXT1, MSG_GAMEPLAY_UI_HELP_TEXT2, MSG_GAMEPLAY_UI_HELP_TEXT3};
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<CUiStatic*>(Bind(names[i], UI_TYPE_STATIC));
        if (!lines[i]) return 0;
        lines[i]->SetText(GetMessageText(texts[i]));
    }
    return 1;
}
