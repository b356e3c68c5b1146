#include "ui/RunningInstallerDialog.h"

#include "support/GuiDriver.h"
#include "ui/InstallerDialog.h"

const char InstallerCaption[] = "Vantrel Quillmore 4.33 Installer";
const char PackageContentsCaption[] = "Vantrel Quillmore 4.33 Package Contents";

RunningInstallerDialog::RunningInstallerDialog(DialogValues& values)
    : m_params{&values.acceptEULA,         &values.installDir,
               &values.allUsers,           &values.desktopIcon,
               &values.launchAfterInstall, &values.actionCaption,
               "Vantrel Quillmore 4.33",   "https://www.vantrel.example/quillmore/"} {
    m_thread = std::thread([this] {
        try {
            m_result = ShowInstallerDialog(m_params);
        } catch (...) {
            m_failure = std::current_exception();
        }
        m_ended = true;
    });
    m_window = gui_test::WaitForWindow("#32770", InstallerCaption, 60000, GetCurrentProcessId());
    if (m_window) gui_test::Activate(m_window);
}

// Also closes a dialog that came up only after the constructor stopped
// waiting: a failed case must not leave its process waiting for ever.
RunningInstallerDialog::~RunningInstallerDialog() {
    while (!m_ended) {
        if (HWND window = gui_test::WaitForWindow("#32770", InstallerCaption, 100, GetCurrentProcessId()))
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    if (m_thread.joinable()) m_thread.join();
}

int RunningInstallerDialog::FocusedId() const {
    return GetDlgCtrlID(gui_test::FocusedWindow(m_window));
}

int RunningInstallerDialog::Result() {
    if (!gui_test::WaitForWindowGone(m_window, 60000)) return -1;
    m_thread.join();
    if (m_failure) std::rethrow_exception(m_failure);
    return m_result;
}

LONG FontWeight(HWND control) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfWeight;
}

RECT ItemRect(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
