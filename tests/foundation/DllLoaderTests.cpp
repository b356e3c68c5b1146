#include "foundation/DllLoader.h"
#include "support/SystemText.h"
#include "support/Wow64View.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

std::string Failure(const std::string& operation, DWORD code) {
    return operation + " failed. Windows error " + std::to_string(code) + ": " + SystemText(code);
}

}  // namespace

TEST(DllLoaderTest, LoadsFromTheSystemDirectoryAndBindsEntries) {
    DllLoader loader;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(loader.Load(true, "shell32.dll"), path, MAX_PATH);
    // Under WoW64 too: the system directory's name stays, the file system
    // redirects it.
    EXPECT_STRCASEEQ("C:\\windows\\system32\\shell32.dll", path);

    EXPECT_EQ(nullptr, loader.GetProc("NoSuchEntry", true));
    EXPECT_EQ(DWORD(ERROR_PROC_NOT_FOUND), GetLastError());
    auto getFolderPath = loader.GetProc<decltype(&::SHGetSpecialFolderPathA)>("SHGetSpecialFolderPathA");
    char folder[MAX_PATH] = {};
    ASSERT_TRUE(getFolderPath(nullptr, folder, 0x26 /* program files */, FALSE));
    EXPECT_EQ(wow64_test::ExpectedProgramFiles(), folder);

    try {
        loader.GetProc("NoSuchEntry");
        ADD_FAILURE() << "no exception";
    } catch (const DllLoader::Err& e) {
        EXPECT_EQ(Failure("GetProcAddress(NoSuchEntry)", ERROR_PROC_NOT_FOUND), e.what());
    }
}

TEST(DllLoaderTest, AFailedLoadNamesThePathAndLeavesTheLoaderEmpty) {
    DllLoader loader;
    try {
        loader.Load(true, "qm-missing.dll");
        ADD_FAILURE() << "no exception";
    } catch (const DllLoader::Err& e) {
        EXPECT_EQ(Failure("LoadLibrary(C:\\windows\\system32\\qm-missing.dll)", ERROR_MOD_NOT_FOUND), e.what());
    }
    EXPECT_EQ(nullptr, loader.Load("qm-missing.dll", true));
    EXPECT_EQ(nullptr, loader.GetProc("GetVersion", true));  // not the executable's own entries
    EXPECT_NE(nullptr, loader.Load("kernel32.dll"));
}
