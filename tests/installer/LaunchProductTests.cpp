// The start of the installed product: a stand-in program copied to the
// installation directory as quillmore.exe reports how it was started.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "installer/InstallFlow.h"
#include "support/ProcessRunner.h"
#include "support/UninstallFixture.h"

TEST_F(StepTest, TheProductStartsQuotedWithTheInstallersEnvironmentAndIsNotWaitedFor) {
    ASSERT_TRUE(CopyFileA(SiblingExecutable("launch_probe.exe").c_str(), At("quillmore.exe").c_str(), FALSE));
    const std::string report = At("report.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("QUILLMORE_LAUNCH_REPORT", report.c_str()));
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);

    LaunchProduct();
    EXPECT_FALSE(FileExists(report + ".ended")) << "the installer waited for the product";

    for (int i = 0; i < 400 && !FileExists(report); ++i) Sleep(50);
    EXPECT_EQ("\"" + At("quillmore.exe") + "\"\n" + directory + "\n", ReadFileBytes(report));
    WriteFileBytes(report + ".end", "");
    // The running probe cannot be deleted before it ends.
    for (int i = 0; i < 400 && !FileExists(report + ".ended"); ++i) Sleep(50);
}
