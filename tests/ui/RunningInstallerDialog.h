// The installer dialog of this process, shown on a thread of its own while
// the test drives it like a user from the test's thread.
#pragma once

#include "foundation/Win.h"
#include "ui/InstallerDialog.h"

#include <atomic>
#include <exception>
#include <string>
#include <thread>

// The flow's variables that the dialog works on.
struct DialogValues {
    bool acceptEULA = false;
    std::string installDir = "C:\\Program Files\\Vantrel Quillmore";
    bool allUsers = true;
    bool desktopIcon = false;
    bool launchAfterInstall = true;
    std::string actionCaption = "Install";
};

extern const char InstallerCaption[];        // "Vantrel Quillmore 4.33 Installer"
extern const char PackageContentsCaption[];  // "Vantrel Quillmore 4.33 Package Contents"

class RunningInstallerDialog {
public:
    // Shows the dialog and waits until it is the active window. The values
    // must outlive this object.
    explicit RunningInstallerDialog(DialogValues& values);
    RunningInstallerDialog(const RunningInstallerDialog&) = delete;
    RunningInstallerDialog& operator=(const RunningInstallerDialog&) = delete;
    // Cancels the dialog if it is still open.
    ~RunningInstallerDialog();

    HWND Window() const { return m_window; }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    int FocusedId() const;

    // Waits for the dialog to end; its result, or -1 after a time-out.
    // Passes on what ShowInstallerDialog threw.
    int Result();

private:
    InstallerDialogParams m_params;
    int m_result = 0;
    std::exception_ptr m_failure;
    std::atomic<bool> m_ended{false};
    std::thread m_thread;
    HWND m_window = nullptr;
};

// The weight of the font a control draws with.
LONG FontWeight(HWND control);

// A rectangle of a control in the dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);
