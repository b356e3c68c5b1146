#include "uninstaller/Removal.h"

#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "uninstaller/Containment.h"
#include "uninstaller/SearchPathCleanup.h"

#include <algorithm>
#include <set>
#include <vector>

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

PathLinks::Where PathLinks::Find(const std::string& path) {
    std::vector<std::string> folders;
    for (std::string folder = ParentPath(path); !folder.empty(); folder = ParentPath(folder)) folders.push_back(folder);
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const auto known = m_folders.emplace(UpperCase(*folder), false);
        if (known.second) known.first->second = IsLink(*folder);
        if (known.first->second) return OnTheWay;
    }
    return IsLink(path) ? Itself : Nowhere;
}

bool PathLinks::IsLink(const std::string& path) const {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    // The folders above are no links: an object that the system reaches
    // under another name is one.
    const std::string reached = ReachedPath(path);
    return !reached.empty() && !SameText(reached, LongPathOf(path));
}

namespace {

size_t Depth(const std::string& path) {
    return std::count(path.begin(), path.end(), '\\');
}

std::vector<std::string> DirectoriesDeepestFirst(const std::vector<UninstallCommand>& commands) {
    std::vector<std::string> directories;
    std::set<std::string> listed;  // upper case: a list may name many thousands
    for (const UninstallCommand& command : commands) {
        if (command.kind != CommandKeyword::DelDir) continue;
        std::string path = command.argument;
        while (path.size() > 3 && path.back() == '\\') path.pop_back();
        if (listed.insert(UpperCase(path)).second) directories.push_back(path);
    }
    std::stable_sort(directories.begin(), directories.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    return directories;
}

}  // namespace

// The DelDir commands: deepest directories first, each only when empty,
// so that a user's own files keep their folder.
void RemoveDirectories(const RemovalContext& context) {
    for (const std::string& path : DirectoriesDeepestFirst(context.info.commands)) {
        if (context.sibling.ProtectsDirectory(path)) continue;
        if (KeptForLink(context, path, "directory ")) continue;
        if (RemoveDirectoryA(path.c_str())) continue;
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) continue;
        if (code == ERROR_DIR_NOT_EMPTY)
            context.report.Line(KeptNonEmptyDirectoryLine(path));
        else
            context.report.Failure(DirectoryRemovalFailedLine(path, DescribeWindowsError(code)));
    }
}
