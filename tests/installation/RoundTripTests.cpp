// The real installer and uninstaller with what users and other programs
// bring along: folder names in every form Windows takes, other programs'
// pending file operations, and the user's own desktop link.
#include "foundation/Handle.h"
#include "foundation/Text.h"
#include "support/Files.h"
#include "support/InstallationFixture.h"
#include "support/ProcessRunner.h"
#include "support/UninstallRun.h"

#include <gtest/gtest.h>

using namespace uninstall_test;

namespace {

const std::string productKey = std::string(kUninstallKey);
const wchar_t sessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t pendingValue[] = L"PendingFileRenameOperations";

ProcessOutcome Install(const std::string& arguments, const std::string& workingDirectory = "") {
    ProcessOptions options;
    options.timeoutMs = 120000;
    options.workingDirectory = workingDirectory;
    return RunProcess(SiblingExecutable("QuillmoreInstaller.exe"), arguments, options);
}

void WritePending(const std::wstring& text) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, sessionManager, pendingValue, REG_MULTI_SZ,
                                             text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t))));
}

std::wstring ReadPending() {
    std::wstring text(32768, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, sessionManager, pendingValue, RRF_RT_REG_MULTI_SZ | RRF_NOEXPAND, nullptr,
                     &text[0], &size) != ERROR_SUCCESS)
        return L"<none>";
    text.resize(size / sizeof(wchar_t));
    return text;
}

std::wstring Entry(const std::wstring& text) {
    return text + L'\0';
}

}  // namespace

TEST(RoundTrip, EveryFolderFormTheInstallerTakesInstallsUninstallsAndInstallsAgain) {
    MakeDirectory("C:\\Work");
    const struct {
        std::string argument, workingDirectory, stored;
    } forms[] = {
        {"C:/Apps/Q", "", "C:\\Apps\\Q"},
        {"C:/Q", "", "C:\\Q"},
        {"Rel\\Q", "C:\\Work", "C:\\Work\\Rel\\Q"},
        {"C:\\Apps\\T\\", "", "C:\\Apps\\T"},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.argument);
        // Unquoted: the installer's command line reads \" as a quote.
        const std::string arguments = "-acceptEULA -installDir=" + form.argument;
        for (int round = 0; round < 2; ++round) {
            const ProcessOutcome installed = Install(arguments, form.workingDirectory);
            ASSERT_EQ(0u, installed.exitCode) << installed.out;
            EXPECT_EQ(form.stored, ReadString(HKEY_LOCAL_MACHINE, productKey, "InstallDir"));
            EXPECT_TRUE(FileExists(form.stored + "\\quillmore.exe"));
            EXPECT_EQ(0u, UninstallRegistered().result);
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
            EXPECT_FALSE(FileExists(form.stored));
        }
    }
}

TEST(RoundTrip, FolderNameTheCodePageCannotHoldIsRefused) {
    const std::wstring commandLine = L"\"" + MultiByteToWide(SiblingExecutable("QuillmoreInstaller.exe")) +
                                     L"\" -acceptEULA -installDir=C:\\\x0100pps";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring buffer = commandLine;
    ASSERT_TRUE(CreateProcessW(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started.get(), 60000));
    DWORD exitCode = 0;
    GetExitCodeProcess(started.get(), &exitCode);
    EXPECT_EQ(201u, exitCode);
    EXPECT_FALSE(FileExists("C:\\Apps"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
}

TEST(RoundTrip, OtherProgramsPendingOperationsSurviveByteForByte) {
    const std::wstring rename = Entry(L"\\??\\C:\\other\\new.dll") + Entry(L"!\\??\\C:\\other\\old.dll");
    const std::wstring omega = Entry(L"\\??\\C:\\other\\\x03A9mega.dll") + Entry(L"");
    // Left by a removal whose files were in use; the new installation
    // writes them again and takes the deletions back.
    const std::wstring ours = Entry(L"\\??\\C:\\Apps\\Q\\quillmore.exe") + Entry(L"");
    const std::wstring alsoOurs = Entry(L"\\??\\C:\\Apps\\Q\\uninst.exe") + Entry(L"");
    WritePending(ours + rename + alsoOurs + omega + Entry(L""));
    ASSERT_EQ(ours + rename + alsoOurs + omega + Entry(L""), ReadPending());

    const ProcessOutcome installed = Install("-acceptEULA -installDir=C:\\Apps\\Q");

    ASSERT_EQ(0u, installed.exitCode) << installed.out;
    EXPECT_EQ(rename + omega + Entry(L""), ReadPending());
}

TEST(RoundTrip, UsersOwnDesktopLinkSurvivesRollbackAndUninstallation) {
    const std::string link = DesktopFolder(true) + "\\Quillmore.lnk";
    WriteFileBytes(link, "the user's own link");

    SetEnvironmentVariableA("QUILLMORE_TEST_FAIL_AT", "search-path:install-error");
    const ProcessOutcome failed = Install("-acceptEULA -installDir=C:\\Apps\\Q");
    SetEnvironmentVariableA("QUILLMORE_TEST_FAIL_AT", nullptr);
    EXPECT_EQ(150u, failed.exitCode) << failed.out;
    EXPECT_TRUE(FileExists(link));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));

    // The rolled-back run replaced its content (links are overwritten); the
    // user makes it again.
    WriteFileBytes(link, "the user's own link");
    ASSERT_EQ(0u, Install("-acceptEULA -installDir=C:\\Apps\\Q").exitCode);
    EXPECT_EQ(std::string::npos, ReadString(HKEY_LOCAL_MACHINE, productKey, "UninstallParam").find(link));
    EXPECT_EQ(0u, UninstallRegistered().result);
    EXPECT_TRUE(FileExists(link));
    EXPECT_FALSE(FileExists("C:\\Apps\\Q"));
}

TEST(RoundTrip, ExtensionLeftPointingAtTheOwnProgIdIsNotGivenBackToIt) {
    // What an installation killed between association and registration
    // leaves behind.
    const std::string extensionKey = "SOFTWARE\\Classes\\.qmp";
    WriteString(HKEY_LOCAL_MACHINE, extensionKey, "", "Vantrel.Quillmore.4.33.Profile");

    SetEnvironmentVariableA("QUILLMORE_TEST_FAIL_AT", "search-path:install-error");
    const ProcessOutcome failed = Install("-acceptEULA -installDir=C:\\Apps\\Q");
    SetEnvironmentVariableA("QUILLMORE_TEST_FAIL_AT", nullptr);

    EXPECT_EQ(150u, failed.exitCode) << failed.out;
    EXPECT_EQ(std::string::npos, failed.out.find("currently associated with")) << failed.out;
    EXPECT_EQ("", ReadString(HKEY_LOCAL_MACHINE, extensionKey, ""));
}
