#include "uninstaller/PathLinks.h"

#include "foundation/FullPath.h"
#include "foundation/SameText.h"
#include "foundation/Win.h"
#include "uninstaller/PlainPath.h"

#include <vector>

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
