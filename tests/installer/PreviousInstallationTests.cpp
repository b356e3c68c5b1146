// The previous installation as the Uninstall key describes it, and its
// removal, run by a driver program against a stand-in uninstaller registered
// (or embedded) by the test.
#include "installer/PreviousInstallation.h"
#include "support/ExpectedLines.h"
#include "support/MessageBoxDriver.h"
#include "support/ProcessRunner.h"
#include "support/SystemText.h"
#include "support/UninstallFixture.h"
#include "support/Wow64View.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

using namespace uninstall_test;

namespace {

const std::string productKey = std::string(kUninstallKey);
const std::string logPath = "C:\\fake-uninstaller.log";
const std::string announce407 = expected::Uninstalling("4.07");
const std::string useForce = expected::kUseForce;
const std::string message13 = expected::kUninstallerFailed13;

std::string FakeUninstaller() {
    return SiblingExecutable("fake_uninstaller.exe");
}

void RegisterPrevious(const std::string& version, const std::string& uninstallString) {
    DeleteTree(HKEY_LOCAL_MACHINE, productKey);
    if (!version.empty()) WriteString(HKEY_LOCAL_MACHINE, productKey, "Version", version);
    WriteString(HKEY_LOCAL_MACHINE, productKey, "UninstallString", uninstallString);
}

void RegisterFake(const std::string& version = "4.07") {
    RegisterPrevious(version, "\"" + FakeUninstaller() + "\" Quillmore ");
}

// Runs the removal with the stand-in behaving as told; the log of the
// stand-in's runs starts empty.
ProcessOutcome RemovePrevious(const std::string& behaviour, const std::string& flags = "") {
    SetEnvironmentVariableA("QUILLMORE_FAKE_UNINSTALLER", behaviour.c_str());
    SetEnvironmentVariableA("QUILLMORE_FAKE_LOG", logPath.c_str());
    DeleteFileA(logPath.c_str());
    ProcessOptions options;
    options.timeoutMs = 20000;  // a lost channel must not stall the removal
    return RunProcess(SiblingExecutable("remove_previous.exe"), flags, options);
}

struct FakeRun {
    std::string module;
    std::string commandLine;
};

std::vector<FakeRun> FakeRuns() {
    std::vector<FakeRun> runs;
    std::istringstream log(ReadFileBytes(logPath));
    for (std::string line; std::getline(log, line);)
        runs.push_back({line.substr(0, line.find('|')), line.substr(line.find('|') + 1)});
    return runs;
}

const std::string channelOptions = R"( -unat -result=[0-9A-F]{8} -done=[0-9A-F]{8})";

std::string WithoutFinalStop(std::string text) {
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

TEST(PreviousInstallationRemoval, NothingToRemoveWithoutVersionAndUninstallString) {
    struct Case {
        const char* version;
        const char* uninstallString;
    } cases[] = {{"", "\"C:\\Q\\uninst.exe\" Quillmore "}, {"4.07", ""}};
    const ProcessOutcome nothingRegistered = RemovePrevious("exit:13");
    EXPECT_EQ(0u, nothingRegistered.exitCode);
    EXPECT_EQ("", nothingRegistered.out);
    for (const Case& test : cases) {
        RegisterPrevious(test.version, test.uninstallString);
        const ProcessOutcome outcome = RemovePrevious("exit:13");
        EXPECT_EQ(0u, outcome.exitCode) << test.version;
        EXPECT_EQ("", outcome.out) << test.version;
        EXPECT_TRUE(FakeRuns().empty());
    }
}

TEST(PreviousInstallationRemoval, RegisteredUninstallerResultsDecideUnattended) {
    RegisterFake("4.07");
    struct Case {
        std::string behaviour;
        DWORD exitCode;
        std::string lastLine;  // after the two empty lines
    } cases[] = {
        {"exit:0", 0, ""},
        {"channel:0", 0, ""},
        {"relay:0", 0, ""},
        {"exit:12", 107, expected::kUninstallerFailed12 + useForce},
        {"channel:13", 107, message13 + std::string(useForce)},
        {"relay:13", 107, message13 + std::string(useForce)},
        {"exit:3", 107, "Uninstaller failed with error code 3" + std::string(useForce)},
        {"channel:259", 107, "Uninstaller failed with error code 259" + std::string(useForce)},
        {"silent", 107, "Uninstaller ended without reporting its result" + std::string(useForce)},
        {"relay-silent", 107, "Uninstaller ended without reporting its result" + std::string(useForce)},
    };
    for (const Case& test : cases) {
        const ProcessOutcome outcome = RemovePrevious(test.behaviour);
        EXPECT_EQ(test.exitCode, outcome.exitCode) << test.behaviour;
        EXPECT_EQ(announce407 + std::string("\n\n") + test.lastLine, outcome.out) << test.behaviour;
        const std::vector<FakeRun> runs = FakeRuns();
        ASSERT_FALSE(runs.empty()) << test.behaviour;
        // The registered string ends with a blank: two blanks before -unat.
        EXPECT_TRUE(std::regex_match(
            runs[0].commandLine,
            std::regex(std::regex_replace(FakeUninstaller(), std::regex(R"([\\.])"), R"(\$&)").insert(0, "\"") +
                       "\" Quillmore " + channelOptions)))
            << runs[0].commandLine;
    }
}

TEST(PreviousInstallationRemoval, ForceTurnsTheFailureIntoAWarning) {
    RegisterFake("4.07");
    const ProcessOutcome outcome = RemovePrevious("channel:13", "-force");
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ(announce407 + std::string("\n\nWarning: ") + message13 + "\n", outcome.out);
}

TEST(PreviousInstallationRemoval, InteractiveQuestionDefaultsToNoAndNoCancels) {
    RegisterFake("4.07");
    for (const int answer : {IDNO, IDYES}) {
        SetEnvironmentVariableA("QUILLMORE_FAKE_UNINSTALLER", "relay:13");
        ChildProcess removal(SiblingExecutable("remove_previous.exe"), "-interactive");
        const HWND box = WaitForMessageBox("Uninstallation failure");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(message13 + std::string(".\nDo you want to continue with the installation anyway?"),
                  MessageBoxText(box));
        EXPECT_EQ(IDNO, DefaultButton(box));
        Answer(box, answer);
        const ProcessOutcome outcome = removal.Wait();
        const std::string warned = announce407 + std::string("\n\nWarning: ") + message13 + "\n";
        if (answer == IDNO) {
            EXPECT_EQ(107u, outcome.exitCode);
            EXPECT_EQ(warned + "Installation canceled by user (uninstallation failure)\n", outcome.out);
        } else {
            EXPECT_EQ(0u, outcome.exitCode);
            EXPECT_EQ(warned, outcome.out);
        }
    }
}

TEST(PreviousInstallationRemoval, OlderVersionsRunAFreshCopyFromTheTemporaryDirectory) {
    MakeDirectory("C:\\tmp407");
    SetEnvironmentVariableA("TMP", "C:\\tmp407\\");
    SetEnvironmentVariableA("TEMP", "C:\\tmp407\\");
    struct Case {
        std::string version;
        std::string module;  // where the stand-in ran from
    } cases[] = {
        {"4.06", "C:\\tmp407\\uninst.exe"},
        {"10.0", "C:\\tmp407\\uninst.exe"},
        {"4.1", FakeUninstaller()},
    };
    for (const Case& test : cases) {
        RegisterFake(test.version);
        const ProcessOutcome outcome = RemovePrevious("channel:0");
        EXPECT_EQ(0u, outcome.exitCode) << test.version;
        EXPECT_EQ(expected::Uninstalling(test.version) + "\n\n", outcome.out);
        const std::vector<FakeRun> runs = FakeRuns();
        ASSERT_EQ(1u, runs.size()) << test.version;
        EXPECT_EQ(test.module, runs[0].module) << test.version;
    }
    RegisterFake("4.06");
    RemovePrevious("channel:0");
    EXPECT_TRUE(std::regex_match(FakeRuns()[0].commandLine,
                                 std::regex(R"("C:\\tmp407\\uninst\.exe" Quillmore)" + channelOptions)))
        << FakeRuns()[0].commandLine;
    const std::vector<std::string> pending = PendingDeletions();
    EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), "C:\\tmp407\\uninst.exe"));

    // "uninst.exe" cannot be written: a random four-digit name is used.
    DeleteFileA("C:\\tmp407\\uninst.exe");
    MakeDirectory("C:\\tmp407\\uninst.exe");
    const ProcessOutcome fallback = RemovePrevious("channel:0");
    EXPECT_EQ(0u, fallback.exitCode) << fallback.out;
    ASSERT_EQ(1u, FakeRuns().size());
    EXPECT_TRUE(std::regex_match(FakeRuns()[0].module, std::regex(R"(C:\\tmp407\\uninst[0-9]{4}\.exe)")))
        << FakeRuns()[0].module;
}

