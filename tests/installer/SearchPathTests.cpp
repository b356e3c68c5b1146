// The search path update against the real registry and drive C: of a fresh
// prefix, and its choice of family under Wine's Windows 98 mode.
#include "installer/UpdateSearchPath.h"
#include "support/DeniedRegistryKey.h"
#include "support/Files.h"
#include "support/InstallerTestSupport.h"

#include <gtest/gtest.h>

using namespace installer_test;

namespace {

const char autoexec[] = "C:\\AUTOEXEC.BAT";

// A hidden top-level window of the test thread: the broadcast reaches it
// synchronously, while the update runs. Wine's broadcast loses the text of
// the parameter on the way to a window of the sending thread, so only the
// message itself is counted.
class BroadcastCounter {
public:
    BroadcastCounter() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SearchPathBroadcastCounter";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
        count = 0;
    }
    ~BroadcastCounter() { DestroyWindow(m_window); }

    static int count;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETTINGCHANGE) ++count;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window;
};
int BroadcastCounter::count = 0;

void SetPath(HKEY root, const char* key, const char* text, DWORD type = REG_SZ) {
    DeleteValue(root, key, "PATH");
    if (text) WriteString(root, key, "PATH", text, type);
}

TEST(RegistrySearchPath, MachineAndUserPathRules) {
    const char* absent = nullptr;
    const struct {
        const char* machine;
        const char* user;
        const char* dir;
        bool allUsers;
        const char* machineAfter;  // absent: unchanged
        const char* userAfter;
    } cases[] = {
        {"C:\\WINDOWS;c:\\apps\\q", absent, "C:\\Apps\\Q", true, absent, absent},
        {"C:\\WINDOWS;c:\\apps\\q", absent, "C:\\Apps\\Q", false, absent, absent},
        {"A;B;", absent, "C:\\Q", true, "A;B;;C:\\Q", absent},
        {"A", absent, "C:\\Q", false, absent, "C:\\Q"},
        {"A", "", "C:\\Q", false, absent, "C:\\Q"},
        {"A", "X;c:\\q", "C:\\Q", false, absent, absent},
        {"A", "c:\\q", "C:\\Q", true, "A;C:\\Q", absent},
        {absent, absent, "C:\\Q", true, "C:\\Q", absent},
        {"C:\\Q\\; C:\\Q;%Q%", "Y", "C:\\Q", false, absent, "Y;C:\\Q"},
    };
    for (const auto& c : cases) {
        SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, c.machine);
        SetPath(HKEY_CURRENT_USER, kUserEnvironment, c.user);
        BroadcastCounter broadcasts;
        UpdateRegistrySearchPath(c.dir, c.allUsers);

        const RawValue machine = ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
        const RawValue user = ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH");
        const std::string row = std::string(c.machine ? c.machine : "-") + " | " + (c.user ? c.user : "-");
        EXPECT_EQ(c.machineAfter ? c.machineAfter : c.machine ? c.machine : "", machine.Text()) << row;
        EXPECT_EQ(c.machineAfter ? REG_EXPAND_SZ : c.machine ? REG_SZ : 0u, machine.type) << row;
        EXPECT_EQ(c.userAfter ? c.userAfter : c.user ? c.user : "", user.Text()) << row;
        EXPECT_EQ(c.userAfter ? REG_EXPAND_SZ : c.user ? REG_SZ : 0u, user.type) << row;
        EXPECT_EQ(c.machineAfter || c.userAfter ? 1 : 0, broadcasts.count) << row;
    }
}

