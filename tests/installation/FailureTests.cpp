// How a run ends when steps fail: tolerated with -force, an exception in the
// last step with and without rollback, and a crash in the middle.
#include "support/ExpectedLines.h"
#include "support/InstallationFixture.h"

#include "support/DeniedRegistryKey.h"
#include "support/SystemText.h"
#include "support/UninstallFixture.h"

namespace {

const std::string kDir = kInstallDir;

// The last two lines are the final report, after every rollback line.
void ExpectFinalReport(const std::vector<std::string>& lines, const std::string& report) {
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(report, lines[lines.size() - 2]);
    EXPECT_EQ(report, lines.back());
}

}  // namespace

// A shortcut that cannot be saved, an association and a registration that
// the registry refuses: each is a warning, and the installation completes.
TEST(RecoverableFailure, ForceTurnsEveryRecoverableFailureIntoAWarning) {
    const std::string menu = StartMenuFolder(true);
    const std::string proxyLink = menu + "\\Proxy Settings.lnk";
    MakeFolder(menu);
    MakeFolder(proxyLink);
    DenyWrites("SOFTWARE\\Classes\\.pmx");
    WriteString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\Kept", "", "");
    DenyWrites(kUninstallKey);

    WatchedOutcome run = RunInstallerQuietly(InstallArguments("-force"), 0);
    std::vector<std::string> lines = Lines(run.process.out);
    for (const std::string& warning :
         {"Warning: creating shortcut '" + proxyLink + "' failed: IPersistFile::Save() failed",
          "Warning: registering file association for extension '.pmx' failed. Reason: " +
              AccessDenied("RegCreateKeyExA()"),
          "Warning: uninstaller registration failed: " + AccessDenied("RegCreateKeyExA()")})
        EXPECT_TRUE(Contains(lines, warning)) << warning << " is missing from\n" << run.process.out;
    EXPECT_EQ(expected::Completed(), lines.back());
    EXPECT_TRUE(FirstRollbackLine(lines) == lines.end());

    // What could be made is there; what failed is not.
    EXPECT_TRUE(FileExists(menu + "\\Keypair Manager.lnk"));
    EXPECT_EQ("Vantrel.Quillmore.4.33.Profile", ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.qmp", ""));
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallParam").exists);
}

// The test build fails the last step with an InstallError: every step is
// undone before the error is reported; with -noRollback everything stays.
TEST(FailureInTheLastStep, IsReportedTwiceAfterTheRollbackOrWithNoneAtAll) {
    const Environment failLast = {{"QUILLMORE_TEST_FAIL_AT", "search-path:install-error"}};
    const std::string report = "Installation error: Failure injected at search-path";
    const std::string machinePath = ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");

    WatchedOutcome undone = RunInstallerLeavingNoTrace(InstallArguments(), 150, failLast);
    std::vector<std::string> lines = Lines(undone.process.out);
    ExpectFinalReport(lines, report);
    EXPECT_TRUE(Contains(lines, "Rollback: unregistering uninstaller"));
    EXPECT_TRUE(Contains(lines, "Rollback: removing previously created " + kDir));

    WatchedOutcome kept = RunInstallerQuietly(InstallArguments("-noRollback"), 150, failLast);
    lines = Lines(kept.process.out);
    ExpectFinalReport(lines, report);
    EXPECT_TRUE(FirstRollbackLine(lines) == lines.end()) << kept.process.out;
    EXPECT_TRUE(FileExists(kDir + "\\uninst.exe"));
    EXPECT_TRUE(FileExists(DesktopFolder(true) + "\\Quillmore.lnk"));
    EXPECT_EQ("Vantrel.Quillmore.4.33.Settings", ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.pmx", ""));
    EXPECT_EQ("4.33", ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "Version"));
    // The search path comes after the failed step.
    EXPECT_EQ(machinePath, ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH"));
}

// An access violation forced by the test build in the middle of the steps
// (among the shortcuts, and right after the associations) arrives as an
// exception: the steps done so far are undone.
TEST(CrashInTheMiddle, IsUndoneAndReportedAsAnException) {
    const struct {
        const char* point;
        std::string undoneLast;  // the rollback of the step made just before
    } rows[] = {
        {"start-menu-links",
         "Rollback: removing previously created shortcut " + StartMenuFolder(true) + "\\Host Key Manager.lnk"},
        {"restore-association-command", "Rollback: removing previously created file association for extension .pmx"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.point);
        WatchedOutcome run = RunInstallerLeavingNoTrace(
            InstallArguments(), 150, {{"QUILLMORE_TEST_FAIL_AT", std::string(row.point) + ":access-violation"}});
        std::vector<std::string> lines = Lines(run.process.out);
        ExpectFinalReport(lines, "std::exception caught: EXCEPTION_ACCESS_VIOLATION");
        const auto firstRollback = FirstRollbackLine(lines);
        ASSERT_NE(lines.end(), firstRollback) << run.process.out;
        EXPECT_EQ(row.undoneLast, *firstRollback);
    }
}
