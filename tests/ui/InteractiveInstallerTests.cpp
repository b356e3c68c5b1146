// The real installer run without arguments, driven like a user: the action
// caption (and a screenshot), the ways out without installing, a complete
// interactive installation and a question on the way.
#include "support/InstallationFixture.h"
#include "support/SystemSnapshot.h"
#include "support/WatchedRun.h"

#include "foundation/Handle.h"
#include "foundation/RegKey.h"
#include "support/GuiDriver.h"
#include "support/MessageBoxDriver.h"
#include "support/ScreenCapture.h"
#include "support/ShellLinkReader.h"
#include "ui/Drawing.h"
#include "ui/InstallerDialog.h"
#include "ui/RunningInstallerDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

using namespace gui_test;

namespace {

const std::string UninstallKeyPath = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;

// The installer, watched on a thread of its own while the test's thread
// plays the user.
class InteractiveRun {
public:
    explicit InteractiveRun(const Environment& environment = {})
        : m_thread([this, environment] { m_outcome = RunInstallerWatched("", environment); }) {
        m_dialog = WaitForWindow("#32770", InstallerCaption, 60000);
        if (m_dialog) Activate(m_dialog);
    }
    InteractiveRun(const InteractiveRun&) = delete;
    InteractiveRun& operator=(const InteractiveRun&) = delete;
    ~InteractiveRun() {
        if (!m_thread.joinable()) return;
        if (IsWindow(m_dialog)) PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
        m_thread.join();
    }

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }

    // Accepts the licence, sets the folder and the launch choice, and
    // chooses the action button.
    void Install(const std::string& folder, bool launch) const {
        SetText(Item(IDC_INSTALL_FOLDER), folder);
        Click(Item(IDC_ACCEPT));
        if (IsChecked(Item(IDC_RUN_WHEN_DONE)) != launch) Click(Item(IDC_RUN_WHEN_DONE));
        PostClick(Item(IDOK));
    }

    WatchedOutcome Finish() {
        m_thread.join();
        return m_outcome;
    }

private:
    WatchedOutcome m_outcome;
    std::thread m_thread;
    HWND m_dialog = nullptr;
};

// Answers the completion box; false when it did not come.
bool ConfirmCompletion() {
    HWND box = uninstall_test::WaitForMessageBox("Installation Completed", 120000);
    if (!box) return false;
    EXPECT_EQ("Vantrel Quillmore 4.33 installation completed.\n", uninstall_test::MessageBoxText(box));
    uninstall_test::Answer(box, IDOK);
    return true;
}

TEST(InteractiveInstaller, ActionButtonNamesWhatHappensToTheInstalledVersion) {
    struct Case {
        const char* version;
        const char* caption;
    } const cases[] = {{nullptr, "&Install"}, {"4.07", "&Upgrade"}, {"4.33", "&Replace"}, {"5.0", "&Replace"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption + std::string(" for ") + (c.version ? c.version : "none"));
        if (c.version) RegKey::WriteString(UninstallKeyPath, "Version", c.version, false);
        InteractiveRun run;
        ASSERT_TRUE(run.Dialog());
        EXPECT_EQ(c.caption, Text(run.Item(IDOK)));
        if (!c.version) SaveWindowScreenshot(run.Dialog(), "installer-first-display.png");
        PostClick(run.Item(IDCANCEL));
        EXPECT_EQ(202u, run.Finish().process.exitCode);
    }
}

