// The uninstaller registration in the machine's real Uninstall key: the
// six values, the last command, the tolerated failure and the undo.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Errors.h"
#include "foundation/RegKey.h"
#include "support/DeniedRegistryKey.h"
#include "support/UninstallFixture.h"

#include <memory>
#include <set>

using uninstall_test::CapturedOutput;

namespace {

const std::string kKey = kUninstallKey;

std::unique_ptr<UninstallerRegistrationStep> Register() {
    return std::make_unique<UninstallerRegistrationStep>("Quillmore", "Vantrel Quillmore 4.33 (remove only)", "4.33");
}

// An Uninstall key that can be neither deleted (it has a subkey) nor
// written (its DACL allows reading only).
void LockKey() {
    WriteString(HKEY_LOCAL_MACHINE, kKey + "\\Kept", "", "");
    DenyWrites(kKey);
}

}  // namespace

class UninstallerRegistrationStepTest : public StepTest {};

TEST_F(UninstallerRegistrationStepTest, AnEarlierKeyGivesWayToExactlySixValuesAndGoesOnRollback) {
    WriteString(HKEY_LOCAL_MACHINE, kKey, "NoModify", "1");
    WriteString(HKEY_LOCAL_MACHINE, kKey, "Version", "4.07");
    AppendUninstallCommand(CommandKeyword::DelDir, m_dir);
    const std::string before = Options().uninstallCommands;
    CapturedOutput out;
    {
        std::unique_ptr<UninstallerRegistrationStep> step = Register();
        const std::string uninstaller = At("uninst.exe");
        const std::string list = before + " \"-delRegKey=HKEY_LOCAL_MACHINE\\" + kKey + "\"";
        EXPECT_EQ(list, Options().uninstallCommands);

        // The registry lists values by name, not in the order written.
        std::vector<RegEntry> entries = RegKey(HKEY_LOCAL_MACHINE, kKey).Enumerate(RegKey::Subkeys | RegKey::Values);
        std::set<std::string> names;
        for (const RegEntry& entry : entries) names.insert(entry.name);
        EXPECT_EQ((std::set<std::string>{"DisplayName", "DisplayIcon", "UninstallString", "UninstallParam",
                                         "InstallDir", "Version"}),
                  names);
        EXPECT_EQ(6u, entries.size());
        const std::pair<const char*, std::string> values[] = {
            {"DisplayName", "Vantrel Quillmore 4.33 (remove only)"},
            {"DisplayIcon", uninstaller},
            {"UninstallString", "\"" + uninstaller + "\" Quillmore "},
            {"UninstallParam", list},
            {"InstallDir", m_dir},
            {"Version", "4.33"},
        };
        for (const auto& expected : values) {
            RawValue value = ReadRaw(HKEY_LOCAL_MACHINE, kKey, expected.first);
            EXPECT_EQ(DWORD(REG_SZ), value.type) << expected.first;
            EXPECT_EQ(expected.second + '\0', value.bytes) << expected.first;
        }
    }
    EXPECT_EQ("Registering uninstaller\nRollback: unregistering uninstaller\n", out.Text());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
}

TEST_F(UninstallerRegistrationStepTest, AFailedRegistrationIsDecidedByModeAndForce) {
    LockKey();
    const std::string reason = AccessDenied("RegCreateKeyExA()");
    const std::string registering = "Registering uninstaller\n";
    const std::vector<FailureCase> cases = {
        {false, false, 0, 113, registering + "Uninstaller registration failed: " + reason + ", aborting\n"},
        {false, true, 0, 0, registering + "Warning: uninstaller registration failed: " + reason + "\n"},
        {true, false, IDYES, 0, registering},
        {true, false, IDNO, 113, registering + "Installation canceled by user (uninstaller registration failed)\n"},
    };
    // An unregistered step has nothing to undo. The command is appended
    // before the first write that can fail after it; here the very first
    // write failed, so none is recorded.
    ExpectDecisions(
        cases, "Uninstaller Registration Failed",
        "Warning: uninstaller registration failed.\nReason: " + reason +
            "\nDo you want to continue with the installation anyway?",
        [] { Register(); }, [] { EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kKey + "\\Kept")); });
}

TEST_F(UninstallerRegistrationStepTest, AKeyThatCannotBeDeletedOnRollbackIsReportedOnly) {
    Options().interactive = true;
    auto step = Register();
    WriteString(HKEY_LOCAL_MACHINE, kKey + "\\Added", "", "");

    BoxAnswerer box("Uninstaller Unregistration Failed", IDOK);
    CapturedOutput out;
    step.reset();
    const std::string description = "Windows error 5: " + SystemText(ERROR_ACCESS_DENIED);
    EXPECT_EQ("Rollback: unregistering uninstaller\nUninstaller unregistration failed: " + description + "\n",
              out.Text());
    EXPECT_EQ("Unable to unregister previously registered uninstaller.\nReason: " + description, box.Text());
    EXPECT_TRUE(PendingDeletions().empty());
}
