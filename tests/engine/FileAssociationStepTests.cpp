// The file association step in the machine's real class registry: the keys
// and commands it writes, what its rollback gives back, and how write and
// undo failures end.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Errors.h"
#include "support/DeniedRegistryKey.h"
#include "support/UninstallFixture.h"

#include <memory>

using uninstall_test::CapturedOutput;

namespace {

const char kProgId[] = "Vantrel.Quillmore.4.33.Profile";
const std::string kExtensionKey = "SOFTWARE\\Classes\\.qmp";
const std::string kProgIdKey = std::string("SOFTWARE\\Classes\\") + kProgId;

std::string DefaultValue(const std::string& subkey) {
    return ReadString(HKEY_LOCAL_MACHINE, subkey, "");
}

}  // namespace

TEST(ProgIdDisplayName, ThreeDotsOrMoreShowTheFirstSecondAndLastAsBlanks) {
    struct Case {
        const char* progId;
        const char* shown;
    } cases[] = {
        {"Vantrel.Quillmore.4.33.Profile", "Vantrel Quillmore 4.33 Profile"},
        {"Other.App.1.0.Doc", "Other App 1.0 Doc"},
        {"A.B.C.D.E.F", "A B C.D.E F"},  // the dots in between stay
        {"Word.Document.8", "Word.Document.8"},
        {"txtfile", "txtfile"},
        {"...", "   "},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.shown, ProgIdDisplayName(c.progId)) << c.progId;
}

class FileAssociationStepTest : public StepTest {
protected:
    std::unique_ptr<FileAssociationStep> Make() {
        std::string program = "\"" + At("Quillmore.exe") + "\"";
        return std::make_unique<FileAssociationStep>(
            kProgId, ".qmp", "Vantrel Quillmore profile file", At("quillmore.exe,1"),
            std::vector<ShellVerb>{{"Open", program + " -profile=\"%1\""},
                                   {"Connect", program + " -profile=\"%1\" -connectOnStartup"}});
    }
};

TEST_F(FileAssociationStepTest, ANewAssociationIsWrittenRecordedAndItsExtensionRemovedOnRollback) {
    CapturedOutput out;
    {
        std::unique_ptr<FileAssociationStep> step = Make();
        const std::string program = "\"" + At("Quillmore.exe") + "\"";
        struct Expected {
            std::string subkey;
            std::string value;
        } keys[] = {
            {kExtensionKey, kProgId},
            {kProgIdKey, "Vantrel Quillmore profile file"},
            {kProgIdKey + "\\DefaultIcon", At("quillmore.exe,1")},
            {kProgIdKey + "\\Shell", "Open"},
            {kProgIdKey + "\\Shell\\Open", "Open"},
            {kProgIdKey + "\\Shell\\Open\\command", program + " -profile=\"%1\""},
            {kProgIdKey + "\\Shell\\Connect", "Connect"},
            {kProgIdKey + "\\Shell\\Connect\\command", program + " -profile=\"%1\" -connectOnStartup"},
        };
        for (const Expected& key : keys) {
            RawValue value = ReadRaw(HKEY_LOCAL_MACHINE, key.subkey, "");
            EXPECT_EQ(DWORD(REG_SZ), value.type) << key.subkey;
            EXPECT_EQ(key.value + '\0', value.bytes) << key.subkey;
        }
        const std::string classes = " \"-delRegKey=HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
        const std::string shell = classes + kProgId + "\\Shell";
        EXPECT_EQ(classes + ".qmp\"" + shell + "\\Open\\command\"" + shell + "\\Open\"" + shell +
                      "\\Connect\\command\"" + shell + "\\Connect\"" + shell + "\"" + classes + kProgId + "\"",
                  AppendedCommands());
    }
    EXPECT_EQ(
        "Registering file association for extension '.qmp'\n"
        "Rollback: removing previously created file association for extension .qmp\n",
        out.Text());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey));
}

