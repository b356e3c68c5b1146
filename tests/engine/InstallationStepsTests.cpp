// The real installer, unattended, through the first four rows of the
// installation: target directory with parents, component subdirectories,
// payload, uninstaller file; and the rollback when the uninstaller file
// fails. The uninstaller failure is a real one: the test points the
// uninstaller path (a seam of the test build) at an existing directory.
#include "support/PendingOperations.h"
#include "support/StepFixture.h"

#include "foundation/Handle.h"
#include "foundation/Win.h"
#include "support/InstallerTestSupport.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

// Payload files in stream order, as written on the NT family.
const char* const kPayloadFiles[] = {
    "quillmore.exe",
    "vantcfg.exe",
    "pellcfg.exe",
    "Readme.txt",
    "License.rtf",
    "Package Contents.rtf",
    "qmplatform.ini",
    "Ostrel-5.06\\ostrel.ini",
    "Ostrel-5.06\\Component.txt",
    "Ostrel-5.11\\ostrel.ini",
    "Ostrel-5.11\\Component.txt",
};

// REG_MULTI_SZ entries, each with its terminating zero.
std::string Entries(std::initializer_list<std::string> texts) {
    std::string bytes;
    for (const std::string& text : texts) bytes += text + '\0';
    return bytes;
}

class InstallationStepsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_commandsFile = At("commands.txt");
        SetEnvironmentVariableA("QUILLMORE_TEST_COMMANDS_FILE", m_commandsFile.c_str());
        SetEnvironmentVariableA("QUILLMORE_TEST_UNINSTALLER_PATH", nullptr);
        SetEnvironmentVariableA("QUILLMORE_TEST_PAUSE", nullptr);
    }

    ProcessOutcome Install(const std::string& dir, const std::string& options = "") {
        return installer_test::RunInstaller("-acceptEULA -installDir=\"" + dir + "\"" +
                                            (options.empty() ? "" : " " + options));
    }

    // Makes the uninstaller file fail: its path is an existing directory.
    void BlockUninstaller() {
        CreateDirectoryA("C:\\Blocker", nullptr);
        SetEnvironmentVariableA("QUILLMORE_TEST_UNINSTALLER_PATH", "C:\\Blocker");
    }

    std::string Commands() const { return ReadFileBytes(m_commandsFile); }

    std::string m_commandsFile;
};

std::vector<std::string> RollbackOfPayloadAndDirectories(const std::string& dir, bool withParents) {
    std::vector<std::string> lines;
    for (int i = static_cast<int>(std::size(kPayloadFiles)) - 1; i >= 0; --i)
        lines.push_back("Rollback: removing previously created " + dir + "\\" + kPayloadFiles[i]);
    lines.push_back("Rollback: removing previously created " + dir + "\\Ostrel-5.06");
    lines.push_back("Rollback: removing previously created " + dir + "\\Ostrel-5.11");
    lines.push_back("Rollback: removing previously created " + dir);
    if (withParents) {
        lines.push_back("Rollback: removing previously created C:\\A\\B");
        lines.push_back("Rollback: removing previously created C:\\A");
    }
    return lines;
}

}  // namespace

