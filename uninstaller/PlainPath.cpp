#include "uninstaller/PlainPath.h"

#include "foundation/DllLoader.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include <cstring>
#include <vector>

namespace {

// A path that still changes after this many resolutions is no path to use.
const int resolutionRounds = 8;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Names that open a device in any folder, with or without an extension.
bool IsDeviceName(const std::string& name) {
    std::string base = UpperCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : devices)
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
           base[3] <= '9';
}

bool IsPlainName(const std::string& name, bool dotsResolve) {
    if (dotsResolve && (name == "." || name == "..")) return true;
    if (name.empty() || name.find_first_not_of('.') == std::string::npos) return false;
    if (name.back() == '.' || name.back() == ' ') return false;
    if (name.find_first_of(":*?\"<>|") != std::string::npos) return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return !IsDeviceName(name);
}

// The names after "X:\" or "\\" (a server and share are names too); a
// separator at the end stands for nothing.
bool HasPlainNames(const std::string& path, bool dotsResolve) {
    const bool drive = path.size() >= 3 && IsCharAlphaA(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    const bool unc = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]);
    if (!drive && !unc) return false;
    std::string name;
    for (size_t at = drive ? 3 : 2; at <= path.size(); ++at) {
        if (at == path.size() || IsSeparator(path[at])) {
            if (!IsPlainName(name, dotsResolve) && !(at == path.size() && name.empty())) return false;
            name.clear();
        } else {
            // A trail byte of the ANSI code page may look like a backslash.
            if (IsDBCSLeadByte(static_cast<BYTE>(path[at])) && at + 1 < path.size()) name += path[at++];
            name += path[at];
        }
    }
    return true;
}

}  // namespace

std::string PlainFullPath(const std::string& path) {
    if (IsDevicePath(path) || !HasPlainNames(path, true)) return std::string();
    std::string full = path;
    for (int round = 0; round < resolutionRounds; ++round) {
        const std::string next = FullPath(full);
        if (next.empty()) return std::string();
        if (next == full) return HasPlainNames(full, false) ? full : std::string();
        full = next;
    }
    return std::string();
}

std::string LongPathOf(const std::string& path) {
    // Generated short names carry a '~'; without one there is nothing to
    // expand, and the lookup (a folder search per name) is not paid.
    if (path.find('~') == std::string::npos) return path;
    static const auto getLongPath = KernelFunction<decltype(&::GetLongPathNameA)>("GetLongPathNameA");
    if (getLongPath != nullptr) {
        std::vector<char> buffer(MAX_PATH + 1);
        DWORD length = getLongPath(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            length = getLongPath(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        if (length > 0 && length < buffer.size()) return std::string(buffer.data(), length);
    }
    // Not there (yet or any more): the folders above may still be.
    const std::string parent = ParentPath(path);
    if (parent.empty() || getLongPath == nullptr) return path;
    const size_t name = parent.back() == '\\' ? parent.size() : parent.size() + 1;
    return JoinPath(LongPathOf(parent), path.substr(name));
}

std::string ReachedPath(const std::string& path) {
    static const auto finalPath = KernelFunction<decltype(&::GetFinalPathNameByHandleA)>("GetFinalPathNameByHandleA");
    if (finalPath == nullptr) return std::string();
    // No access asked: nothing is read, and no sharing mode is in the way.
    const UniqueFile file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::string();
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD length = finalPath(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = finalPath(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size()) return std::string();
    std::string reached(buffer.data(), length);
    if (reached.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\" + reached.substr(7);
    if (reached.compare(0, 4, "\\\\?\\") == 0) return reached.substr(4);
    return reached;
}
