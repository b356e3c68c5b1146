// Path names. Full path names are the form in which the installer stores folders and the
// uninstaller compares them: drive or UNC root, backslashes only, no "." or
// ".." components, no trailing backslash except after a drive root.
#pragma once

#include <string>

// The full path of `path` as GetFullPathName resolves it against the current
// directory ("C:/Apps/Q/" -> "C:\Apps\Q", "Q" -> "<current>\Q"); empty when
// the system cannot resolve it.
std::string FullPath(const std::string& path);
std::wstring FullPath(const std::wstring& path);

// The 8.3 form of an existing object's path; empty when the system cannot
// give it or it does not fit the 261-byte buffer of the stored forms.
std::string ShortPathOf(const std::string& path);

// "\\?\..." and "\\.\...": names that skip the system's path rules.
bool IsDevicePath(const std::string& path);
// "\\server\share\...".
bool IsUncPath(const std::string& path);

// Both full paths: `path` names `directory` itself or something below it,
// compared without regard to case.
bool IsSameOrBelow(const std::string& path, const std::string& directory);
// The same without `directory` itself.
bool IsBelow(const std::string& path, const std::string& directory);

// The path without its last component; empty for a root.
std::string ParentPath(const std::string& path);

// Joins two path parts with exactly one backslash between them. A backslash
// at the end of `first` counts only when it is a character of its own, not
// the second byte of a double-byte character of the system's ANSI code page.
std::string JoinPath(const std::string& first, const std::string& second);

// The same with the code page named (0 is the system's ANSI code page).
std::string JoinPath(const std::string& first, const std::string& second, unsigned codePage);
