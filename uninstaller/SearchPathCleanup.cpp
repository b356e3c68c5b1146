#include "uninstaller/SearchPathCleanup.h"

#include "foundation/Errors.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include <algorithm>
#include <vector>

namespace {

struct PathValue {
    std::string name;  // as stored ("PATH", "Path", ...)
    DWORD type = 0;
    std::vector<char> data;
};

// The registry compares value names without regard to case; writing back
// under the stored name keeps its spelling.
bool FindPathValueName(HKEY key, std::string& name) {
    for (DWORD index = 0;; ++index) {
        char buffer[16384];
        DWORD length = sizeof buffer;
        const LONG code = RegEnumValueA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (code == ERROR_NO_MORE_ITEMS) return false;
        if (code == ERROR_SUCCESS && SameText(buffer, "PATH")) {
            name = buffer;
            return true;
        }
        if (code != ERROR_SUCCESS && code != ERROR_MORE_DATA) return false;
    }
}

LONG ReadWhole(HKEY key, PathValue& value) {
    DWORD size = 0;
    LONG code = RegQueryValueExA(key, value.name.c_str(), nullptr, &value.type, nullptr, &size);
    while (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
        value.data.resize(size);
        code = RegQueryValueExA(key, value.name.c_str(), nullptr, &value.type,
                                reinterpret_cast<BYTE*>(value.data.data()), &size);
        if (code == ERROR_SUCCESS) {
            value.data.resize(size);
            return code;
        }
    }
    return code;
}

LONG WriteBack(HKEY key, const PathValue& value, const std::string& text) {
    if (text.empty()) return RegDeleteValueA(key, value.name.c_str());
    // Whatever followed the text (its terminator) stays as it was.
    std::vector<char> data(text.begin(), text.end());
    data.insert(data.end(), std::find(value.data.begin(), value.data.end(), '\0'), value.data.end());
    return RegSetValueExA(key, value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

// True when the value was changed.
bool CleanPathValue(HKEY root, const std::string& subkey, const std::string& installDir, Report& report) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return false;
    const UniqueRegKey key(opened);
    PathValue value;
    if (!FindPathValueName(key.get(), value.name)) return false;
    LONG code = ReadWhole(key.get(), value);
    if (code == ERROR_SUCCESS) {
        if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return false;
        std::string text(value.data.begin(), std::find(value.data.begin(), value.data.end(), '\0'));
        if (!RemovePathEntry(text, installDir)) return false;
        code = WriteBack(key.get(), value, text);
        if (code == ERROR_SUCCESS) return true;
    }
    const std::string rootName = root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    report.Failure(SearchPathUpdateFailedLine(rootName + subkey, DescribeWindowsError(code)));
    return false;
}

}  // namespace

bool RemovePathEntry(std::string& text, const std::string& directory) {
    std::string kept;
    bool removed = false, first = true;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(';', start);
        const std::string entry = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (SameText(entry, directory)) {
            removed = true;
        } else {
            if (!first) kept += ';';
            kept += entry;
            first = false;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (removed) text = kept;
    return removed;
}

void RemoveFromSearchPaths(const std::string& installDir, Report& report) {
    if (installDir.empty()) return;
    bool changed = false;
    const struct {
        HKEY root;
        const char* subkey;
    } environments[] = {
        {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"},
        {HKEY_CURRENT_USER, "Environment"},
    };
    for (const auto& environment : environments)
        if (CleanPathValue(environment.root, environment.subkey, installDir, report)) changed = true;
    if (changed) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"), SMTO_NORMAL,
                            2000, &ignored);
    }
}
