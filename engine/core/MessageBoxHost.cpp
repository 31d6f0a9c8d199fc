#include "engine/core/MessageBoxHost.h"

void ShowMessageBox(IMessageBoxHost& box, const char* text, int buttonMode, int dim) {
    box.ShowBox(text ? text : "", buttonMode);
    box.ClearStyleBits(kMessageBoxClearedStyle);
    box.SetResult(-1);
    box.SetDimAlpha(dim ? kMessageBoxDimAlpha : 0.0f);
}

int PollMessageBoxResult(IMessageBoxHost& box) {
    int result = box.Result();
    if (result == -1) return -1;
    box.SetResult(-1);
    box.HideBox();
    return result;
}
