#include "support/GuiDriver.h"
#include "ui/InstallerDialog.h"
#include "ui/RunningInstallerDialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

using namespace gui_test;

namespace {

std::vector<HWND> PackageWindows(HWND dialog) {
    std::vector<HWND> found;
    for (HWND window : OwnedWindows(dialog, "#32770"))
        if (Text(window) == PackageContentsCaption) found.push_back(window);
    return found;
}

HWND DocumentView(HWND packageWindow) {
    return FindWindowExA(packageWindow, nullptr, "RichEdit20A", nullptr);
}

TEST(InstallerDialogLinks, PackageLinkOpensOneContentsWindowAndANewOneAfterItClosed) {
    DialogValues values;
    RunningInstallerDialog dialog(values);
    ASSERT_TRUE(dialog.Window());
    HWND link = dialog.Item(IDC_PACKAGE_LINK);

    ClickLink(link);
    HWND first = WaitForOwnedWindow(dialog.Window(), "#32770", 5000);
    ASSERT_TRUE(first);
    EXPECT_EQ(PackageContentsCaption, Text(first));
    EXPECT_TRUE(GetWindowLongPtrA(first, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0u, Text(DocumentView(first)).find("Test Package Contents"));

    Activate(dialog.Window());
    ClickLink(link);
    // The click has been handled once it has brought the open window forward.
    ASSERT_TRUE(WaitFor(10000, [&] { return ActiveWindow(dialog.Window()) == first; }))
        << "the second click brings it forward";
    EXPECT_EQ(std::vector<HWND>{first}, PackageWindows(dialog.Window()));

    PostMessageA(first, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitForWindowGone(first, 5000));
    ClickLink(link);
    HWND second = WaitForOwnedWindow(dialog.Window(), "#32770", 5000);
    ASSERT_TRUE(second);
    EXPECT_EQ(1u, PackageWindows(dialog.Window()).size());
}

TEST(InstallerDialogLinks, FolderBrowserReplacesTheFolderOnlyWhenAFolderIsChosen) {
    struct Case {
        const char* name;
        int button;
        const char* expected;
    } const cases[] = {
        {"chosen", IDOK, "C:\\windows"},
        {"cancelled", IDCANCEL, "C:\\typed\\folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogValues values;
        RunningInstallerDialog dialog(values);
        ASSERT_TRUE(dialog.Window());
        SetText(dialog.Item(IDC_INSTALL_FOLDER), "C:\\typed\\folder");

        ClickLink(dialog.Item(IDC_FOLDER_LINK));
        HWND browser = WaitForOwnedWindow(dialog.Window(), "#32770", 10000);
        ASSERT_TRUE(browser);
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("C:\\windows"));
        PostMessageA(browser, WM_COMMAND, c.button, 0);
        ASSERT_TRUE(WaitForWindowGone(browser, 5000));

        EXPECT_EQ(c.expected, Text(dialog.Item(IDC_INSTALL_FOLDER)));
        EXPECT_EQ(c.expected, values.installDir) << "the browse takes the folder at once";
    }
}

}  // namespace
