#include "support/GuiDriver.h"
#include "support/ScreenCapture.h"
#include "ui/InstallerDialog.h"
#include "ui/RunningInstallerDialog.h"
#include "ui/WindowGeometry.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

using namespace gui_test;

namespace {

HFONT ControlFont(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
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
    EXPECT_TRUE(IsBold(licence, 0, 4));
    EXPECT_FALSE(IsBold(licence, 23, 28));
    EXPECT_EQ(IDC_LICENCE_TEXT, dialog.FocusedId());

    EXPECT_FALSE(IsChecked(accept));
    EXPECT_EQ(FW_BOLD, FontWeight(accept));
    EXPECT_FALSE(IsWindowEnabled(action));
    EXPECT_EQ(ControlFont(dialog.Window()), ControlFont(action));

    RECT client;
    GetClientRect(dialog.Window(), &client);
    EXPECT_NEAR(DialogUnitsToPixelsY(dialog.Window(), 262 + 40), client.bottom, 1) << "40 units taller";
    SaveWindowScreenshot(dialog.Window(), "installer-dialog-first-display.png");

    Click(accept);
    EXPECT_TRUE(IsWindowEnabled(action));
    EXPECT_EQ(FW_BOLD, FontWeight(action));
    EXPECT_EQ(ControlFont(dialog.Window()), ControlFont(accept));

    Click(accept);
    EXPECT_FALSE(IsWindowEnabled(action));
    EXPECT_EQ(FW_BOLD, FontWeight(accept));
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

TEST(InstallerDialog, EnterDoesNotStartTheInstallationBeforeTheLicenceIsAccepted) {
    ASSERT_TRUE(CanPressKeys()) << "xdotool is missing: scripts/setup.sh installs it";
    DialogValues values;
    RunningInstallerDialog dialog(values);
    ASSERT_TRUE(dialog.Window());
    FocusItem(dialog.Window(), IDC_INSTALL_FOLDER);
    // Keys are handled in order: once Tab has moved the focus on, Return has been handled.
    ASSERT_TRUE(PressKeys(InstallerCaption, "Return Tab"));
    ASSERT_TRUE(WaitFor(20000, [&] { return dialog.FocusedId() == IDC_ALL_USERS; }))
        << "Return closed the dialog, or Tab was not handled";

    Click(dialog.Item(IDC_ACCEPT));
    FocusItem(dialog.Window(), IDC_INSTALL_FOLDER);
    ASSERT_TRUE(PressKeys(InstallerCaption, "Return"));
    EXPECT_EQ(1, dialog.Result()) << "Enter chooses the action button once it is enabled";
}

}  // namespace
