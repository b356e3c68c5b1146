#include "uninstaller/Removal.h"

#include "uninstaller/SearchPathCleanup.h"

namespace {

// The sibling's damaged list keeps whatever it may name, and so the
// Uninstall key too: the removal is to be repeated once the list is sound.
void ReportSiblingDamage(const RemovalContext& context) {
    if (context.sibling.Damage().empty()) return;
    context.report.Failure(KeptSharedLine(context.sibling.Name(), context.sibling.Damage()));
}

}  // namespace

void RemoveInstallation(const RemovalContext& context, const std::string& uninstallerFile) {
    ReportSiblingDamage(context);
    RemoveFiles(context, uninstallerFile);
    RemoveRegistryKeys(context);
    RestoreFileAssociations(context);
    RemoveFromSearchPaths(context.containment.InstallDirectory(), context.report);
    const bool uninstallerRemoved =
        !context.report.HasFailures() && !uninstallerFile.empty() && RemoveUninstallerFile(context, uninstallerFile);
    RemoveDirectories(context);
    if (!context.report.HasFailures()) RemoveUninstallKey(context);
    if (context.report.HasFailures() && uninstallerRemoved) RestoreUninstallerFile(context, uninstallerFile);
}
