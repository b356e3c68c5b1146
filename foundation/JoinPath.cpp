#include "foundation/JoinPath.h"

#include "foundation/Win.h"

namespace {

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
