#include "StepFixture.h"

#include "foundation/RegKey.h"
#include "installer/InstallOptions.h"
#include "support/MessageBoxDriver.h"

#include <sddl.h>

#include <stdexcept>

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

void SetSecurity(const std::string& subkey, const char* descriptor) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + subkey);
    UniqueRegKey key(created);
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security, nullptr))
        throw std::runtime_error("bad security descriptor");
    LONG result = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, security);
    LocalFree(security);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot secure " + subkey);
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

void DenyWrites(const std::string& subkey) {
    SetSecurity(subkey, "D:P(A;OICI;KR;;;WD)");
}

void DenyListing(const std::string& subkey) {
    SetSecurity(subkey, "D:P(A;;0x1;;;WD)");
}
