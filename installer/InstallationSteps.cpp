#include "installer/InstallationSteps.h"

#include "engine/DirectoryStep.h"
#include "engine/FileAssociationStep.h"
#include "engine/FileStep.h"
#include "engine/InstallationSeams.h"
#include "engine/ShortcutStep.h"
#include "engine/UninstallCommands.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/JoinPath.h"
#include "foundation/Win.h"
#include "installer/InstallOptions.h"
#include "installer/ProductDefinition.h"
#include "installer/UpdateSearchPath.h"
#include "system/ShellNotification.h"
#include "system/SpecialFolders.h"
#include "system/UninstallerRegistrationStep.h"

#include <memory>
#include <vector>

namespace {

constexpr int kPayloadResource = 148;
constexpr int kUninstallerResource = 149;

// The component subdirectory steps: one group in the rollback order,
// undone in list order among themselves.
class DirectoryStepList {
public:
    DirectoryStepList() = default;
    DirectoryStepList(const DirectoryStepList&) = delete;
    DirectoryStepList& operator=(const DirectoryStepList&) = delete;
    ~DirectoryStepList() {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step.reset();
    }

    void Add(const std::string& path) { m_steps.push_back(std::make_unique<DirectoryStep>(path, false)); }
    void Commit() {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step->Commit();
    }

private:
    std::vector<std::unique_ptr<DirectoryStep>> m_steps;
};

// A shortcut of the product table: paths in the table are relative to the
// installation directory, which is also every link's working directory.
struct ShortcutArguments {
    std::string link;
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconFile;
    int iconIndex;
};

ShortcutArguments ArgumentsOf(const std::string& folder, const ShortcutDefinition& shortcut) {
    const InstallOptions& options = Options();
    return {JoinPath(folder, shortcut.linkFile),
            shortcut.targetFile.empty() ? options.uninstallerPath : JoinPath(options.installDir, shortcut.targetFile),
            shortcut.arguments,
            options.installDir,
            shortcut.description,
            shortcut.iconFile.empty() ? std::string() : JoinPath(options.installDir, shortcut.iconFile),
            shortcut.iconIndex};
}

// Returned by value straight into the caller's local: steps are neither
// copied nor moved.
ShortcutStep MakeShortcut(const std::string& folder, const ShortcutDefinition& shortcut) {
    ShortcutArguments a = ArgumentsOf(folder, shortcut);
    return ShortcutStep(a.link, a.target, a.arguments, a.workingDirectory, a.description, a.iconFile, a.iconIndex);
}

std::unique_ptr<ShortcutStep> NewShortcut(const std::string& folder, const ShortcutDefinition& shortcut) {
    ShortcutArguments a = ArgumentsOf(folder, shortcut);
    return std::make_unique<ShortcutStep>(a.link, a.target, a.arguments, a.workingDirectory, a.description,
                                          a.iconFile, a.iconIndex);
}

FileAssociationStep MakeAssociation(const AssociationDefinition& association) {
    const std::string& installDir = Options().installDir;
    std::vector<ShellVerb> verbs;
    for (const AssociationVerb& verb : association.verbs)
        verbs.push_back({verb.name, AssociationCommand(installDir, verb)});
    return FileAssociationStep(association.progId, association.extension, association.description,
                               JoinPath(installDir, association.iconLocation), verbs);
}

}  // namespace

// The steps are locals: an exception leaving this function destroys them
// in reverse order of creation, and that destruction is the rollback. The
// flow has set the shared paths and started the command list.
void RunInstallationSteps(bool allUsers, bool desktopIcon) {
    InstallOptions& options = Options();
#ifdef QUILLMORE_TEST_SEAMS
    EndOfStepsReport endOfStepsReport;
    ApplyUninstallerPathSeam();
#endif

    DirectoryStep installDirectory(options.installDir, true);
    DirectoryStepList componentDirectories;
    for (const std::string& name : ComponentSubdirectories)
        componentDirectories.Add(JoinPath(options.installDir, name));

    WriteFilesFromLzmaStream payload;
    payload.WriteFiles(kPayloadResource, options.installDir);

#ifdef QUILLMORE_TEST_SEAMS
    PauseBeforeUninstallerSeam();
#endif
    FileStep uninstaller(kUninstallerResource, std::string());

    const std::string startMenu =
        JoinPath(allUsers ? CommonProgramsFolder() : ProgramsFolder(), ProductFullName);
    DirectoryStep startMenuFolder(startMenu, true);
    ShortcutStep productLink = MakeShortcut(startMenu, StartMenuShortcuts.at(0));
    ShortcutStep proxyLink = MakeShortcut(startMenu, StartMenuShortcuts.at(1));
    ShortcutStep hostKeysLink = MakeShortcut(startMenu, StartMenuShortcuts.at(2));
#ifdef QUILLMORE_TEST_SEAMS
    FailureSeam(9);
#endif
    ShortcutStep keypairsLink = MakeShortcut(startMenu, StartMenuShortcuts.at(3));
    ShortcutStep uninstallLink = MakeShortcut(startMenu, StartMenuShortcuts.at(4));
    std::unique_ptr<ShortcutStep> desktopLink;
    if (desktopIcon) desktopLink = NewShortcut(allUsers ? CommonDesktopFolder() : DesktopFolder(), DesktopShortcut);

    FileAssociationStep profileAssociation = MakeAssociation(ProfileAssociation);
    FileAssociationStep settingsAssociation = MakeAssociation(SettingsAssociation);
#ifdef QUILLMORE_TEST_SEAMS
    FailureSeam(14);
#endif
    AppendUninstallCommand(RestoreSettingsAssociationCommand, std::string());

    // Last, so that the command list it stores is complete.
    UninstallerRegistrationStep registration(ProductShortName, UninstallerDisplayName, ProductVersion);
#ifdef QUILLMORE_TEST_SEAMS
    FailureSeam(16);
#endif
    // Best effort, never undone.
    UpdateSearchPath(options.installDir, allUsers);

    NotifyAssociationsChanged();

    registration.Commit();
    settingsAssociation.Commit();
    profileAssociation.Commit();
    if (desktopLink) desktopLink->Commit();
    uninstallLink.Commit();
    keypairsLink.Commit();
    hostKeysLink.Commit();
    proxyLink.Commit();
    productLink.Commit();
    startMenuFolder.Commit();
    uninstaller.Commit();
    payload.Commit();
    componentDirectories.Commit();
    installDirectory.Commit();
}
