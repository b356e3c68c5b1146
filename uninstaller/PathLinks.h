// Links (junctions, symbolic links, and what Wine shows for a symbolic link
// of its host) on the way to a path. Removing through a link reaches its
// target. Removing the link itself is what Windows does with a link that a
// deletion call names, but Wine's deletion calls act on the target whatever
// they are asked (a file link does not even show as one), so the uninstaller
// leaves every link alone and keeps what lies behind one.
#pragma once

#include <map>
#include <string>

class PathLinks {
public:
    enum Where { Nowhere, OnTheWay, Itself };

    // `path` is a plain full path (PlainFullPath). Every folder from the
    // root down is looked at, the drive's and the installation's included.
    Where Find(const std::string& path);

private:
    bool IsLink(const std::string& path) const;

    // Folder -> is a link, by upper-case path: a list names many entries
    // in the same few folders.
    std::map<std::string, bool> m_folders;
};