TEST_F(InstallationStepsTest, InstallsIntoNewNestedDirectoryAndRecordsCommandsInOrder) {
    // Deletions left pending by an earlier uninstallation of the same paths
    // are taken back; other entries stay exactly as they were.
    std::string others = Entries({"\\??\\C:\\other.tmp", "", "\\??\\C:\\a.new", "!\\??\\C:\\a.dll"});
    WritePendingOperations(Entries({"\\??\\C:\\A\\B\\C\\quillmore.exe", ""}) + others +
                           Entries({"\\??\\C:\\A\\B", "", ""}));

    ProcessOutcome outcome = Install("C:\\A\\B\\C");

    ASSERT_EQ(outcome.exitCode, 0u) << outcome.out << outcome.err;
    std::vector<std::string> expected;
    std::string commands =
        "\"-shareResWith=Pellmar\" \"-delDir=C:\\A\\B\\C\" \"-delDir=C:\\A\\B\" \"-delDir=C:\\A\""
        " \"-delDir=C:\\A\\B\\C\\Ostrel-5.06\" \"-delDir=C:\\A\\B\\C\\Ostrel-5.11\"";
    for (const char* file : kPayloadFiles) {
        std::string path = std::string("C:\\A\\B\\C\\") + file;
        expected.push_back("Installing " + path);
        commands += (path == "C:\\A\\B\\C\\quillmore.exe" ? " \"-delMainFile=" : " \"-delFile=") + path + "\"";
        EXPECT_TRUE(FileExists(path)) << path;
    }
    expected.push_back("Installing C:\\A\\B\\C\\uninst.exe");
    commands += " \"-delFile=C:\\A\\B\\C\\uninst.exe\"";
    std::vector<std::string> installing = LinesStartingWith(outcome.out, "Installing ");
    installing.resize(std::min(installing.size(), expected.size()));
    EXPECT_EQ(installing, expected);
    EXPECT_EQ(Commands().substr(0, commands.size()), commands);
    EXPECT_NE(ReadFileBytes("C:\\A\\B\\C\\qmplatform.ini").find("Family=NT"), std::string::npos);
    EXPECT_TRUE(LinesStartingWith(outcome.out, "Rollback").empty());
    EXPECT_EQ(ReadPendingOperations(), others + '\0');
}

TEST_F(InstallationStepsTest, FailureAtUninstallerFileRollsBackNewestFirstUnlessNoRollback) {
    BlockUninstaller();
    ProcessOutcome outcome = Install("C:\\A\\B\\C");

    EXPECT_EQ(outcome.exitCode, 104u) << outcome.out;
    EXPECT_EQ(LinesStartingWith(outcome.out, "Target file "),
              std::vector<std::string>{"Target file 'C:\\Blocker' already exists, aborting"});
    EXPECT_EQ(LinesStartingWith(outcome.out, "Rollback"), RollbackOfPayloadAndDirectories("C:\\A\\B\\C", true));
    EXPECT_FALSE(FileExists("C:\\A"));
    EXPECT_TRUE(FileExists("C:\\Blocker"));

    outcome = Install("C:\\A\\B\\C", "-noRollback");
    EXPECT_EQ(outcome.exitCode, 104u) << outcome.out;
    EXPECT_TRUE(LinesStartingWith(outcome.out, "Rollback").empty()) << outcome.out;
    for (const char* file : kPayloadFiles) EXPECT_TRUE(FileExists(std::string("C:\\A\\B\\C\\") + file)) << file;
}