TEST(RegistrySearchPath, UnreadableMachinePathFallsBackToUserPath) {
    SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, "abc", REG_DWORD);  // four bytes: not a string
    SetPath(HKEY_CURRENT_USER, kUserEnvironment, "U");
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ(REG_DWORD, ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").type);
    EXPECT_EQ("U;C:\\Q", ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").Text());
}

TEST(RegistrySearchPath, UnwritableMachinePathFallsBackToUserPath) {
    SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, "A");
    SetPath(HKEY_CURRENT_USER, kUserEnvironment, nullptr);
    DenyWrites(kMachineEnvironment);
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineEnvironment, 0, KEY_SET_VALUE, &probe));

    BroadcastCounter broadcasts;
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ("A", ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").Text());
    EXPECT_EQ("C:\\Q", ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").Text());
    EXPECT_EQ(1, broadcasts.count);
}

TEST(RegistrySearchPath, LongPathsKeepEveryByte) {
    std::string longPath;
    for (int i = 0; longPath.size() < 32 * 1024; ++i) longPath += "C:\\Tools\\Entry" + std::to_string(i) + ";";
    longPath.resize(32 * 1024);

    SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, longPath.c_str());
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ(longPath + ";C:\\Q", ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").Text());

    SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, "A");
    SetPath(HKEY_CURRENT_USER, kUserEnvironment, longPath.c_str());
    UpdateRegistrySearchPath("C:\\Q", false);
    EXPECT_EQ(longPath + ";C:\\Q", ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").Text());
}

TEST(AutoexecSearchPath, AppendsUnlessTheLastReplacingLineHasTheDirectory) {
    const std::string dir = "C:\\Program Files\\Quill Dir";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string shortDir = ShortPath(dir);
    ASSERT_NE(dir, shortDir);
    const std::string line = "\r\nPATH=%PATH%;" + shortDir + "\r\n";
    const struct {
        std::string before;
        bool appended;
    } cases[] = {
        {"@ECHO OFF\r\nPATH=" + dir + "\r\n", false},
        {"PATH=C:\\DOS;" + shortDir, false},
        {"path=\"c:\\program files\\quill dir;C:\\DOS\"", false},
        {"  \tPATH=  " + dir + " \t\r\n", false},
        {"PATHEXT=" + dir, false},
        {"PATH=C:\\DOS\r\nPATH=%PATH%;" + dir, false},
        {"PATH=" + dir + "\r\nPATH=%path%;C:\\DOS\r\n", false},
        {"PATH=" + dir + "\r\nPATH=C:\\DOS\r\n", true},
        {"PATH=" + dir + "\nPATH=\n", true},
        {"SET PATH=" + dir + "\r\n", true},
        {"PATH " + dir + "\r\n", true},
        {"PATH=" + dir + "\\;C:\\DOS", true},
        {"", true},
    };
    for (const auto& c : cases) {
        WriteFileBytes(autoexec, c.before);
        UpdateAutoexecSearchPath(dir);
        EXPECT_EQ(c.appended ? c.before + line : c.before, ReadFileBytes(autoexec)) << c.before;
    }

    DeleteFileA(autoexec);
    UpdateAutoexecSearchPath(dir);
    EXPECT_EQ(line, ReadFileBytes(autoexec)) << "a missing start-up file is created";

    UpdateAutoexecSearchPath("C:\\No Such Dir");
    EXPECT_EQ(line, ReadFileBytes(autoexec)) << "without a short path nothing is added";
}

// The probe program runs UpdateSearchPath as a separate process, so that
// Wine can report Windows 98 to it.
TEST(SearchPathFamily, ChosenByThePlatformOfTheRunningSystem) {
    const std::string dir = "C:\\Quill";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string probe = SiblingExecutable("search_path_probe.exe");
    SetPath(HKEY_LOCAL_MACHINE, kMachineEnvironment, "A");
    SetPath(HKEY_CURRENT_USER, kUserEnvironment, nullptr);
    WriteFileBytes(autoexec, "REM start\r\n");

    SetWindowsVersionFor("search_path_probe.exe", "win98");
    ASSERT_EQ(0u, RunProcess(probe, "C:\\Quill 1").exitCode);
    EXPECT_EQ("REM start\r\n\r\nPATH=%PATH%;C:\\Quill\r\n", ReadFileBytes(autoexec));
    EXPECT_EQ("A", ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").Text());
    EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").exists);

    SetWindowsVersionFor("search_path_probe.exe", "");
    WriteFileBytes(autoexec, "REM start\r\n");
    ASSERT_EQ(0u, RunProcess(probe, "C:\\Quill 1").exitCode);
    EXPECT_EQ("REM start\r\n", ReadFileBytes(autoexec));
    EXPECT_EQ("A;C:\\Quill", ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").Text());
}

}  // namespace
