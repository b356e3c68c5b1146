#include "support/ScreenCapture.h"

#include "support/FolderLink.h"
#include "support/GuiDriver.h"
#include "support/ProcessRunner.h"

#include <stdexcept>

std::string ArtifactDirectory() {
    std::string bin = SiblingExecutable("");
    bin.pop_back();  // the trailing backslash
    std::string directory = bin.substr(0, bin.find_last_of('\\')) + "\\artifacts";
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

void SaveWindowScreenshot(HWND window, const std::string& fileName) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The window's thread hands what it painted to the X server before it
    // waits for its next message.
    gui_test::RoundTrip(window);
    RECT area;
    if (!GetWindowRect(window, &area)) throw std::runtime_error("no such window");
    std::string geometry = std::to_string(area.right - area.left) + "x" + std::to_string(area.bottom - area.top) + "+" +
                           std::to_string(area.left) + "+" + std::to_string(area.top);
    ProcessOutcome outcome =
        RunProcess("Z:\\usr\\bin\\import", "-window root -crop " + geometry + " +repage \"" +
                                               uninstall_test::HostPath(ArtifactDirectory()) + "/" + fileName + "\"");
    if (outcome.exitCode != 0) throw std::runtime_error("import failed: " + outcome.err);
}
