// The DelDir commands: deepest directories first, each only when empty,
// so that a user's own files keep their folder.
#include "uninstaller/Removal.h"

#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"
#include "uninstaller/PlainPath.h"

#include <algorithm>
#include <set>

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
