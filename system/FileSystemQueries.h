// Small questions about the file system that the steps ask before they
// create or remove something.
#pragma once

#include <string>

// FindFirstFileA finds an object of that name.
bool PathExists(const std::string& path);

// The attributes have FILE_ATTRIBUTE_DIRECTORY. A path that cannot be
// queried gives true as well (the error value has every bit set): ask only
// about paths that exist.
bool IsDirectory(const std::string& path);

// No entry but "." and ".."; also true when the directory cannot be listed.
bool IsDirectoryEmpty(const std::string& directory);
