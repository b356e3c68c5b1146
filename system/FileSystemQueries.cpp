#include "system/FileSystemQueries.h"

#include "foundation/JoinPath.h"
#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"

#include <cstring>

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
