#include "uninstaller/Dialogs.h"

#include "foundation/Win.h"

namespace {

// The box lists this many failures at most; the console has all of them.
const size_t shownFailures = 10;

int Show(const std::string& text, const std::string& caption, UINT style) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
}

}  // namespace

bool ConfirmUninstallation(const std::string& product) {
    const std::string text = "Do you want to remove " + product +
                             " and all of its components from this computer?\n"
                             "Files that you created in its folders are kept.";
    return Show(text, "Uninstall " + product, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ShowCompleted(const std::string& product) {
    Show(product + " was removed from this computer.", "Uninstallation Completed", MB_OK | MB_ICONINFORMATION);
}

void ShowFailed(const std::string& product, const std::vector<std::string>& failures) {
    std::string text = product + " could not be removed completely.\n";
    for (size_t i = 0; i < failures.size() && i < shownFailures; ++i) text += "\n" + failures[i];
    if (failures.size() > shownFailures) text += "\n...";
    text += "\n\nClose every program of " + product + " and run the uninstaller again.";
    Show(text, "Uninstallation Failed", MB_OK | MB_ICONERROR);
}

void ShowLoadFailed(const std::string& product, const std::string& reason) {
    Show("The uninstallation information of " + product + " cannot be loaded.\nReason: " + reason,
         "Uninstallation Failed", MB_OK | MB_ICONERROR);
}