TEST(InteractiveInstaller, CancelEscapeAndTheCloseBoxEndWith202AndChangeNothing) {
    struct Case {
        const char* name;
        void (*close)(HWND dialog);
    } const cases[] = {
        {"cancel button", [](HWND dialog) { PostClick(GetDlgItem(dialog, IDCANCEL)); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"escape key",
         [](HWND dialog) {
             SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_LICENCE_TEXT)), TRUE);
             ASSERT_TRUE(PressKeys(InstallerCaption, "Escape")) << "xdotool";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SystemSnapshot before = SystemSnapshot::Take();
        InteractiveRun run;
        ASSERT_TRUE(run.Dialog());
        SetText(run.Item(IDC_INSTALL_FOLDER), "C:\\Apps\\Quillmore");
        Click(run.Item(IDC_ACCEPT));
        c.close(run.Dialog());

        WatchedOutcome outcome = run.Finish();
        EXPECT_EQ(202u, outcome.process.exitCode);
        EXPECT_EQ("", outcome.process.out);
        EXPECT_EQ("", Difference(before, SystemSnapshot::Take()));
        EXPECT_EQ(std::vector<std::string>{"quillmoreinstaller.exe"}, outcome.programs);
    }
}

// Differences that a second installation of the same files must make: the
// removal of the previous installation schedules the deletion of its
// temporary uninstaller copy, and a link file records the times of its
// target, which was written anew. The links are compared as the shell
// reads them instead.
bool ExpectedOfAReinstallation(const std::string& line) {
    bool changedLink = line.compare(0, 2, "~ ") == 0 && line.find(".lnk: ") != std::string::npos;
    return changedLink || line.find("PendingFileRenameOperations") != std::string::npos;
}

std::string UnexpectedDifferences(const std::string& difference) {
    std::istringstream lines(difference);
    std::string line, kept;
    while (std::getline(lines, line))
        if (!ExpectedOfAReinstallation(line)) kept += line + "\n";
    return kept;
}

// Every link of the program menu and the desktop, as the shell reads it.
std::string Links() {
    std::string all;
    for (const std::string& folder : {StartMenuFolder(true), DesktopFolder(true)}) {
        WIN32_FIND_DATAA entry;
        UniqueFind search(FindFirstFileA((folder + "\\*.lnk").c_str(), &entry));
        if (!search) continue;
        do {
            ShellLinkFields link = ReadShellLink(folder + "\\" + entry.cFileName);
            all += std::string(entry.cFileName) + ": " + link.target + " | " + link.arguments + " | " +
                   link.workingDirectory + " | " + link.description + " | " + link.iconFile + "," +
                   std::to_string(link.iconIndex) + "\n";
        } while (FindNextFileA(search.get(), &entry));
    }
    return all;
}

TEST(InteractiveInstaller, InstallsAsTheUnattendedRunDoesAndStartsTheProductWhenAsked) {
    WatchedOutcome unattended = RunInstallerWatched(InstallArguments());
    ASSERT_EQ(0u, unattended.process.exitCode) << unattended.process.out;
    const SystemSnapshot installedUnattended = SystemSnapshot::Take();
    const std::string linksUnattended = Links();
    ASSERT_NE("", linksUnattended);

    for (bool launch : {false, true}) {
        SCOPED_TRACE(launch ? "product started when done" : "product not started");
        InteractiveRun run;
        ASSERT_TRUE(run.Dialog());
        EXPECT_EQ("&Replace", Text(run.Item(IDOK)));
        EXPECT_EQ(kInstallDir, Text(run.Item(IDC_INSTALL_FOLDER))) << "the folder of the installed copy";
        run.Install(kInstallDir, launch);
        EXPECT_TRUE(ConfirmCompletion());

        WatchedOutcome outcome = run.Finish();
        EXPECT_EQ(0u, outcome.process.exitCode) << outcome.process.out;
        EXPECT_NE(std::string::npos, outcome.process.out.find("Vantrel Quillmore 4.33 installation completed\n"));
        EXPECT_EQ(launch, Contains(outcome.programs, "quillmore.exe"));
        EXPECT_EQ("", UnexpectedDifferences(Difference(installedUnattended, SystemSnapshot::Take())));
        EXPECT_EQ(linksUnattended, Links());
    }
}

