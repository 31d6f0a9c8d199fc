// A text on the dialog's skin: white, with no box, over the part of the
// background it covers.
#pragma once

#include <FL/Fl_Box.H>

#include <string>

class CDialogBackground;

class CSkinnedStatic : public Fl_Box {
public:
    CSkinnedStatic(int x, int y, int w, int h, const CDialogBackground* background);
    // Sets the text (code page 949) and redraws what lies beneath it.
    void SetText(const std::string& cp949);
    const std::string& Text() const { return m_text; }

protected:
    void draw() override;

private:
    const CDialogBackground* m_background;
    std::string m_text;
    std::string m_label;  // UTF-8; FLTK keeps only the pointer
};
