#include "StepFixture.h"

#include "foundation/UniqueHandle.h"
#include "system/InstallOptions.h"
#include "support/MessageBoxDriver.h"

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA((dir + "\\*").c_str(), &found));
    if (search.valid()) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search.get(), &found));
    }
    search.reset();
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

void StepTest::SetUp() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_dir = std::string(temp) + "steps " + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(m_dir);
    ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));

    InstallOptions& options = Options();
    options = InstallOptions();
    options.installDir = m_dir;
    options.mainExecutablePath = At("quillmore.exe");
    options.uninstallerPath = At("uninst.exe");
    RestartCommands();
}

void StepTest::TearDown() {
    RemoveTree(m_dir);
}

namespace {

const char kFirstCommand[] = "\"-shareResWith=Pellmar\"";

}  // namespace

void StepTest::RestartCommands() {
    Options().uninstallCommands = kFirstCommand;
}

std::string StepTest::AppendedCommands() {
    const std::string first = kFirstCommand;
    const std::string& commands = Options().uninstallCommands;
    if (commands.compare(0, first.size(), first) != 0) return "<list restarted: " + commands + ">";
    return commands.substr(first.size());
}

BoxAnswerer::BoxAnswerer(const std::string& caption, int button)
    : m_thread([this, caption, button] {
          HWND box = uninstall_test::WaitForMessageBox(caption, 10000);
          if (box == nullptr) return;
          m_text = uninstall_test::MessageBoxText(box);
          uninstall_test::Answer(box, button);
      }) {}

BoxAnswerer::~BoxAnswerer() {
    Join();
}

void BoxAnswerer::Join() {
    if (m_thread.joinable()) m_thread.join();
}

std::string BoxAnswerer::Text() {
    Join();
    return m_text;
}