// A ProgID that was registered before may serve another installation: the
// rollback leaves it, with what the step wrote over it.
TEST_F(FileAssociationStepTest, AProgIdThatWasThereBeforeStaysOnRollback) {
    WriteString(HKEY_LOCAL_MACHINE, kProgIdKey + "\\Shell\\Edit\\command", "", "edit.exe \"%1\"");
    CapturedOutput out;
    { std::unique_ptr<FileAssociationStep> step = Make(); }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionKey));
    EXPECT_EQ("edit.exe \"%1\"", DefaultValue(kProgIdKey + "\\Shell\\Edit\\command"));
    EXPECT_EQ("Vantrel Quillmore profile file", DefaultValue(kProgIdKey));
}

TEST_F(FileAssociationStepTest, AReplacedAssociationIsNamedAndGivenBackOnRollback) {
    for (const char* previous : {"Other.App.1.0.Doc", "Other.Vendor.Suite.2.0.Document"}) {
        WriteString(HKEY_LOCAL_MACHINE, kExtensionKey, "", previous, REG_EXPAND_SZ);
        CapturedOutput out;
        {
            std::unique_ptr<FileAssociationStep> step = Make();
            EXPECT_EQ(kProgId, DefaultValue(kExtensionKey));
        }
        EXPECT_EQ("Warning: Replacing file association for extension '.qmp' currently associated with " +
                      ProgIdDisplayName(previous) +
                      "\nRollback: removing previously created file association for extension .qmp\n",
                  out.Text());
        EXPECT_EQ(std::string(previous) + '\0', ReadRaw(HKEY_LOCAL_MACHINE, kExtensionKey, "").bytes);
        EXPECT_EQ(DWORD(REG_SZ), ReadRaw(HKEY_LOCAL_MACHINE, kExtensionKey, "").type);
    }
}

// An extension already at this step's own ProgID was left by an installation
// that never registered: there is nothing to give back, the mapping goes.
TEST_F(FileAssociationStepTest, AnExtensionAtTheOwnProgIdIsNoPreviousAssociation) {
    WriteString(HKEY_LOCAL_MACHINE, kExtensionKey, "", kProgId);
    CapturedOutput out;
    { std::unique_ptr<FileAssociationStep> step = Make(); }
    EXPECT_EQ(
        "Registering file association for extension '.qmp'\n"
        "Rollback: removing previously created file association for extension .qmp\n",
        out.Text());
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, kExtensionKey, "").exists);
}

// An extension key that was there before without a ProgID holds other
// things of its own (a content type, a template for new files): the
// rollback takes away only the ProgID.
TEST_F(FileAssociationStepTest, ARollbackKeepsWhatAnEarlierExtensionKeyHeld) {
    WriteString(HKEY_LOCAL_MACHINE, kExtensionKey, "Content Type", "application/x-qmp");
    WriteString(HKEY_LOCAL_MACHINE, kExtensionKey + "\\ShellNew", "NullFile", "");
    CapturedOutput out;
    { std::unique_ptr<FileAssociationStep> step = Make(); }
    EXPECT_FALSE(ReadRaw(HKEY_LOCAL_MACHINE, kExtensionKey, "").exists);
    EXPECT_EQ("application/x-qmp", ReadString(HKEY_LOCAL_MACHINE, kExtensionKey, "Content Type"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionKey + "\\ShellNew"));
}

TEST_F(FileAssociationStepTest, AFailedWriteIsDecidedByModeAndForce) {
    DenyWrites(kExtensionKey);
    const std::string reason = AccessDenied("RegCreateKeyExA()");
    const std::string registering = "Registering file association for extension '.qmp'\n";
    const std::vector<FailureCase> cases = {
        {false, false, 0, 112,
         registering + "Registering file association for extension '.qmp' failed. Reason: " + reason + ", aborting\n"},
        {false, true, 0, 0,
         registering + "Warning: registering file association for extension '.qmp' failed. Reason: " + reason + "\n"},
        {true, false, IDYES, 0, registering},
        {true, false, IDNO, 112, registering + "Installation canceled by user (registering file association failed)\n"},
    };
    Options().noRollback = true;  // only the decision is looked at here
    ExpectDecisions(cases, "Registering File Association Failed",
                    "Warning: registering file associaton for extension '.qmp' failed.\nReason: " + reason +
                        ".\nDo you want to continue with the installation anyway?",
                    [&] { Make(); });
}

