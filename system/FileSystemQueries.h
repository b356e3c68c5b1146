// Small questions about the file system that the steps ask before they
// create or remove something, and where temporary files go.
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

// The system's temporary directory as GetTempPathA reports it (trailing
// backslash included), also when it is longer than MAX_PATH; empty when the
// call fails, with its error as the thread's last error.
std::string GetTempDirectory();
