// Whether the local player cancelled the tutorial, kept per nickname in
// "SAVE\<nickname>.INI" as [INFO] TUTORIAL_CANCEL = TRUE / FALSE.
//
// The nickname comes from the server and becomes part of a file name, so a
// name that could leave the folder (a path separator, "..", a control byte) or
// is empty is refused: nothing is read or written for it.
#pragma once

#include <string>
#include <string_view>

class CTutorialProgress {
public:
    // saveFolder is a game path; the game keeps "SAVE" in its working folder.
    explicit CTutorialProgress(std::string saveFolder = "SAVE") : m_saveFolder(std::move(saveFolder)) {}

    // Creates the folder when missing and reads the flag; a missing file (or a
    // refused name) means the tutorial was not cancelled. 1 when a file was read.
    int LoadTutorialCancel(std::string_view nickname);
    // Writes the file anew with the flag. 0 for a refused name or a failed write.
    int SaveTutorialCancel(std::string_view nickname);

    int TutorialCancel() const { return m_tutorialCancel; }
    void SetTutorialCancel(int cancelled) { m_tutorialCancel = cancelled ? 1 : 0; }

    // The file's game path for a nickname, or "" when the name is refused.
    std::string FilePath(std::string_view nickname) const;

    static bool IsSafeNickname(std::string_view nickname);

private:
    std::string m_saveFolder;
    int m_tutorialCancel = 0;
};