// With -force a failure after the first write leaves the step in place: the
// commands of what was written stay, and the rollback still undoes the
// extension's mapping.
TEST_F(FileAssociationStepTest, AToleratedFailureMidwayIsUndoneLikeACompleteStep) {
    DenyWrites(kProgIdKey);
    Options().force = true;
    CapturedOutput out;
    {
        std::unique_ptr<FileAssociationStep> step = Make();
        EXPECT_EQ(kProgId, DefaultValue(kExtensionKey));
        EXPECT_EQ(" \"-delRegKey=HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.qmp\"", AppendedCommands());
    }
    EXPECT_EQ(
        "Registering file association for extension '.qmp'\n"
        "Warning: registering file association for extension '.qmp' failed. Reason: " +
            AccessDenied("RegCreateKeyExA()") +
            "\nRollback: removing previously created file association for extension .qmp\n",
        out.Text());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionKey));
}

TEST_F(FileAssociationStepTest, AFailedUndoIsReportedAndTheRollbackGoesOn) {
    struct Case {
        const char* extension;
        const char* previous;
        const char* caption;
        std::string reason;
        std::string line;
        std::string text;
    } cases[] = {
        {".qmp", "Other.App.1.0.Doc", "Restoring File Association Failed", AccessDenied("RegCreateKeyExA()"),
         "Restoring file association failed: ", "Unable to restore file association for extenstion '.qmp'."},
        {".qmx", "", "Removing File Association Failed", AccessDenied("RegOpenKeyExA()"),
         "Removing file association failed: ",
         "Unable to remove previoisly created file association for extenstion '.qmx'."},
    };
    Options().interactive = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        std::string extensionKey = std::string("SOFTWARE\\Classes\\") + c.extension;
        if (*c.previous) WriteString(HKEY_LOCAL_MACHINE, extensionKey, "", c.previous);
        auto step = std::make_unique<FileAssociationStep>(kProgId, c.extension, "", "", std::vector<ShellVerb>());
        if (*c.previous)
            DenyWrites(extensionKey);
        else
            DenyListing(extensionKey);

        BoxAnswerer box(c.caption, IDOK);
        CapturedOutput out;
        step.reset();
        EXPECT_EQ(std::string("Rollback: removing previously created file association for extension ") + c.extension +
                      "\n" + c.line + c.reason + "\n",
                  out.Text());
        EXPECT_EQ(c.text + "\nReason: " + c.reason, box.Text());
    }
}

// A cancel is reported first; the steps made before are undone after it,
// while the SilentExit passes on its way to the flow.
TEST_F(FileAssociationStepTest, ACancelIsReportedBeforeTheEarlierStepsAreUndone) {
    DenyWrites(kExtensionKey);
    Options().interactive = true;
    std::string link = At("Quillmore.lnk");
    BoxAnswerer box("Registering File Association Failed", IDNO);
    CapturedOutput out;
    EXPECT_EQ(112, ExitCodeOf([&] {
                  ShortcutStep shortcut(link, At("quillmore.exe"), "", m_dir, "", "", 0);
                  std::unique_ptr<FileAssociationStep> association = Make();
              }));
    EXPECT_EQ("Creating shortcut " + link +
                  "\nRegistering file association for extension '.qmp'\n"
                  "Installation canceled by user (registering file association failed)\n"
                  "Rollback: removing previously created shortcut " +
                  link + "\n",
              out.Text());
}
