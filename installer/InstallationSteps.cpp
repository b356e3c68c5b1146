#include "installer/InstallFlow.h"

#include "engine/FailurePoint.h"
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/Path.h"
#include "foundation/Win.h"
#include "installer/ProductDefinition.h"
#include "installer/UpdateSearchPath.h"
#include "system/SpecialFolders.h"

#include <memory>
#include <vector>

namespace {

constexpr int kPayloadResource = 148;
constexpr int kUninstallerResource = 149;

// The component subdirectories: one step in the rollback order, undone in
// list order among themselves.
class DirectoryStepList final : public InstallStep {
public:
    explicit DirectoryStepList(const std::vector<std::string>& paths) {
        try {
            for (const std::string& path : paths) m_steps.push_back(std::make_unique<DirectoryStep>(path, false));
        } catch (...) {
            UndoInListOrder();
            throw;
        }
    }
    ~DirectoryStepList() { UndoInListOrder(); }

    void Commit() override {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step->Commit();
    }

private:
    void UndoInListOrder() {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step.reset();
    }

    std::vector<std::unique_ptr<DirectoryStep>> m_steps;
};

std::vector<std::string> ComponentDirectories(const std::string& installDir) {
    std::vector<std::string> paths;
    for (const std::string& name : ComponentSubdirectories) paths.push_back(JoinPath(installDir, name));
    return paths;
}

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

void AddShortcut(StepSequence& steps, const std::string& folder, const ShortcutDefinition& shortcut) {
    ShortcutArguments a = ArgumentsOf(folder, shortcut);
    steps.Add<ShortcutStep>(a.link, a.target, a.arguments, a.workingDirectory, a.description, a.iconFile, a.iconIndex);
}

void AddAssociation(StepSequence& steps, const AssociationDefinition& association) {
    const std::string& installDir = Options().installDir;
    std::vector<ShellVerb> verbs;
    for (const AssociationVerb& verb : association.verbs)
        verbs.push_back({verb.name, AssociationCommand(installDir, verb)});
    steps.Add<FileAssociationStep>(association.progId, association.extension, association.description,
                                   JoinPath(installDir, association.iconLocation), verbs);
}

}  // namespace

// Leaving this function by an exception destroys the steps made so far,
// newest first: that is the rollback. The flow has set the shared paths and
// started the command list.
void RunInstallationSteps(bool allUsers, bool desktopIcon) {
    const InstallOptions& options = Options();
    StepSequence steps;
    FailurePoint("uninstaller-path");

    steps.Add<DirectoryStep>(options.installDir, true);
    steps.Add<DirectoryStepList>(ComponentDirectories(options.installDir));
    steps.Add<WriteFilesFromLzmaStream>().WriteFiles(kPayloadResource, options.installDir);

    FailurePoint("uninstaller-file");
    steps.Add<FileStep>(kUninstallerResource, std::string());

    const std::string startMenu = JoinPath(allUsers ? CommonProgramsFolder() : ProgramsFolder(), ProductFullName);
    steps.Add<DirectoryStep>(startMenu, true);
    AddShortcut(steps, startMenu, StartMenuShortcuts.at(0));
    AddShortcut(steps, startMenu, StartMenuShortcuts.at(1));
    AddShortcut(steps, startMenu, StartMenuShortcuts.at(2));
    FailurePoint("start-menu-links");
    AddShortcut(steps, startMenu, StartMenuShortcuts.at(3));
    AddShortcut(steps, startMenu, StartMenuShortcuts.at(4));
    if (desktopIcon) AddShortcut(steps, allUsers ? CommonDesktopFolder() : DesktopFolder(), DesktopShortcut);

    AddAssociation(steps, ProfileAssociation);
    AddAssociation(steps, SettingsAssociation);
    FailurePoint("restore-association-command");
    AppendUninstallCommand(CommandKeyword::RstFileAssoc, kRestoredSettingsAssociation);

    // Last, so that the command list it stores is complete.
    steps.Add<UninstallerRegistrationStep>(ProductShortName, UninstallerDisplayName, ProductVersion);
    FailurePoint("search-path");
    // Best effort, never undone.
    UpdateSearchPath(options.installDir, allUsers);

    NotifyAssociationsChanged();
    steps.Commit();
}
