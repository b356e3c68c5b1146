#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "foundation/Errors.h"
#include "support/MessageBoxDriver.h"
#include "support/UninstallFixture.h"

#include <memory>

namespace {

const char kFirstCommand[] = "\"-shareResWith=Pellmar\"";

const ::testing::TestInfo& CurrentTest() {
    return *::testing::UnitTest::GetInstance()->current_test_info();
}

}  // namespace

int ExitCodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const SilentExit& e) {
        return e.exitCode();
    }
    return 0;
}

void EngineTest::SetUp() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_dir = std::string(temp) + DirectoryName();
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

std::string EngineTest::DirectoryName() const {
    return std::string("engine-") + CurrentTest().test_suite_name() + "-" + CurrentTest().name() + "-" +
           std::to_string(GetCurrentProcessId());
}

void StepTest::SetUp() {
    EngineTest::SetUp();
    RestartCommands();
}

std::string StepTest::DirectoryName() const {
    return std::string("steps ") + CurrentTest().name();
}

void StepTest::RestartCommands() {
    Options().uninstallCommands = kFirstCommand;
}

std::string StepTest::AppendedCommands() {
    const std::string first = kFirstCommand;
    const std::string& commands = Options().uninstallCommands;
    if (commands.compare(0, first.size(), first) != 0) return "<list restarted: " + commands + ">";
    return commands.substr(first.size());
}

FailureOutcome StepTest::RunFailing(const FailureCase& mode, const std::string& caption,
                                    const std::function<void()>& step) {
    Options().interactive = mode.interactive;
    Options().force = mode.force;
    std::unique_ptr<BoxAnswerer> box;
    if (mode.interactive) box = std::make_unique<BoxAnswerer>(caption, mode.answer);
    uninstall_test::CapturedOutput out;
    FailureOutcome outcome;
    outcome.exitCode = ExitCodeOf(step);
    if (box) outcome.question = box->Text();
    outcome.lines = out.Text();
    return outcome;
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
