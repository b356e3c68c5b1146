// What an installation can change, read through the Win32 API: the registry
// trees and the folders the installer writes to. Two snapshots taken before
// and after a run show exactly what the run left behind.
#pragma once

#include "foundation/Win.h"

#include <map>
#include <string>

class SystemSnapshot {
public:
    // Registry: HKLM\SOFTWARE\Classes, the Uninstall key (in both views of
    // 64-bit Windows), both environment keys and the pending file renames. Files: the top level of C:, then
    // C:\Program Files, C:\Apps (used by tests that need parents created),
    // and the per-user and common program-menu and desktop folders.
    static SystemSnapshot Take();

    std::size_t Size() const { return m_entries.size(); }

    // One line per difference: "+ what" (new), "- what" (gone),
    // "~ what: before -> after" (changed); empty when equal.
    friend std::string Difference(const SystemSnapshot& before, const SystemSnapshot& after);

private:
    // view: 0 for the program's own, or KEY_WOW64_32KEY / KEY_WOW64_64KEY.
    void AddRegistryTree(const std::string& rootName, HKEY root, const std::string& subkey, REGSAM view = 0);
    void AddRegistryValue(const std::string& rootName, HKEY root, const std::string& subkey,
                          const std::string& valueName);
    void AddFolder(const std::string& path, bool recursive);

    // Registry keys and values, directories and files, each with a short
    // description of its content.
    std::map<std::string, std::string> m_entries;
};

std::string Difference(const SystemSnapshot& before, const SystemSnapshot& after);