TEST(PreviousInstallationRemoval, CopyThatCannotBeWrittenAfterTenNewNamesAborts) {
    SetEnvironmentVariableA("TMP", "C:\\missing-directory\\");
    SetEnvironmentVariableA("TEMP", "C:\\missing-directory\\");
    RegisterFake("4.06");
    const ProcessOutcome outcome = RemovePrevious("channel:0");
    EXPECT_EQ(107u, outcome.exitCode);
    EXPECT_TRUE(std::regex_match(outcome.out,
                                 std::regex(R"(Uninstalling the existing Quillmore 4\.06 installation\n)"
                                            R"(Copying uninstaller to temporary path failed: FileSink: error opening )"
                                            R"(file for writing: C:\\missing-directory\\uninst[0-9]{4}\.exe)"
                                            R"( \(use /Force flag to override uninstallation failure\); aborting\n)")))
        << outcome.out;
    EXPECT_TRUE(FakeRuns().empty());
}

TEST(PreviousInstallationRemoval, UninstallerThatCannotBeStartedIsALaunchFailure) {
    RegisterPrevious("4.33", "\"C:\\missing\\uninst.exe\" Quillmore ");
    const ProcessOutcome outcome = RemovePrevious("exit:0");
    EXPECT_EQ(107u, outcome.exitCode);
    const std::string prefix =
        "Uninstalling the existing Quillmore 4.33 installation\n\n"
        "Launching uninstaller failed: CreateProcess() failed: ";
    ASSERT_EQ(prefix, outcome.out.substr(0, prefix.size()));
    const bool notFound =
        outcome.out == prefix + "Windows error 2: " + WithoutFinalStop(SystemText(ERROR_FILE_NOT_FOUND)) + useForce;
    const bool pathNotFound =
        outcome.out == prefix + "Windows error 3: " + WithoutFinalStop(SystemText(ERROR_PATH_NOT_FOUND)) + useForce;
    EXPECT_TRUE(notFound || pathNotFound) << outcome.out;
}

TEST(PreviousInstallation, ValuesOfTheUninstallKeyOrTheirFallbacks) {
    EXPECT_EQ("", ReadPreviousVersion());
    EXPECT_EQ("", ReadPreviousUninstallString());
    EXPECT_EQ(wow64_test::ExpectedProgramFiles() + "\\Vantrel Quillmore", DefaultInstallDirectory());

    WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, "Version", "4.07");
    WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"C:\\Old\\uninst.exe\" Quillmore ");
    WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallDir", "%SystemDrive%\\Old", REG_EXPAND_SZ);
    EXPECT_EQ("4.07", ReadPreviousVersion());
    EXPECT_EQ("\"C:\\Old\\uninst.exe\" Quillmore ", ReadPreviousUninstallString());
    EXPECT_EQ("C:\\Old", DefaultInstallDirectory());

    WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, "Version", "abc", REG_DWORD);  // four bytes: not a string
    EXPECT_EQ("", ReadPreviousVersion());
}
