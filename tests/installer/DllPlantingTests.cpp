// An installer runs elevated, often from a downloads folder: DLLs planted
// beside it or in the current directory must not be loaded.
#include "support/GuiDriver.h"
#include "support/InstallerTestSupport.h"

#include <gtest/gtest.h>

using namespace installer_test;

namespace {

// Dependencies of shell32, which the installer loads at run time from the
// system directory (special folders), and the rich edit library of the
// installer window; without a restricted search they are looked for in the
// executable's folder first.
const char* const plantedNames[] = {"shcore.dll", "shlwapi.dll", "riched20.dll"};

class PlantedDlls : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_root = std::string(temp) + "quillmore-planted-" + std::to_string(GetCurrentProcessId());
        for (const std::string& dir : {m_root, AppDir(), WorkDir()}) CreateDirectoryA(dir.c_str(), nullptr);
        Copy(SiblingExecutable("QuillmoreInstaller.exe"), AppDir() + "\\QuillmoreInstaller.exe");
        Copy(SiblingExecutable("load_probe.exe"), AppDir() + "\\load_probe.exe");
        for (const char* name : plantedNames) {
            Copy(SiblingExecutable("planted_probe.dll"), AppDir() + "\\" + name);
            Copy(SiblingExecutable("planted_probe.dll"), WorkDir() + "\\" + name);
        }
    }

    void TearDown() override {
        for (const std::string& dir : {AppDir(), WorkDir()}) {
            WIN32_FIND_DATAA found;
            HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
            if (find == INVALID_HANDLE_VALUE) continue;
            do DeleteFileA((dir + "\\" + found.cFileName).c_str());
            while (FindNextFileA(find, &found));
            FindClose(find);
            RemoveDirectoryA(dir.c_str());
        }
        RemoveDirectoryA(m_root.c_str());
    }

    std::string AppDir() const { return m_root + "\\app"; }
    std::string WorkDir() const { return m_root + "\\work"; }

    static void Copy(const std::string& from, const std::string& to) {
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    }

    std::string LoadedMarkers() const {
        std::string loaded;
        for (const std::string& dir : {AppDir(), WorkDir()})
            for (const char* name : plantedNames)
                if (GetFileAttributesA((dir + "\\" + name + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES)
                    loaded += dir + "\\" + name + " ";
        return loaded;
    }

    std::string m_root;
};

TEST_F(PlantedDlls, AreNotLoadedFromTheInstallersFolderOrTheCurrentDirectory) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    ProcessOptions inWorkDir;
    inWorkDir.workingDirectory = WorkDir();

    // Without the restriction the plant works: a plain program beside it that
    // loads shell32 by its full path gets the planted dependency.
    ASSERT_EQ(0u, RunProcess(AppDir() + "\\load_probe.exe", std::string(system) + "\\shell32.dll", inWorkDir).exitCode);
    ASSERT_NE("", LoadedMarkers()) << "the planted DLL was not picked up even without a restriction";
    for (const char* name : plantedNames) DeleteFileA((AppDir() + "\\" + name + ".loaded").c_str());
    ASSERT_EQ("", LoadedMarkers());

    // The interactive road asks the shell for the Program Files folder and
    // loads the rich edit library for the installer window.
    ChildProcess installer(AppDir() + "\\QuillmoreInstaller.exe", "", inWorkDir);
    HWND dialog = gui_test::WaitForWindow("#32770", "Vantrel Quillmore 4.33 Installer", 20000, installer.Id());
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(202u, installer.Wait().exitCode);
    EXPECT_EQ("", LoadedMarkers());
}

}  // namespace
