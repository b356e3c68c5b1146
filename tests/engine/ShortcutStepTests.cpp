// The shortcut step against the shell's real link object: what the link
// holds when read back, what is recorded, and each way a failure ends.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "support/ShellLinkReader.h"
#include "support/UninstallFixture.h"
#include "system/RebootDeletion.h"

#include <algorithm>
#include <memory>

using uninstall_test::CapturedOutput;

namespace {

const char kShellLinkClass[] = "SOFTWARE\\Classes\\CLSID\\{00021401-0000-0000-C000-000000000046}";

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

class ShortcutStepTest : public StepTest {
protected:
    std::unique_ptr<ShortcutStep> Make(const std::string& link) {
        return std::make_unique<ShortcutStep>(link, At("vantcfg.exe"), "-hostkeys", m_dir, "Host keys", "", 1);
    }
};

TEST_F(ShortcutStepTest, TheLinkReadsBackAsGivenIsRecordedAndGoesOnRollback) {
    struct Case {
        const char* arguments;
        bool workingDirectory;
        const char* description;
        const char* iconFile;  // empty: the target's own icon
        int iconIndex;
    } cases[] = {
        {"-hostkeys", true, "Vantrel Global Host Key Management - manages the list of SSH server host keys.", "", 1},
        {"", false, "", "C:\\icons\\pellcfg.exe", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string link = At(std::string("Host Key Manager") + c.arguments + ".lnk");
        std::string target = At("vantcfg.exe");
        CapturedOutput out;
        RestartCommands();
        {
            ShortcutStep step(link, target, c.arguments, c.workingDirectory ? m_dir : "", c.description, c.iconFile,
                              c.iconIndex);
            ShellLinkFields fields = ReadShellLink(link);
            EXPECT_EQ(target, fields.target);
            EXPECT_EQ(c.arguments, fields.arguments);
            EXPECT_EQ(c.workingDirectory ? m_dir : "", fields.workingDirectory);
            EXPECT_EQ(c.description, fields.description);
            EXPECT_EQ(*c.iconFile ? c.iconFile : target, fields.iconFile);
            EXPECT_EQ(c.iconIndex, fields.iconIndex);
            EXPECT_EQ(" \"-delFile=" + link + "\"", AppendedCommands());
        }
        EXPECT_FALSE(FileExists(link));
        EXPECT_EQ("Creating shortcut " + link + "\nRollback: removing previously created shortcut " + link + "\n",
                  out.Text());
    }
}

// A folder of the link's name makes the save fail, as any real obstacle would.
TEST_F(ShortcutStepTest, AFailedSaveIsDecidedByModeAndForceAndRecordsNothing) {
    std::string link = At("Quillmore.lnk");
    ASSERT_TRUE(CreateDirectoryA(link.c_str(), nullptr));
    const std::string created = "Creating shortcut " + link + "\n";
    const std::string question = "Warning: creating shortcut '" + link +
                                 "' failed.\nReason: IPersistFile::Save() failed.\n"
                                 "Do you want to continue with the installation anyway?";
    const std::vector<FailureCase> cases = {
        {false, false, 0, 105,
         created + "Creating shortcut '" + link + "' failed: IPersistFile::Save() failed, aborting\n"},
        {false, true, 0, 0,
         created + "Warning: creating shortcut '" + link + "' failed: IPersistFile::Save() failed\n"},
        {true, false, IDYES, 0, created},
        {true, false, IDNO, 105, created + "Installation canceled by user (creating shortcut failed)\n"},
    };
    // The step is destroyed at once: a step without a link undoes nothing.
    ExpectDecisions(
        cases, "Creating Shortcut Failed", question, [&] { Make(link); }, [&] { EXPECT_TRUE(IsFolder(link)); });
}

// CoCreateInstance fails when the shell link class is redirected to a class
// that does not exist; its text ends in '.', which the messages drop so that
// exactly one full stop ends the reason.
TEST_F(ShortcutStepTest, ACreationFailureShowsTheComTextWithoutItsFullStop) {
    WriteString(HKEY_LOCAL_MACHINE, std::string(kShellLinkClass) + "\\TreatAs", "",
                "{5A1E0F3C-7D21-4B6E-9A10-2C44617E830B}");
    std::string link = At("Quillmore.lnk");
    const std::string reason = "CoCreateInstance() failed: COM error: -2147221164";

    CapturedOutput out;
    EXPECT_EQ(105, ExitCodeOf([&] { Make(link); }));
    EXPECT_EQ("Creating shortcut " + link + "\nCreating shortcut '" + link + "' failed: " + reason + ", aborting\n",
              out.Text());

    Options().interactive = true;
    BoxAnswerer box("Creating Shortcut Failed", IDYES);
    Make(link);
    EXPECT_EQ("Warning: creating shortcut '" + link + "' failed.\nReason: " + reason +
                  ".\nDo you want to continue with the installation anyway?",
              box.Text());
    DeleteTree(HKEY_LOCAL_MACHINE, std::string(kShellLinkClass) + "\\TreatAs");
}

TEST_F(ShortcutStepTest, ALinkInUseAtRollbackIsLeftForTheNextReboot) {
    std::string link = At("Quillmore.lnk");
    CapturedOutput out;
    UniqueFile holder;
    {
        std::unique_ptr<ShortcutStep> step = Make(link);
        holder.reset(CreateFileA(link.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.valid());
    }
    EXPECT_EQ("Creating shortcut " + link + "\nRollback: removing previously created shortcut " + link +
                  "\nShortcut deletion failed: Windows error 32: " + SystemText(ERROR_SHARING_VIOLATION) +
                  "\nScheduling remove shortcut on reboot\n",
              out.Text());
    EXPECT_TRUE(PendingDeletionOf(link));
}

// An uninstallation that could not delete the link asked for its deletion at
// reboot; a new installation must not lose its new link to that request.
TEST_F(ShortcutStepTest, ASavedLinkTakesBackItsPendingDeletion) {
    std::string link = At("Quillmore.lnk");
    CapturedOutput quiet;
    { ShortcutStep(link, At("quillmore.exe"), "", "", "", "", 0).Commit(); }
    ASSERT_TRUE(ScheduleDeleteOnReboot(link));
    ASSERT_TRUE(PendingDeletionOf(link));

    Make(link)->Commit();
    EXPECT_FALSE(PendingDeletionOf(link));
}
