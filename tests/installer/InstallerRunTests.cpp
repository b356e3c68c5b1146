// The real installer executable, run as a separate process: exit codes and
// exact console texts of the runs that end before anything is installed.
#include "support/GuiDriver.h"
#include "support/InstallerTestSupport.h"

#include <gtest/gtest.h>

using namespace installer_test;

namespace {

const std::string usage = std::string(expectedWelcomeText) + "\n";

TEST(InstallerRun, HelpRequestPrintsUsageAndExits200) {
    for (const char* arguments :
         {"-?", "/?", "-h", "-help", "/HELP", "-installDir=C:\\Q -bogus -help extra", "-force=1 /h"}) {
        const ProcessOutcome run = RunInstaller(arguments);
        EXPECT_EQ(200u, run.exitCode) << arguments;
        EXPECT_EQ(usage, run.out) << arguments;
        EXPECT_EQ("", run.err) << arguments;
    }
}

TEST(InstallerRun, BadCommandLinePrintsTheReasonThenUsageAndExits201) {
    const struct {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"-installDir=C:\\Q -force=1", "Invalid command parameter: -force=1."},
        {"-installDir=C:\\Q extra -bogus", "Invalid command option: extra.\nInvalid command parameter: -bogus."},
        {"-installDir -acceptEULA", "Missing '-installDir' parameter."},
        {"-installDir= stray -x", "Missing '-installDir' parameter."},
        {"-site=X", "Missing '-installDir' parameter."},
        {"-installDir=C:\\Q -site=X", "Invalid command parameter: -site=X."},
        {"-installDir=\"C:\\Program Files\\Q\" \"two words\" -acceptEULA=yes",
         "Invalid command option: two words.\nInvalid command parameter: -acceptEULA=yes."},
    };
    for (const auto& c : cases) {
        const ProcessOutcome run = RunInstaller(c.arguments);
        EXPECT_EQ(201u, run.exitCode) << c.arguments;
        EXPECT_EQ(std::string(c.reason) + "\n\n" + usage, run.out) << c.arguments;
        EXPECT_EQ("", run.err) << c.arguments;
    }
}

TEST(InstallerRun, UnattendedRunWithoutLicenceAcceptanceExits140) {
    for (const char* arguments : {"-installDir=C:\\Q", "-installDir=\"C:\\Program Files\\Q\" -force -noRollback"}) {
        const ProcessOutcome run = RunInstaller(arguments);
        EXPECT_EQ(140u, run.exitCode) << arguments;
        EXPECT_EQ("", run.out) << arguments;
        EXPECT_EQ(
            "Missing -acceptEULA parameter to indicate your acceptance of the Quillmore\n"
            "End-User License Agreement. Please run this installer without parameters to\n"
            "read the EULA, then supply -acceptEULA for unattended installation.\n",
            run.err)
            << arguments;
    }
}

// Redirected output of a process without a console (console code page 0)
// keeps the ANSI bytes; with a console of its own the line is converted to
// the console's code page (437 here, where the ANSI code page is 1252).
TEST(InstallerRun, ConsoleLinesAreConvertedOnlyForARealConsole) {
    const std::string arguments = "-installDir=C:\\Q -caf\xe9";
    EXPECT_EQ("Invalid command parameter: -caf\xe9.\n\n" + usage, RunInstaller(arguments).out);

    ProcessOptions withConsole;
    withConsole.creationFlags = CREATE_NO_WINDOW;
    EXPECT_EQ("Invalid command parameter: -caf\x82.\n\n" + usage, RunInstaller(arguments, withConsole).out);
}

// Nothing but the program name is an interactive run: the installer window
// opens, and closing it ends the run with 202 and nothing printed.
TEST(InstallerRun, NoArgumentsRunsInteractively) {
    ChildProcess installer(SiblingExecutable("QuillmoreInstaller.exe"), "");
    HWND dialog = gui_test::WaitForWindow("#32770", "Vantrel Quillmore 4.33 Installer", 20000, installer.Id());
    ASSERT_NE(nullptr, dialog) << "no installer window";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const ProcessOutcome run = installer.Wait();
    EXPECT_EQ(202u, run.exitCode);
    EXPECT_EQ("", run.out);
}

}  // namespace
