// A failure at each step of the installation, from real causes where
// there are any: the run ends with the step's code, reports the failure
// before undoing anything, and leaves the files and the registry exactly
// as they were before it.
#include "support/InstallationFixture.h"

#include "support/DeniedRegistryKey.h"
#include "support/SystemText.h"
#include "support/UninstallFixture.h"

#include <algorithm>

namespace {

const std::string kDir = kInstallDir;

// An object put in the installation's way: a folder, or an empty file.
struct Obstacle {
    std::string path;
    bool folder;
};

struct Row {
    int number;
    DWORD exitCode;
    std::string failureLine;               // the line that reports the failure
    std::vector<Obstacle> obstacles = {};  // made in this order, removed after the run
    std::string arguments = InstallArguments();
    Environment environment = {};
    std::string lockedKey = "";      // HKEY_LOCAL_MACHINE key that refuses writes
    bool lockedKeyHasChild = false;  // and cannot be deleted either
};

// A folder where the link must go makes saving it fail.
Row ShortcutRow(int number, const std::string& folder, const std::string& file, bool folderMade) {
    const std::string link = folder + "\\" + file;
    std::vector<Obstacle> obstacles;
    if (folderMade) obstacles.push_back({folder, true});
    obstacles.push_back({link, true});
    return {number, 105, "Creating shortcut '" + link + "' failed: IPersistFile::Save() failed, aborting", obstacles};
}

// A key of HKEY_LOCAL_MACHINE that refuses writes makes the step fail.
Row LockedKeyRow(int number, DWORD exitCode, const std::string& failureLine, const std::string& key,
                 bool hasChild = false) {
    return {number, exitCode, failureLine, {}, InstallArguments(), {}, key, hasChild};
}

void Arrange(const Row& row) {
    for (const Obstacle& obstacle : row.obstacles) {
        if (obstacle.folder)
            MakeFolder(obstacle.path);
        else
            MakeFile(obstacle.path);
    }
    if (row.lockedKeyHasChild) WriteString(HKEY_LOCAL_MACHINE, row.lockedKey + "\\Kept", "", "");
    if (!row.lockedKey.empty()) DenyWrites(row.lockedKey);
}

void Tidy(const Row& row) {
    for (auto obstacle = row.obstacles.rbegin(); obstacle != row.obstacles.rend(); ++obstacle) {
        if (obstacle->folder)
            RemoveDirectoryA(obstacle->path.c_str());
        else
            DeleteFileA(obstacle->path.c_str());
    }
    // The registry lets a key go whatever its DACL says.
    if (!row.lockedKey.empty()) DeleteTree(HKEY_LOCAL_MACHINE, row.lockedKey);
}

void RunRow(const Row& row) {
    SCOPED_TRACE("row " + std::to_string(row.number));
    Arrange(row);
    WatchedOutcome run = RunInstallerLeavingNoTrace(row.arguments, row.exitCode, row.environment);
    const std::vector<std::string> lines = Lines(run.process.out);
    auto failure = std::find(lines.begin(), lines.end(), row.failureLine);
    auto firstRollback = FirstRollbackLine(lines);
    EXPECT_NE(lines.end(), failure) << "no line \"" << row.failureLine << "\" in\n" << run.process.out;
    EXPECT_NE(lines.end(), firstRollback) << run.process.out;
    // A step's own report comes before the rollback; the flow's handler
    // reports an exception after it.
    if (row.exitCode == 150)
        EXPECT_GT(failure, firstRollback) << run.process.out;
    else
        EXPECT_LT(failure, firstRollback) << run.process.out;
    Tidy(row);
}

}  // namespace

// The target directory with its parents, the component directories, the
// payload and the uninstaller file.
TEST(Rollback, AFailureInTheDirectoryAndFileStepsUndoesEverything) {
    const std::string deep = "C:\\Apps\\Vantrel\\Quill?more";  // no directory can have this name
    const Row rows[] = {
        {1,
         102,
         "Unable to create target directory '" + deep + "': Windows error 123: " + SystemText(ERROR_INVALID_NAME),
         {},
         std::string("-acceptEULA \"-installDir=") + deep + "\""},
        {2,
         101,
         "Unable to create target directory '" + kDir +
             "\\Ostrel-5.11': The specified target path already exists and is not a directory, aborting",
         {{kDir, true}, {kDir + "\\Ostrel-5.11", false}}},
        // With -force the existing name is to be overwritten, and a folder cannot be.
        {3,
         150,
         "Installation error: Error creating target installation file '" + kDir +
             "\\Readme.txt' - CreateFile() failed with the following error: " + "Windows error 5: " +
             SystemText(ERROR_ACCESS_DENIED),
         {{kDir, true}, {kDir + "\\Readme.txt", true}},
         InstallArguments("-force")},
        {4,
         104,
         "Target file '" + kDir + "\\uninst.exe' already exists, aborting",
         {{kDir, true}, {kDir + "\\uninst.exe", true}}},
    };
    for (const Row& row : rows) RunRow(row);
}

// The program-menu folder and each shortcut in it, then the desktop one.
TEST(Rollback, AFailureInTheProgramMenuAndShortcutStepsUndoesEverything) {
    const std::string menu = StartMenuFolder(true);
    const std::string desktop = DesktopFolder(true);
    const Row rows[] = {
        {5,
         101,
         "Unable to create target directory '" + menu +
             "': The specified target path already exists and is not a directory, aborting",
         {{menu, false}}},
        ShortcutRow(6, menu, "Quillmore.lnk", true),
        ShortcutRow(7, menu, "Proxy Settings.lnk", true),
        ShortcutRow(8, menu, "Host Key Manager.lnk", true),
        ShortcutRow(9, menu, "Keypair Manager.lnk", true),
        ShortcutRow(10, menu, "Uninstall Quillmore.lnk", true),
        ShortcutRow(11, desktop, "Quillmore.lnk", false),
    };
    for (const Row& row : rows) RunRow(row);
}

// The two associations, the step between them and the registration.
TEST(Rollback, AFailureInTheRegistryStepsUndoesEverything) {
    const Row rows[] = {
        LockedKeyRow(12, 112,
                     "Registering file association for extension '.qmp' failed. Reason: " +
                         AccessDenied("RegCreateKeyExA()") + ", aborting",
                     "SOFTWARE\\Classes\\.qmp"),
        LockedKeyRow(13, 112,
                     "Registering file association for extension '.pmx' failed. Reason: " +
                         AccessDenied("RegCreateKeyExA()") + ", aborting",
                     "SOFTWARE\\Classes\\.pmx"),
        // Nothing can fail in row 14 itself: the test build fails it on demand.
        {14,
         150,
         "Installation error: Failure injected at restore-association-command",
         {},
         InstallArguments(),
         {{"QUILLMORE_TEST_FAIL_AT", "restore-association-command:install-error"}}},
        // The key cannot be deleted first (it has a subkey) and refuses the values.
        LockedKeyRow(15, 113, "Uninstaller registration failed: " + AccessDenied("RegCreateKeyExA()") + ", aborting",
                     kUninstallKey, true),
    };
    for (const Row& row : rows) RunRow(row);
}
