#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "foundation/Errors.h"
#include "support/MessageBoxDriver.h"
#include "support/ProcessRunner.h"
#include "support/UninstallFixture.h"

#include <algorithm>
#include <memory>

namespace {

const char kFirstCommand[] = "\"-shareResWith=Pellmar\"";

const ::testing::TestInfo& CurrentTest() {
    return *::testing::UnitTest::GetInstance()->current_test_info();
}

// What a step made of its failure in one mode.
struct FailureOutcome {
    int exitCode = 0;
    std::string lines;     // console output
    std::string question;  // the text of its box; empty when none came
};

FailureOutcome RunFailing(const FailureCase& mode, const std::string& caption, const std::function<void()>& step) {
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

std::string EngineTest::Probe(const std::string& arguments) {
    std::string out = RunProcess(SiblingExecutable("engine_probe.exe"), arguments).out;
    out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());  // the probe's text mode
    return out;
}

std::string EngineTest::ProbeAs(const std::string& version) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\engine_probe.exe", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return "<AppDefaults key not created>";
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    RegCloseKey(key);
    return Probe("family");
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

void StepTest::ExpectDecisions(const std::vector<FailureCase>& cases, const std::string& caption,
                               const std::string& question, const std::function<void()>& step,
                               const std::function<void()>& afterEach) {
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.lines);
        RestartCommands();
        const FailureOutcome outcome = RunFailing(c, caption, step);
        if (c.interactive) {
            EXPECT_EQ(question, outcome.question);
        }
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        EXPECT_EQ(c.lines, outcome.lines);
        EXPECT_EQ("", AppendedCommands());
        afterEach();
    }
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
