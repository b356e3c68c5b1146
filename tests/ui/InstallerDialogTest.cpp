#include "support/GuiDriver.h"
#include "support/ScreenCapture.h"
#include "ui/DialogUnits.h"
#include "ui/InstallerDialogIds.h"
#include "ui/RunningInstallerDialog.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

using namespace gui_test;

namespace {

bool IsBoldAt(HWND richEdit, int first, int last) {
    SendMessageA(richEdit, EM_SETSEL, first, last);
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
}

HFONT ControlFont(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

HFONT DialogFont(HWND dialog) {
    return ControlFont(dialog);
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(InstallerDialog, FirstDisplayShowsTheLicenceAndWaitsForItsAcceptance) {
    DialogValues values;
    RunningInstallerDialog dialog(values);
    ASSERT_TRUE(dialog.Window());
    HWND accept = dialog.Item(IDC_ACCEPT);
    HWND action = dialog.Item(IDOK);

    HWND licence = dialog.Item(IDC_LICENCE_TEXT);
    std::string shown = Text(licence);
    EXPECT_EQ(0u, shown.find("Test Licence Agreement")) << shown;
    EXPECT_EQ(std::string::npos, shown.find("\\rtf")) << "shown as markup";
    EXPECT_TRUE(IsBoldAt(licence, 0, 4));
    EXPECT_FALSE(IsBoldAt(licence, 23, 28));
    EXPECT_EQ(IDC_LICENCE_TEXT, dialog.FocusedId());

    EXPECT_FALSE(IsChecked(accept));
    EXPECT_EQ(FW_BOLD, FontWeight(accept));
    EXPECT_FALSE(IsWindowEnabled(action));
    EXPECT_EQ(DialogFont(dialog.Window()), ControlFont(action));

    RECT client, window, workArea;
    GetClientRect(dialog.Window(), &client);
    EXPECT_NEAR(DialogUnitsToPixelsY(dialog.Window(), 262 + 40), client.bottom, 1) << "40 units taller";
    GetWindowRect(dialog.Window(), &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_NEAR(Centre(workArea).x, Centre(window).x, 1);
    EXPECT_NEAR(Centre(workArea).y, Centre(window).y, 1);
    SaveWindowScreenshot(dialog.Window(), ArtifactDirectory() + "\\installer-dialog-first-display.png");

    Click(accept);
    EXPECT_TRUE(IsWindowEnabled(action));
    EXPECT_EQ(FW_BOLD, FontWeight(action));
    EXPECT_EQ(DialogFont(dialog.Window()), ControlFont(accept));

    Click(accept);
    EXPECT_FALSE(IsWindowEnabled(action));
    EXPECT_EQ(FW_BOLD, FontWeight(accept));
}

TEST(InstallerDialog, ShowsTheValuesItIsGiven) {
    struct Case {
        const char* name;
        DialogValues values;
        int focusedId;
    } const cases[] = {
        {"licence not accepted yet", {false, "C:\\Q", true, false, true, "Install"}, IDC_LICENCE_TEXT},
        {"licence accepted, upgrade", {true, "D:\\Tools\\Quillmore", false, true, false, "Upgrade"},
         IDC_INSTALL_FOLDER},
        {"replacement", {false, "", false, false, false, "Replace"}, IDC_LICENCE_TEXT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogValues values = c.values;
        RunningInstallerDialog dialog(values);
        ASSERT_TRUE(dialog.Window());
        EXPECT_EQ(InstallerCaption, Text(dialog.Window()));
        EXPECT_EQ(c.values.actionCaption, Text(dialog.Item(IDOK)));
        EXPECT_EQ(c.values.installDir, Text(dialog.Item(IDC_INSTALL_FOLDER)));
        EXPECT_EQ(c.values.acceptEULA, IsChecked(dialog.Item(IDC_ACCEPT)));
        EXPECT_EQ(c.values.acceptEULA, IsWindowEnabled(dialog.Item(IDOK)) != FALSE);
        EXPECT_EQ(c.values.allUsers, IsChecked(dialog.Item(IDC_ALL_USERS)));
        EXPECT_EQ(c.values.desktopIcon, IsChecked(dialog.Item(IDC_DESKTOP_ICON)));
        EXPECT_EQ(c.values.launchAfterInstall, IsChecked(dialog.Item(IDC_RUN_WHEN_DONE)));
        EXPECT_EQ(c.focusedId, dialog.FocusedId());
    }
}

TEST(InstallerDialog, ActionButtonHandsTheChoicesBack) {
    const std::string longFolder = "C:\\" + std::string(300, 'x');
    struct Case {
        const char* name;
        std::string typed;
        std::string expected;
    } const cases[] = {
        {"a typed folder", "E:\\Apps\\Quillmore", "E:\\Apps\\Quillmore"},
        {"a folder of more than 260 characters is cut", longFolder, longFolder.substr(0, 260)},
        {"an empty folder is accepted", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogValues values;
        RunningInstallerDialog dialog(values);
        ASSERT_TRUE(dialog.Window());
        SetText(dialog.Item(IDC_INSTALL_FOLDER), c.typed);
        Click(dialog.Item(IDC_ALL_USERS));
        Click(dialog.Item(IDC_DESKTOP_ICON));
        Click(dialog.Item(IDC_RUN_WHEN_DONE));
        Click(dialog.Item(IDC_ACCEPT));
        PostClick(dialog.Item(IDOK));

        EXPECT_EQ(1, dialog.Result());
        EXPECT_TRUE(values.acceptEULA);
        EXPECT_EQ(c.expected, values.installDir);
        EXPECT_FALSE(values.allUsers);
        EXPECT_TRUE(values.desktopIcon);
        EXPECT_FALSE(values.launchAfterInstall);
    }
}

void FocusItem(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

void PostKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

TEST(InstallerDialog, CancelEscapeAndTheCloseBoxEndItWithoutChangingAnything) {
    struct Case {
        const char* name;
        int focusedId;
        void (*close)(HWND window);
    } const cases[] = {
        {"cancel button", IDCANCEL, [](HWND window) { PostClick(GetDlgItem(window, IDCANCEL)); }},
        {"close box", IDC_ACCEPT, [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"escape key in the folder edit", IDC_INSTALL_FOLDER,
         [](HWND window) { PostKey(GetDlgItem(window, IDC_INSTALL_FOLDER), VK_ESCAPE); }},
        {"escape key typed while reading the licence", IDC_LICENCE_TEXT,
         [](HWND) { ASSERT_TRUE(PressKeys(InstallerCaption, "Escape")) << "xdotool"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogValues values;
        const DialogValues before = values;
        RunningInstallerDialog dialog(values);
        ASSERT_TRUE(dialog.Window());
        SetText(dialog.Item(IDC_INSTALL_FOLDER), "C:\\elsewhere");
        Click(dialog.Item(IDC_RUN_WHEN_DONE));
        Click(dialog.Item(IDC_ACCEPT));
        FocusItem(dialog.Window(), c.focusedId);
        c.close(dialog.Window());

        EXPECT_EQ(2, dialog.Result());
        EXPECT_EQ(before.acceptEULA, values.acceptEULA);
        EXPECT_EQ(before.installDir, values.installDir);
        EXPECT_EQ(before.launchAfterInstall, values.launchAfterInstall);
    }
}

TEST(InstallerDialog, EnterDoesNotStartTheInstallationBeforeTheLicenceIsAccepted) {
    if (!CanPressKeys()) GTEST_SKIP() << "xdotool is missing";
    DialogValues values;
    RunningInstallerDialog dialog(values);
    ASSERT_TRUE(dialog.Window());
    ASSERT_EQ(IDC_LICENCE_TEXT, dialog.FocusedId());
    ASSERT_TRUE(PressKeys(InstallerCaption, "Return"));
    EXPECT_FALSE(WaitForWindowGone(dialog.Window(), 1500));

    Click(dialog.Item(IDC_ACCEPT));
    FocusItem(dialog.Window(), IDC_INSTALL_FOLDER);
    ASSERT_TRUE(PressKeys(InstallerCaption, "Return"));
    EXPECT_EQ(1, dialog.Result()) << "Enter chooses the action button once it is enabled";
}

} // namespace
