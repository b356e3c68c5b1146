#include "foundation/Path.h"

#include "foundation/Text.h"
#include "foundation/Win.h"

#include <vector>

namespace {

template <typename Char, typename Resolve>
std::basic_string<Char> Resolved(const std::basic_string<Char>& path, Resolve resolve) {
    if (path.empty()) return std::basic_string<Char>();
    std::vector<Char> buffer(MAX_PATH + 1);
    DWORD length = resolve(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = resolve(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (length == 0 || length >= buffer.size()) return std::basic_string<Char>();
    std::basic_string<Char> full(buffer.data(), length);
    // "C:\" keeps its backslash; "C:\Q\" and "\\server\share\" lose theirs.
    while (full.size() > 3 && full.back() == Char('\\')) full.pop_back();
    return full;
}

// Bytes of `path` that end its first `length` bytes on a character boundary
// of the ANSI code page.
bool EndsOnCharacter(const std::string& path, size_t length) {
    size_t at = 0;
    while (at < length) at += IsDBCSLeadByte(static_cast<BYTE>(path[at])) ? 2 : 1;
    return at == length;
}

// Walks the text character by character, so that the second byte of a
// double-byte character is never taken for a backslash.
bool EndsWithBackslash(const std::string& path, unsigned codePage) {
    std::size_t lastCharacter = 0;
    for (std::size_t i = 0; i < path.size();) {
        lastCharacter = i;
        bool leadByte = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(path[i])) && i + 1 < path.size();
        i += leadByte ? 2 : 1;
    }
    return !path.empty() && lastCharacter == path.size() - 1 && path[lastCharacter] == '\\';
}

}  // namespace

std::string FullPath(const std::string& path) {
    return Resolved(path, GetFullPathNameA);
}

std::wstring FullPath(const std::wstring& path) {
    return Resolved(path, GetFullPathNameW);
}

bool IsDevicePath(const std::string& path) {
    return path.size() >= 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
           (path[2] == '?' || path[2] == '.') && (path[3] == '\\' || path[3] == '/');
}

bool IsUncPath(const std::string& path) {
    return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
           !IsDevicePath(path);
}

bool IsSameOrBelow(const std::string& path, const std::string& directory) {
    return SameText(path, directory) || IsBelow(path, directory);
}

bool IsBelow(const std::string& path, const std::string& directory) {
    if (directory.empty()) return false;
    // A drive root ends with its backslash already.
    const size_t prefix = directory.back() == '\\' ? directory.size() - 1 : directory.size();
    return path.size() > prefix + 1 && path[prefix] == '\\' && EndsOnCharacter(path, prefix) &&
           SameText(path.substr(0, prefix), directory.substr(0, prefix));
}

std::string ParentPath(const std::string& path) {
    size_t slash = std::string::npos;
    for (size_t at = 0; at < path.size(); at += IsDBCSLeadByte(static_cast<BYTE>(path[at])) ? 2 : 1)
        if (path[at] == '\\') slash = at;
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    // "C:\Q" -> "C:\"
    return path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash);
}

std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

std::string JoinPath(const std::string& first, const std::string& second) {
    return JoinPath(first, second, CP_ACP);
}

std::string JoinPath(const std::string& first, const std::string& second, unsigned codePage) {
    if (first.empty() || second.empty()) return first + second;
    bool firstEnds = EndsWithBackslash(first, codePage);
    bool secondBegins = second.front() == '\\';
    if (firstEnds && secondBegins) return first + second.substr(1);
    if (firstEnds || secondBegins) return first + second;
    return first + '\\' + second;
}
