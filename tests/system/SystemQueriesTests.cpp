// System information, the requirements check and the special folders
// against the real registry of a fresh prefix, and the requirements check
// through the real installer under Wine's per-program Windows versions.
#include "installer/InstallFlow.h"
#include "support/InstallerTestSupport.h"
#include "support/MessageBoxDriver.h"
#include "support/Wow64View.h"
#include "system/SpecialFolders.h"
#include "system/SystemInfo.h"

#include <gtest/gtest.h>

using namespace installer_test;

namespace {

const char ieKey[] = "Software\\Microsoft\\Internet Explorer";
const char shellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char userShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, MAX_PATH);
    return value;
}

TEST(Requirements, Windows98OrNt4Sp3AndInternetExplorer4) {
    const VersionTriple ie4{4, 71, 1712};
    const struct {
        VersionTriple os;
        std::int32_t servicePack;
        VersionTriple ie;
        bool met;
    } cases[] = {
        {{1, 4, 0}, -1, ie4, false},          {{1, 4, 10}, -1, ie4, true},      {{1, 4, 90}, -1, ie4, true},
        {{2, 4, 0}, 2, ie4, false},           {{2, 4, 0}, 3, ie4, true},        {{2, 4, 0}, -1, ie4, false},
        {{2, 3, 51}, 5, ie4, false},          {{2, 5, 0}, -1, ie4, true},       {{0, 0, 0}, -1, ie4, false},
        {{2, 6, 1}, 1, {4, 70, 1300}, false}, {{2, 6, 1}, 1, {0, 0, 0}, false}, {{1, 4, 10}, -1, {5, 0, 0}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.met, RequirementsMet(c.os, c.servicePack, c.ie))
            << c.os.a << "." << c.os.b << "." << c.os.c << " SP" << c.servicePack << " IE " << c.ie.a << "." << c.ie.b
            << "." << c.ie.c;
}

TEST(ServicePack, ReadFromTheShortStructuresText) {
    const struct {
        const char* text;
        std::int32_t number;
    } cases[] = {
        {"Service Pack 3", 3},
        {"service pack 6a", 6},
        {"SERVICE PACK  0x10", 16},
        {"Service Pack 010", 8},
        {"Service Pack", -1},
        {"Service Pack -1", -1},
        {"Service Pack x", -1},
        {"SP3", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.number, ServicePackFromText(c.text)) << c.text;
}

TEST(InternetExplorerVersion, FromVersionOrTheOlderIVerValues) {
    const std::string tooLong(100, '9');
    const struct {
        const char* version;  // null: no "Version" value
        const char* iver;
        const char* build;
        VersionTriple expected;
    } cases[] = {
        {"4.71.1712", nullptr, nullptr, {4, 71, 1712}}, {"5.50", nullptr, nullptr, {5, 50, 0}},
        {nullptr, "103", "1300", {4, 70, 1300}},        {nullptr, "103", nullptr, {4, 70, 1155}},
        {nullptr, "101", "1300", {4, 40, 308}},         {nullptr, "102", nullptr, {4, 40, 520}},
        {nullptr, "104", nullptr, {0, 0, 0}},           {tooLong.c_str(), "102", nullptr, {4, 40, 520}},
    };
    for (const auto& c : cases) {
        for (const char* name : {"Version", "IVer", "Build"}) DeleteValue(HKEY_LOCAL_MACHINE, ieKey, name);
        if (c.version) WriteString(HKEY_LOCAL_MACHINE, ieKey, "Version", c.version);
        if (c.iver) WriteString(HKEY_LOCAL_MACHINE, ieKey, "IVer", c.iver);
        if (c.build) WriteString(HKEY_LOCAL_MACHINE, ieKey, "Build", c.build);
        const VersionTriple found = SystemInfo().InternetExplorerVersion();
        EXPECT_TRUE(found == c.expected) << (c.version ? c.version : c.iver) << " gave " << found.a << "." << found.b
                                         << "." << found.c;
    }
}

// Unsupported systems stop the run before the licence check; with -force
// the warning is printed and the run goes on to that check (exit 140).
TEST(RequirementsRun, InstallerStopsOrWarnsOnUnsupportedSystems) {
    const std::string originalIe = ReadRaw(HKEY_LOCAL_MACHINE, ieKey, "Version").Text();
    const std::string message =
        "Quillmore requires Windows 98 or Windows NT 4.0 SP3 and Internet Explorer 4.0, or higher";
    const std::string licenceLines =
        "Missing -acceptEULA parameter to indicate your acceptance of the Quillmore\n"
        "End-User License Agreement. Please run this installer without parameters to\n"
        "read the EULA, then supply -acceptEULA for unattended installation.\n";
    const struct {
        const char* windows;
        const char* ie;
        const char* arguments;
        DWORD exitCode;
        std::string out;
        std::string err;
    } cases[] = {
        {"win95", nullptr, "-installDir=C:\\Q", 130,
         message + " (use /Force flag to override version checking); aborting\n", ""},
        {"nt351", nullptr, "-installDir=C:\\Q", 130,
         message + " (use /Force flag to override version checking); aborting\n", ""},
        {"", "4.70.1300", "-installDir=C:\\Q", 130,
         message + " (use /Force flag to override version checking); aborting\n", ""},
        {"win95", nullptr, "-installDir=C:\\Q -force", 140, "Warning: " + message + "\n", licenceLines},
        {"", "4.70.1300", "/FORCE -installDir=C:\\Q", 140, "Warning: " + message + "\n", licenceLines},
        {"win98", nullptr, "-installDir=C:\\Q", 140, "", licenceLines},
        {"nt40", nullptr, "-installDir=C:\\Q", 140, "", licenceLines},
        {"", "4.71.1712", "-installDir=C:\\Q", 140, "", licenceLines},
    };
    for (const auto& c : cases) {
        SetWindowsVersionFor("QuillmoreInstaller.exe", c.windows);
        WriteString(HKEY_LOCAL_MACHINE, ieKey, "Version", c.ie ? c.ie : originalIe);
        const ProcessOutcome run = RunInstaller(c.arguments);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.windows << " " << c.arguments;
        EXPECT_EQ(c.out, run.out) << c.windows << " " << c.arguments;
        EXPECT_EQ(c.err, run.err) << c.windows << " " << c.arguments;
    }
}

// Interactive, the user is asked first (No is the default); No ends the run.
TEST(RequirementsRun, InteractiveInstallerAsksOnUnsupportedSystems) {
    SetWindowsVersionFor("QuillmoreInstaller.exe", "win95");
    ChildProcess run(SiblingExecutable("QuillmoreInstaller.exe"), "");
    HWND question = uninstall_test::WaitForMessageBox("Unsupported OS Version Detected");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "The minimum requirements for installing Quillmore are:\n- Windows 98 or Windows NT 4.0 SP3,\n"
        "- Internet Explorer 4.0.\n\nDoes your system meet Quillmore minimum requirements?",
        uninstall_test::MessageBoxText(question));
    EXPECT_EQ(IDNO, uninstall_test::DefaultButton(question));
    uninstall_test::Answer(question, IDNO);
    EXPECT_EQ(130u, run.Wait().exitCode);
    SetWindowsVersionFor("QuillmoreInstaller.exe", "");
}

TEST(SpecialFolders, AreWinesOwnFolders) {
    const std::string profile = Environment("USERPROFILE");
    ASSERT_FALSE(profile.empty());
    EXPECT_EQ(wow64_test::ExpectedProgramFiles(), ProgramFilesFolder());
    EXPECT_EQ(profile + "\\Desktop", DesktopFolder());
    EXPECT_EQ("C:\\users\\Public\\Desktop", CommonDesktopFolder());
    EXPECT_EQ(profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs", ProgramsFolder());
    EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", CommonProgramsFolder());
}

// Before Internet Explorer 4.0 the shell function is not asked: the
// registry answers, then the last resorts.
TEST(SpecialFolders, ComeFromTheRegistryBeforeInternetExplorer4) {
    WriteString(HKEY_LOCAL_MACHINE, ieKey, "Version", "4.70.1300");
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "D:\\Apps");
    WriteString(HKEY_CURRENT_USER, shellFolders, "Desktop", "D:\\Desk");
    WriteString(HKEY_CURRENT_USER, shellFolders, "Programs", "D:\\Progs");
    WriteString(HKEY_LOCAL_MACHINE, shellFolders, "Common Desktop", "D:\\All\\Desk");
    WriteString(HKEY_LOCAL_MACHINE, shellFolders, "Common Programs", "");
    EXPECT_EQ("D:\\Apps", ProgramFilesFolder());
    EXPECT_EQ("D:\\Desk", DesktopFolder());
    EXPECT_EQ("D:\\Progs", ProgramsFolder());
    EXPECT_EQ("D:\\All\\Desk", CommonDesktopFolder());
    EXPECT_EQ("", CommonProgramsFolder()) << "an empty value is an answer";

    DeleteValue(HKEY_CURRENT_USER, shellFolders, "Desktop");
    WriteString(HKEY_CURRENT_USER, userShellFolders, "Desktop", "%USERPROFILE%\\Mine", REG_EXPAND_SZ);
    DeleteValue(HKEY_LOCAL_MACHINE, shellFolders, "Common Desktop");
    EXPECT_EQ(Environment("USERPROFILE") + "\\Mine", DesktopFolder());
    EXPECT_EQ(Environment("USERPROFILE") + "\\Mine", CommonDesktopFolder());

    DeleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    DeleteValue(HKEY_CURRENT_USER, shellFolders, "Programs");
    DeleteValue(HKEY_CURRENT_USER, userShellFolders, "Programs");
    DeleteValue(HKEY_LOCAL_MACHINE, shellFolders, "Common Programs");
    EXPECT_EQ("C:\\Program Files", ProgramFilesFolder());
    EXPECT_EQ("", ProgramsFolder());
    EXPECT_EQ("", CommonProgramsFolder());
}

TEST(AdministratorsGroup, WinesElevatedTokenHasIt) {
    EXPECT_TRUE(TokenHasAdministratorsGroup());
    EXPECT_TRUE(IsUserAdmin(false));
}

}  // namespace
