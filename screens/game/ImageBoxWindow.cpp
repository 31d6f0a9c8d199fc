#include "screens/game/ImageBoxWindow.h"

#include "engine/core/NameHash.h"
#include "engine/core/TextFormat.h"
#include "ui/UiButton.h"
#include "ui/UiStatic.h"
#include "ui/UiTextFit.h"

namespace {

// A control that the layout may leave out: null without an error.
template <typename T>
T* Optional(const CUiWindow& window, const char* name, uint32_t type) {
    CUiObject* control = window.FindChild(NameHash(name));
    return control && control->TypeId() == type ? static_cast<T*>(control) : nullptr;
}

CUiStatic* OptionalStatic(const CUiWindow& window, const char* name) {
    return Optional<CUiStatic>(window, name, UI_TYPE_STATIC);
}

// The image statics go back to their first picture, as the layout had them.
void ResetFrame(CUiStatic* image) {
    if (image) image->SetFrameIndex(0);
}

}  // namespace

std::string WrapForImageBox(const CUiStatic& control, const std::string& text, int32_t widthPx) {
    if (!control.Font()) return CutTextToBytes(text, kImageBoxTextBytes);
    std::string joined;
    for (const std::string& line : control.Font()->WrapText(text, widthPx)) {
        if (!joined.empty()) joined += '\n';
        joined += line;
    }
    return CutTextToBytes(joined, kImageBoxTextBytes);
}

void CImageBoxBase::OnLButtonClick(CUiObject* control) {
    if (control && control == m_ok) m_okClicked = 1;
}

int CImageBoxBase::TakeOk() {
    const int clicked = m_okClicked;
    m_okClicked = 0;
    return clicked;
}

CImageBoxWindow::~CImageBoxWindow() { ResetFrame(image); }

int CImageBoxWindow::OnLayoutLoaded() {
    image = OptionalStatic(*this, "ID_STATIC_IMAGE");
    message1 = OptionalStatic(*this, "ID_STATIC_MSG1");
    message2 = OptionalStatic(*this, "ID_STATIC_MSG2");
    message3 = OptionalStatic(*this, "ID_STATIC_MSG3");
    level = OptionalStatic(*this, "ID_STATIC_LEVEL");
    m_ok = Optional<CUiButton>(*this, "ID_BUTTON_OK", UI_TYPE_BUTTON);
    return 1;
}

void CImageBoxWindow::SetContent(const std::string& message, uint32_t imageFrame, const std::string& caption,
                                 int32_t bonus) {
    if (image) image->SetFrameIndex(imageFrame);
    if (message1)
        message1->SetText(WrapForImageBox(*message1, message, static_cast<int32_t>(message1->Size().x)));
    if (message3) message3->SetText(caption);
    if (level) level->SetText(bonus != 0 ? FormatText("+%d", bonus) : std::string());
}

CImageBox2Window::~CImageBox2Window() {
    ResetFrame(image[0]);
    ResetFrame(image[1]);
}

int CImageBox2Window::OnLayoutLoaded() {
    image[0] = OptionalStatic(*this, "ID_STATIC_IMAGE");
    image[1] = OptionalStatic(*this, "ID_STATIC_IMAGE_2");
    message1[0] = OptionalStatic(*this, "ID_STATIC_MSG1");
    message1[1] = OptionalStatic(*this, "ID_STATIC_MSG1_2");
    message2[0] = OptionalStatic(*this, "ID_STATIC_MSG2");
    message2[1] = OptionalStatic(*this, "ID_STATIC_MSG2_2");
    message3 = OptionalStatic(*this, "ID_STATIC_MSG3");
    level[0] = OptionalStatic(*this, "ID_STATIC_LEVEL");
    level[1] = OptionalStatic(*this, "ID_STATIC_LEVEL_2");
    m_ok = Optional<CUiButton>(*this, "ID_BUTTON_OK", UI_TYPE_BUTTON);
    return 1;
}

void CImageBox2Window::SetContent(int slot, const ImageBoxContent& content) {
    if (slot != 0 && slot != 1) return;
    if (image[slot]) image[slot]->SetFrameIndex(content.imageFrame);
    CUiStatic* text = message1[slot];
    // The picture's frame overlaps the text control's right edge.
    if (text) text->SetText(WrapForImageBox(*text, content.text, static_cast<int32_t>(text->Size().x) - 14));
}
