#include "ui/UiControls.h"

#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiControlFactory.h"
#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiListBox.h"
#include "ui/UiScrollBar.h"
#include "ui/UiSlider.h"
#include "ui/UiStatic.h"

void RegisterUiControls() {
    RegisterUiControl(UI_TYPE_BUTTON, [] { return new CUiButton; });
    RegisterUiControl(UI_TYPE_COMBOBOX, [] { return new CUiComboBox; });
    RegisterUiControl(UI_TYPE_LISTBOX, [] { return new CUiListBox; });
    RegisterUiControl(UI_TYPE_GAUGE, [] { return new CUiGauge; });
    RegisterUiControl(UI_TYPE_SLIDER, [] { return new CUiSlider; });
    RegisterUiControl(UI_TYPE_SCROLLBAR, [] { return new CUiScrollBar; });
    RegisterUiControl(UI_TYPE_EDITBOX, [] { return new CUiEditBox; });
    RegisterUiControl(UI_TYPE_STATIC, [] { return new CUiStatic; });
    RegisterUiControl(UI_TYPE_CHECKBUTTON, [] { return new CUiCheckButton; });
}