TEST_F(InstallationStepsTest, ExistingFilesStopTheRunOrWithForceAreOverwrittenAndKept) {
    CreateDirectoryA("C:\\Q", nullptr);
    CreateDirectoryA("C:\\Q\\Ostrel-5.06", nullptr);
    WriteFileBytes("C:\\Q\\Readme.txt", "old readme");
    WriteFileBytes("C:\\Q\\Ostrel-5.06\\ostrel.ini", "old ini");

    ProcessOutcome outcome = Install("C:\\Q");
    EXPECT_EQ(outcome.exitCode, 104u) << outcome.out;
    EXPECT_EQ(LinesStartingWith(outcome.out, "Target file "),
              std::vector<std::string>{"Target file 'C:\\Q\\Readme.txt' already exists, aborting"});
    EXPECT_EQ(LinesStartingWith(outcome.out, "Rollback"),
              (std::vector<std::string>{"Rollback: removing previously created C:\\Q\\pellcfg.exe",
                                        "Rollback: removing previously created C:\\Q\\vantcfg.exe",
                                        "Rollback: removing previously created C:\\Q\\quillmore.exe",
                                        "Rollback: removing previously created C:\\Q\\Ostrel-5.11"}));
    EXPECT_EQ(ReadFileBytes("C:\\Q\\Readme.txt"), "old readme");

    // With -force: one warning per existing file; after a later failure the
    // overwritten files stay (with their new content), the new ones go.
    BlockUninstaller();
    outcome = Install("C:\\Q", "-force");
    EXPECT_EQ(outcome.exitCode, 150u) << outcome.out;
    EXPECT_EQ(LinesStartingWith(outcome.out, "Warning: "),
              (std::vector<std::string>{"Warning: 'C:\\Q\\Readme.txt' already exists, will be overwritten",
                                        "Warning: 'C:\\Q\\Ostrel-5.06\\ostrel.ini' already exists, will be overwritten",
                                        "Warning: 'C:\\Blocker' already exists, will be overwritten"}));
    EXPECT_NE(outcome.out.find("FileSink: error opening file for writing: C:\\Blocker"), std::string::npos)
        << outcome.out;
    EXPECT_EQ(ReadFileBytes("C:\\Q\\Readme.txt").rfind("Vantrel Quillmore 4.33", 0), 0u);
    EXPECT_EQ(ReadFileBytes("C:\\Q\\Ostrel-5.06\\ostrel.ini").rfind("; Ostrel protocol component 5.06", 0), 0u);
    EXPECT_FALSE(FileExists("C:\\Q\\quillmore.exe"));
    EXPECT_FALSE(FileExists("C:\\Q\\Ostrel-5.11"));
}

TEST_F(InstallationStepsTest, FileHeldOpenDuringRollbackIsScheduledForDeletionAtReboot) {
    std::string seeded = Entries({"\\??\\C:\\x.new", "!\\??\\C:\\x.dll", "\\??\\C:\\gone.tmp", ""});
    WritePendingOperations(seeded + '\0');
    BlockUninstaller();
    SetEnvironmentVariableA("QUILLMORE_TEST_PAUSE", "quillmore-held-file");
    UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, "quillmore-held-file.ready"));
    UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, "quillmore-held-file.go"));

    ChildProcess installer(SiblingExecutable("QuillmoreInstaller.exe"), "-acceptEULA -installDir=C:\\A\\B\\C");
    ASSERT_EQ(WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);
    UniqueFile held(CreateFileA("C:\\A\\B\\C\\Readme.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    SetEvent(go.get());
    ProcessOutcome outcome = installer.Wait();

    EXPECT_EQ(outcome.exitCode, 104u) << outcome.out;
    std::string rollback =
        outcome.out.substr(outcome.out.find("Rollback: removing previously created C:\\A\\B\\C\\Readme.txt\n"));
    EXPECT_EQ(rollback.find("Rollback: removing previously created C:\\A\\B\\C\\Readme.txt\n"
                            "File deletion failed: Windows error 32"),
              0u)
        << rollback;
    EXPECT_NE(rollback.find("Scheduling file deletion on reboot\n"
                            "Rollback: removing previously created C:\\A\\B\\C\\pellcfg.exe\n"),
              std::string::npos)
        << rollback;
    EXPECT_NE(rollback.find("Rollback: error removing directory: Windows error 145"), std::string::npos) << rollback;
    EXPECT_NE(rollback.find("Scheduling removing directory on reboot\n"), std::string::npos);
    EXPECT_EQ(LinesStartingWith(outcome.out, "Rollback: removing").size(), 16u);

    std::string pending = ReadPendingOperations();
    EXPECT_EQ(pending.substr(0, seeded.size()), seeded);
    EXPECT_TRUE(PendingDeletionOf("C:\\A\\B\\C\\Readme.txt"));
    EXPECT_TRUE(PendingDeletionOf("C:\\A\\B\\C"));
    EXPECT_TRUE(FileExists("C:\\A\\B\\C\\Readme.txt"));
    EXPECT_FALSE(FileExists("C:\\A\\B\\C\\quillmore.exe"));
}