TEST(InteractiveInstaller, ExistingTargetFileIsOverwrittenOnlyWhenTheUserSaysYes) {
    const std::string folder = "C:\\Apps\\Quillmore";
    const std::string existing = folder + "\\Readme.txt";
    MakeFolder("C:\\Apps");
    MakeFolder(folder);
    WriteFileBytes(existing, "mine");
    const SystemSnapshot before = SystemSnapshot::Take();

    struct Case {
        const char* name;
        int answer;
        DWORD exitCode;
    } const cases[] = {{"no: rolled back", IDNO, 104}, {"yes: installed", IDYES, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InteractiveRun run;
        ASSERT_TRUE(run.Dialog());
        run.Install(folder, false);
        HWND box = uninstall_test::WaitForMessageBox("Target File Exists", 120000);
        ASSERT_TRUE(box);
        EXPECT_EQ("Warning: '" + existing +
                      "' already exists.\nDo you want it to be overwritten?\n"
                      "Clicking 'Yes' will overwrite the file, clicking 'No' will abort the installation.",
                  uninstall_test::MessageBoxText(box));
        uninstall_test::Answer(box, c.answer);
        if (c.answer == IDYES) {
            EXPECT_TRUE(ConfirmCompletion());
        }

        WatchedOutcome outcome = run.Finish();
        EXPECT_EQ(c.exitCode, outcome.process.exitCode) << outcome.process.out;
        if (c.answer == IDNO) {
            EXPECT_NE(std::string::npos,
                      outcome.process.out.find("Installation canceled by user (file already exists)\n"));
            EXPECT_EQ("", Difference(before, SystemSnapshot::Take()));
            EXPECT_EQ("mine", ReadFileBytes(existing));
        } else {
            EXPECT_NE("mine", ReadFileBytes(existing));
        }
    }
}

void SetDisplayDpi(int dpi) {
    WriteRaw(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
             std::string(reinterpret_cast<char*>(&dpi), sizeof dpi));
}

// A person without a mouse on a 150 % display: from the licence back over the web link to the package
// link, then the folder browser, the web page, the agreement, the folder, two options off, and the installation.
TEST(InteractiveInstaller, KeyboardAloneReachesEveryControlAndInstalls) {
    SetDisplayDpi(144);
    // This prefix opens https addresses with the launch probe, which writes down how it was started.
    const std::string probe = SiblingExecutable("launch_probe.exe"), report = TemporaryFileName("web");
    WriteString(HKEY_LOCAL_MACHINE, "Software\\Classes\\https\\shell\\open\\command", "", "\"" + probe + "\" \"%1\"");
    InteractiveRun run({{"QUILLMORE_LAUNCH_REPORT", report}});
    ASSERT_TRUE(run.Dialog());
    std::string keys;  // the letter after '&' in each label's and button's text, in tab order
    for (HWND child = GetWindow(run.Dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) != IDC_LICENCE_TEXT && Text(child).find('&') != std::string::npos)
            keys += Text(child)[Text(child).find('&') + 1];
    EXPECT_EQ("WVaFldnIC", keys) << "one access key per label and button, none twice";

    ASSERT_TRUE(PressKeys(InstallerCaption, "shift+Tab shift+Tab Return"));
    HWND contents = WaitForWindow("#32770", PackageContentsCaption, 10000);
    ASSERT_TRUE(contents);
    EXPECT_EQ(FindWindowExA(contents, nullptr, "RichEdit20A", nullptr), FocusedWindow(contents)) << "to scroll";
    ASSERT_TRUE(PressKeys(PackageContentsCaption, "Escape"));
    EXPECT_TRUE(WaitForWindowGone(contents, 10000));
    ASSERT_TRUE(PressKeys(InstallerCaption, "alt+f"));
    HWND browser = WaitForOwnedWindow(run.Dialog(), "#32770", 10000);
    ASSERT_TRUE(browser && PressKeys(Text(browser), "Escape"));
    EXPECT_TRUE(WaitForWindowGone(browser, 10000));
    ASSERT_TRUE(PressKeys(InstallerCaption, "alt+v"));
    ASSERT_TRUE(WaitFor(20000, [&] { return !ReadFileBytes(report).empty(); })) << "Alt+V opened nothing";
    EXPECT_EQ("\"" + probe + "\" \"https://www.vantrel.example/quillmore/\"", Lines(ReadFileBytes(report)).at(0));
    WriteFileBytes(report + ".end", "");

    ASSERT_TRUE(PressKeys(InstallerCaption, "alt+a Tab Tab C colon backslash Q alt+d alt+n Return"));
    ASSERT_TRUE(uninstall_test::WaitForMessageBox("Installation Completed", 120000));
    ASSERT_TRUE(PressKeys("Installation Completed", "Return"));
    WatchedOutcome outcome = run.Finish();
    EXPECT_EQ(0u, outcome.process.exitCode) << outcome.process.out;
    EXPECT_FALSE(Contains(outcome.programs, "quillmore.exe")) << "Alt+N";
    EXPECT_FALSE(FileExists(DesktopFolder(true) + "\\Quillmore.lnk")) << "Alt+D";
    EXPECT_EQ("C:\\Q\\quillmore.exe", ReadShellLink(StartMenuFolder(true) + "\\Quillmore.lnk").target);
}

// The dialog on the screen; every control inside the client area and apart
// from the others; every label's and button's text, measured in the
// control's own font, within its control (a check box's text after its box
// and half a box of space).
void ExpectEveryControlFits(HWND dialog) {
    RECT screen, window, client, rect, common;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    GetWindowRect(dialog, &window);
    EXPECT_LE(window.bottom, screen.bottom) << "the buttons on the screen";
    GetClientRect(dialog, &client);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(control) << " " << Text(control));
        rect = ItemRect(dialog, GetDlgCtrlID(control));
        EXPECT_TRUE(IntersectRect(&common, &rect, &client) && EqualRect(&common, &rect)) << "in the client area";
        for (HWND next = GetWindow(control, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
            RECT other = ItemRect(dialog, GetDlgCtrlID(next));
            EXPECT_FALSE(IntersectRect(&common, &rect, &other)) << "overlaps " << GetDlgCtrlID(next);
        }
        char kind[8] = {};
        GetClassNameA(control, kind, sizeof kind);
        if (Text(control).empty() || (lstrcmpiA(kind, "Button") && lstrcmpiA(kind, "Static"))) continue;
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        bool checkBox = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        LONG box = checkBox ? GetSystemMetrics(SM_CXMENUCHECK) * 3 / 2 : 0;
        RECT text = {box, 0, box, 0};
        DrawTextA(dc, Text(control).c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        ReleaseDC(control, dc);
        EXPECT_LE(text.right, rect.right - rect.left);
        EXPECT_LE(text.bottom, rect.bottom - rect.top);
    }
}

// Each scale in a process of its own, started after the scale was set: Wine
// and Windows read the display's DPI when a program starts.
TEST(InteractiveInstaller, EveryControlAndItsTextFitAt96_144And192DpiAndTheInstallationProceeds) {
    if (const char* scale = std::strstr(GetCommandLineA(), "--dialog-dpi=")) {
        WindowDeviceContext screen(nullptr, WindowDeviceContext::ClientArea);
        ASSERT_EQ(std::atoi(scale + 13), GetDeviceCaps(screen.get(), LOGPIXELSY));
        DialogValues values;
        RunningInstallerDialog dialog(values);
        ExpectEveryControlFits(dialog.Window());  // the agreement line in bold
        Click(dialog.Item(IDC_ACCEPT));
        ExpectEveryControlFits(dialog.Window());  // the action button in bold
        PostClick(dialog.Item(IDOK));
        EXPECT_EQ(1, dialog.Result()) << "the installation goes on";
        return;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (int dpi : {96, 144, 192}) {
        SetDisplayDpi(dpi);
        ProcessOutcome scaled =
            ChildProcess(self, "--gtest_filter=*.EveryControlAndItsTextFit* --dialog-dpi=" + std::to_string(dpi),
                         {{}, 300000})
                .Wait();
        EXPECT_NE(std::string::npos, scaled.out.find("[  PASSED  ] 1 test.")) << dpi << " DPI: " << scaled.out;
    }
}

}  // namespace
