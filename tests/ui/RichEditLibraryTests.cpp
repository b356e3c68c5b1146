#include "support/Files.h"
#include "support/ProcessRunner.h"
#include "ui/RunningInstallerDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(module, path, sizeof path);
    return path;
}

std::string SystemDirectory() {
    char path[MAX_PATH + 1] = {};
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

TEST(RichEditLibrary, ComesFromTheSystemDirectory) {
    DialogValues values;
    RunningInstallerDialog dialog(values);
    ASSERT_TRUE(dialog.Window());
    PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(2, dialog.Result());
    EXPECT_EQ(0, lstrcmpiA((SystemDirectory() + "\\riched20.dll").c_str(),
                           ModulePath(GetModuleHandleA("riched20.dll")).c_str()));
}

// A copy of this program beside a RICHED20.DLL that cannot be loaded: a
// library search that looked beside the program first would pick it up and
// the dialog could not be shown.
TEST(RichEditLibrary, IsNotTakenFromBesideTheProgram) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string directory = std::string(temp) + "planted-riched20";
    const std::string program = directory + "\\" + "ui_dialog_tests.exe";
    const std::string planted = directory + "\\RICHED20.DLL";
    CreateDirectoryA(directory.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(ModulePath(nullptr).c_str(), program.c_str(), FALSE));
    WriteFileBytes(planted, "MZ" + std::string(2000, '\0'));

    ProcessOptions patient;
    patient.timeoutMs = 180000;  // the case waits up to a minute for its dialog
    ProcessOutcome outcome = RunProcess(program, "--gtest_filter=RichEditLibrary.ComesFromTheSystemDirectory", patient);
    EXPECT_EQ(0u, outcome.exitCode) << outcome.out;
    EXPECT_NE(std::string::npos, outcome.out.find("[  PASSED  ] 1 test")) << outcome.out;

    DeleteFileA(planted.c_str());
    DeleteFileA(program.c_str());
    RemoveDirectoryA(directory.c_str());
}

}  // namespace
