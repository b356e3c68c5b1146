// The real installer and uninstaller through a product's life: install,
// remove, upgrade from the versions before and after the result channel
// came in, replace, and the failures of a previous installation's removal.
#include "foundation/Handle.h"
#include "support/ExpectedLines.h"
#include "support/InstallationFixture.h"
#include "support/MessageBoxDriver.h"
#include "support/ProcessRunner.h"
#include "support/ShellLinkReader.h"
#include "support/SystemSnapshot.h"
#include "support/UninstallRun.h"

#include <gtest/gtest.h>

#include <regex>

using namespace uninstall_test;

namespace {

const std::string productKey = std::string(kUninstallKey);
const std::string installDir = "C:\\Apps\\Quillmore";
const std::string installArguments = "-acceptEULA -installDir=" + installDir;
const std::string useForce = expected::kUseForce;

ProcessOutcome Install(const std::string& installer, const std::string& extra = "") {
    ProcessOptions options;
    options.timeoutMs = 120000;
    return RunProcess(SiblingExecutable(installer), installArguments + extra, options);
}

// The part of the installer's output from the removal announcement up to
// the second empty line after it.
std::string RemovalPart(const std::string& output) {
    const size_t start = output.find("Uninstalling the existing Quillmore ");
    if (start == std::string::npos) return std::string();
    const size_t end = output.find("\n\n", output.find("\n\n", start) + 1);
    return output.substr(start, end == std::string::npos ? std::string::npos : end + 2 - start);
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

void ExpectInstalledOnce(const std::string& version) {
    EXPECT_EQ(version, ReadString(HKEY_LOCAL_MACHINE, productKey, "Version"));
    const std::string list = ReadString(HKEY_LOCAL_MACHINE, productKey, "UninstallParam");
    EXPECT_EQ(1u, Occurrences(list, "\"-shareResWith=Pellmar\"")) << list;
    EXPECT_EQ(1u, Occurrences(list, "-delMainFile=")) << list;
    EXPECT_TRUE(FileExists(installDir + "\\quillmore.exe"));
    EXPECT_TRUE(FileExists(installDir + "\\uninst.exe"));
    const std::string path = ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
    EXPECT_EQ(1u, Occurrences(path, installDir)) << path;
}

// The installer replaces the previous installation: its removal is
// announced and completes, and the new version is there once.
ProcessOutcome ExpectReplaced(const std::string& previousVersion) {
    const ProcessOutcome run = Install("QuillmoreInstaller.exe");
    EXPECT_EQ(0u, run.exitCode) << run.out;
    EXPECT_EQ(expected::Uninstalling(previousVersion) + "\n" + expected::kRemoved + "\n", RemovalPart(run.out));
    ExpectInstalledOnce("4.33");
    return run;
}

}  // namespace

TEST(LifeCycle, RegisteredUninstallStringRemovesTheInstallationCompletely) {
    const SystemSnapshot before = SystemSnapshot::Take();
    ASSERT_EQ(0u, Install("QuillmoreInstaller.exe").exitCode);
    const std::string userFile = installDir + "\\Ostrel-5.06\\my profile.qmp";
    WriteFileBytes(userFile, "mine");

    const UninstallOutcome removed = UninstallRegistered();
    EXPECT_EQ(0u, removed.result);
    EXPECT_EQ("Kept directory " + installDir +
                  "\\Ostrel-5.06: it is not empty\n"
                  "Kept directory " +
                  installDir +
                  ": it is not empty\n"
                  "Kept directory C:\\Apps: it is not empty\n" +
                  expected::kRemoved,
              removed.output);

    // Legitimately left: the user's file with its folders, and the
    // uninstaller's temporary copy, which goes at the next reboot.
    const std::string difference = Difference(before, SystemSnapshot::Take());
    EXPECT_TRUE(std::regex_match(
        difference,
        std::regex(R"(\+ C:\\Apps: folder\n)"
                   R"(\+ C:\\Apps\\Quillmore: folder\n)"
                   R"(\+ C:\\Apps\\Quillmore\\Ostrel-5\.06: folder\n)"
                   R"(\+ C:\\Apps\\Quillmore\\Ostrel-5\.06\\my profile\.qmp: file 4 bytes [0-9a-f]{16}\n)"
                   R"(\+ HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\:PendingFileRenameOperations: )"
                   R"(7:\\\?\?\\C:\\users\\[^\\]+\\Temp\\uninst-[0-9A-F]{8}\.exe\|\|\|\n)")))
        << difference;
}

TEST(LifeCycle, UpgradeFromAChannelVersionRunsItsRegisteredUninstaller) {
    ASSERT_EQ(0u, Install("QuillmoreInstaller407.exe").exitCode);
    const ProcessOutcome upgrade = ExpectReplaced("4.07");
    const std::string completed = expected::Completed() + "\n";
    EXPECT_EQ(completed, upgrade.out.substr(upgrade.out.size() - completed.size()));
}

TEST(LifeCycle, UpgradeFromAnOlderVersionRunsATemporaryCopyUnderAFallbackName) {
    MakeDirectory("C:\\tmp406");
    MakeDirectory("C:\\tmp406\\uninst.exe");  // the usual name cannot be written
    SetEnvironmentVariableA("TMP", "C:\\tmp406\\");
    SetEnvironmentVariableA("TEMP", "C:\\tmp406\\");
    ASSERT_EQ(0u, Install("QuillmoreInstaller406.exe").exitCode);
    ExpectReplaced("4.06");
    bool fallbackPending = false;
    for (const std::string& path : PendingDeletions())
        fallbackPending = fallbackPending || std::regex_match(path, std::regex(R"(C:\\tmp406\\uninst[0-9]{4}\.exe)"));
    EXPECT_TRUE(fallbackPending);
}

TEST(LifeCycle, SameVersionAgainReplacesTheInstallation) {
    ASSERT_EQ(0u, Install("QuillmoreInstaller.exe").exitCode);
    ExpectReplaced("4.33");
}

TEST(LifeCycle, UnloadableUninstallationInformationStopsWithoutForceAndWarnsWithIt) {
    ASSERT_EQ(0u, Install("QuillmoreInstaller407.exe").exitCode);
    WriteString(HKEY_LOCAL_MACHINE, productKey, "UninstallParam", "\"-delFile=C:\\Apps\\Quillmore\\quillmore.exe");
    const std::string message = expected::kUninstallerFailed12;

    const ProcessOutcome stopped = Install("QuillmoreInstaller.exe");
    EXPECT_EQ(107u, stopped.exitCode);
    EXPECT_EQ(message + useForce, stopped.out.substr(stopped.out.rfind("\n\n") + 2));
    EXPECT_EQ("4.07", ReadString(HKEY_LOCAL_MACHINE, productKey, "Version"));

    const ProcessOutcome forced = Install("QuillmoreInstaller.exe", " -force");
    EXPECT_EQ(0u, forced.exitCode) << forced.out;
    EXPECT_NE(std::string::npos, forced.out.find("\n\nWarning: " + message + "\n"));
    EXPECT_EQ("4.33", ReadString(HKEY_LOCAL_MACHINE, productKey, "Version"));
}

TEST(LifeCycle, PartlyFailedRemovalStopsTheInstallation) {
    ASSERT_EQ(0u, Install("QuillmoreInstaller407.exe").exitCode);
    const UniqueFile held(
        CreateFileA((installDir + "\\vantcfg.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    const ProcessOutcome stopped = Install("QuillmoreInstaller.exe");
    EXPECT_EQ(107u, stopped.exitCode);
    EXPECT_EQ(expected::kUninstallerFailed13 + useForce, stopped.out.substr(stopped.out.rfind("\n\n") + 2));
    EXPECT_EQ("4.07", ReadString(HKEY_LOCAL_MACHINE, productKey, "Version"));
}

TEST(LifeCycle, UninstallerThatNeverReportsIsALostChannel) {
    WriteString(HKEY_LOCAL_MACHINE, productKey, "Version", "4.07");
    WriteString(HKEY_LOCAL_MACHINE, productKey, "UninstallString",
                "\"" + SiblingExecutable("fake_uninstaller.exe") + "\" Quillmore ");
    SetEnvironmentVariableA("QUILLMORE_FAKE_UNINSTALLER", "relay-silent");
    const ProcessOutcome stopped = Install("QuillmoreInstaller.exe");
    EXPECT_EQ(107u, stopped.exitCode);
    EXPECT_EQ(expected::Uninstalling("4.07") + "\n\nUninstaller ended without reporting its result" + useForce,
              stopped.out);
}

TEST(LifeCycle, StartMenuLinkUninstallsInteractively) {
    ASSERT_EQ(0u, Install("QuillmoreInstaller.exe").exitCode);
    const std::string link = StartMenuFolder(true) + "\\Uninstall Quillmore.lnk";

    const ShellLinkFields fields = ReadShellLink(link);

    ProcessOptions options;
    options.workingDirectory = fields.workingDirectory;
    ChildProcess uninstaller(fields.target, fields.arguments, options);
    const HWND question = WaitForMessageBox("Uninstall Quillmore");
    ASSERT_NE(nullptr, question);
    Answer(question, IDYES);
    const HWND completed = WaitForMessageBox("Uninstallation Completed");
    ASSERT_NE(nullptr, completed);
    Answer(completed, IDOK);
    uninstaller.Wait();
    EXPECT_FALSE(FileExists(installDir));
    EXPECT_FALSE(FileExists(link));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, productKey));
}
