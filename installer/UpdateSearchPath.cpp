#include "installer/UpdateSearchPath.h"

#include "foundation/RegKey.h"
#include "foundation/Win.h"
#include "system/SystemInfo.h"

namespace {

const char kMachineEnvironmentKey[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserEnvironmentKey[] = "HKEY_CURRENT_USER\\Environment";
const char kPathValueName[] = "PATH";
const UINT kBroadcastTimeoutMs = 2000;

struct PathValue {
    std::string text;
    bool appendable;  // read, or not there yet (code 2)
    bool holdsDirectory;
};

PathValue ReadPathValue(const char* key, const std::string& installDir) {
    RegKeyNoThrow registry;
    PathValue value;
    value.text = registry.ReadString(key, kPathValueName, false);
    value.appendable = registry.Succeeded() || registry.Code() == ERROR_FILE_NOT_FOUND;
    value.holdsDirectory = false;
    if (registry.Succeeded()) {
        for (const std::string& entry : SplitList(value.text, ';'))
            if (SameTextIgnoringCase(entry, installDir)) value.holdsDirectory = true;
    }
    return value;
}

// Stored as REG_EXPAND_SZ whatever the type was: the other entries may
// refer to environment variables.
bool AppendDirectory(const char* key, const PathValue& value, const std::string& installDir) {
    std::string text = value.text;
    if (!text.empty()) text += ';';
    text += installDir;
    return RegKeyNoThrow().WriteString(key, kPathValueName, text, true);
}

void BroadcastEnvironmentChange() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"), SMTO_NORMAL,
                        kBroadcastTimeoutMs, &ignored);
}

}  // namespace

void UpdateSearchPath(const std::string& installDir, bool allUsers) {
    if (SystemInfo().IsNtFamily())
        UpdateRegistrySearchPath(installDir, allUsers);
    else
        UpdateAutoexecSearchPath(installDir);
}

// A directory on the machine path is never added to the user path; an
// administrator installation that cannot change the machine path changes
// the user path instead.
void UpdateRegistrySearchPath(const std::string& installDir, bool allUsers) {
    const PathValue machine = ReadPathValue(kMachineEnvironmentKey, installDir);
    const PathValue user = ReadPathValue(kUserEnvironmentKey, installDir);
    if (machine.holdsDirectory) return;

    bool changed = allUsers && machine.appendable && AppendDirectory(kMachineEnvironmentKey, machine, installDir);
    if (!changed && !user.holdsDirectory && user.appendable)
        changed = AppendDirectory(kUserEnvironmentKey, user, installDir);
    if (changed) BroadcastEnvironmentChange();
}

namespace {

std::string Lowered(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return pieces;
        start = end + 1;
    }
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && Lowered(a) == Lowered(b);
}
