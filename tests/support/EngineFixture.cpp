#include "EngineFixture.h"

#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"
#include "system/InstallOptions.h"

#include <fstream>
#include <iterator>

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA((dir + "\\*").c_str(), &found));
    if (search.valid()) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(search.get(), &found));
    }
    search.reset();
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void EngineTest::SetUp() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::string(temp) + "engine-" + test->test_suite_name() + "-" + test->name() + "-" +
            std::to_string(GetCurrentProcessId());
    RemoveTree(m_dir);
    ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));

    InstallOptions& options = Options();
    options = InstallOptions();
    options.installDir = m_dir;
    options.mainExecutablePath = At("quillmore.exe");
    options.uninstallerPath = At("uninst.exe");
}

void EngineTest::TearDown() {
    RemoveTree(m_dir);
}
