#include "system/FileSystemQueries.h"

#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "foundation/Win.h"

#include <cstring>
#include <vector>

bool PathExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(path.c_str(), &found));
    return search.valid();
}

bool IsDirectory(const std::string& path) {
    return (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDirectoryEmpty(const std::string& directory) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(JoinPath(directory, "*").c_str(), &found));
    if (!search.valid()) return true;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) return false;
    } while (FindNextFileA(search.get(), &found));
    return true;
}

std::string GetTempDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length >= buffer.size()) length = 0;  // grew again meanwhile
    }
    return std::string(buffer.data(), length);
}
