// The search path update against the real registry and drive C: of a fresh
// prefix, and its choice of family under Wine's Windows 98 mode.
#include "InstallerTestSupport.h"
#include "installer/UpdateSearchPath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace installer_test;

namespace {

const char machineKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char userKey[] = "Environment";
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
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
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
    if (text) WriteValue(root, key, "PATH", text, type);
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

TEST(RegistrySearchPath, MachineAndUserPathRules) {
    const char* absent = nullptr;
    const struct {
        const char* machine;
        const char* user;
        const char* dir;
        bool allUsers;
        const char* machineAfter;   // absent: unchanged
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
        SetPath(HKEY_LOCAL_MACHINE, machineKey, c.machine);
        SetPath(HKEY_CURRENT_USER, userKey, c.user);
        BroadcastCounter broadcasts;
        UpdateRegistrySearchPath(c.dir, c.allUsers);

        const RegValue machine = ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH");
        const RegValue user = ReadValue(HKEY_CURRENT_USER, userKey, "PATH");
        const std::string row = std::string(c.machine ? c.machine : "-") + " | " + (c.user ? c.user : "-");
        EXPECT_EQ(c.machineAfter ? c.machineAfter : c.machine ? c.machine : "", machine.text) << row;
        EXPECT_EQ(c.machineAfter ? REG_EXPAND_SZ : c.machine ? REG_SZ : 0u, machine.type) << row;
        EXPECT_EQ(c.userAfter ? c.userAfter : c.user ? c.user : "", user.text) << row;
        EXPECT_EQ(c.userAfter ? REG_EXPAND_SZ : c.user ? REG_SZ : 0u, user.type) << row;
        EXPECT_EQ(c.machineAfter || c.userAfter ? 1 : 0, broadcasts.count) << row;
    }
}

TEST(RegistrySearchPath, UnreadableMachinePathFallsBackToUserPath) {
    SetPath(HKEY_LOCAL_MACHINE, machineKey, "abc", REG_DWORD);   // four bytes: not a string
    SetPath(HKEY_CURRENT_USER, userKey, "U");
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ(REG_DWORD, ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH").type);
    EXPECT_EQ("U;C:\\Q", ReadValue(HKEY_CURRENT_USER, userKey, "PATH").text);
}

// Only reading is allowed on the key from now on (the prefix's server keeps
// key security while it runs).
void MakeReadOnly(HKEY root, const char* subkey) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, subkey, 0, WRITE_DAC, &key));
    SID_IDENTIFIER_AUTHORITY world = {SECURITY_WORLD_SID_AUTHORITY};
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    DWORD aclBuffer[64];
    ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, KEY_READ, everyone);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor));
    FreeSid(everyone);
    RegCloseKey(key);
}

TEST(RegistrySearchPath, UnwritableMachinePathFallsBackToUserPath) {
    SetPath(HKEY_LOCAL_MACHINE, machineKey, "A");
    SetPath(HKEY_CURRENT_USER, userKey, nullptr);
    MakeReadOnly(HKEY_LOCAL_MACHINE, machineKey);
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, machineKey, 0, KEY_SET_VALUE, &probe));

    BroadcastCounter broadcasts;
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ("A", ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH").text);
    EXPECT_EQ("C:\\Q", ReadValue(HKEY_CURRENT_USER, userKey, "PATH").text);
    EXPECT_EQ(1, broadcasts.count);
}

TEST(RegistrySearchPath, LongPathsKeepEveryByte) {
    std::string longPath;
    for (int i = 0; longPath.size() < 32 * 1024; ++i) longPath += "C:\\Tools\\Entry" + std::to_string(i) + ";";
    longPath.resize(32 * 1024);

    SetPath(HKEY_LOCAL_MACHINE, machineKey, longPath.c_str());
    UpdateRegistrySearchPath("C:\\Q", true);
    EXPECT_EQ(longPath + ";C:\\Q", ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH").text);

    SetPath(HKEY_LOCAL_MACHINE, machineKey, "A");
    SetPath(HKEY_CURRENT_USER, userKey, longPath.c_str());
    UpdateRegistrySearchPath("C:\\Q", false);
    EXPECT_EQ(longPath + ";C:\\Q", ReadValue(HKEY_CURRENT_USER, userKey, "PATH").text);
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
        WriteFileText(autoexec, c.before);
        UpdateAutoexecSearchPath(dir);
        EXPECT_EQ(c.appended ? c.before + line : c.before, FileText(autoexec)) << c.before;
    }

    DeleteFileA(autoexec);
    UpdateAutoexecSearchPath(dir);
    EXPECT_EQ(line, FileText(autoexec)) << "a missing start-up file is created";

    UpdateAutoexecSearchPath("C:\\No Such Dir");
    EXPECT_EQ(line, FileText(autoexec)) << "without a short path nothing is added";
}

// The probe program runs UpdateSearchPath as a separate process, so that
// Wine can report Windows 98 to it.
TEST(SearchPathFamily, ChosenByThePlatformOfTheRunningSystem) {
    const std::string dir = "C:\\Quill";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    const std::string probe = SiblingExecutable("search_path_probe.exe");
    SetPath(HKEY_LOCAL_MACHINE, machineKey, "A");
    SetPath(HKEY_CURRENT_USER, userKey, nullptr);
    WriteFileText(autoexec, "REM start\r\n");

    SetWindowsVersionFor("search_path_probe.exe", "win98");
    ASSERT_EQ(0u, RunProcess(probe, "C:\\Quill 1").exitCode);
    EXPECT_EQ("REM start\r\n\r\nPATH=%PATH%;C:\\Quill\r\n", FileText(autoexec));
    EXPECT_EQ("A", ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH").text);
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, userKey, "PATH").exists);

    SetWindowsVersionFor("search_path_probe.exe", "");
    WriteFileText(autoexec, "REM start\r\n");
    ASSERT_EQ(0u, RunProcess(probe, "C:\\Quill 1").exitCode);
    EXPECT_EQ("REM start\r\n", FileText(autoexec));
    EXPECT_EQ("A;C:\\Quill", ReadValue(HKEY_LOCAL_MACHINE, machineKey, "PATH").text);
}

}  // namespace
