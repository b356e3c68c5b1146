// A folder link (what a junction is to Windows programs) made the only way
// Wine offers: a symbolic link in the host's file system, made by the host's
// ln through Wine's start of host programs. Wine shows it with
// FILE_ATTRIBUTE_REPARSE_POINT, and paths through it reach the target.
// A file link is made the same way; Wine shows it as a plain file.
#pragma once

#include <string>

namespace uninstall_test {

// The host's name of a path that Wine can map. Throws std::runtime_error.
std::string HostPath(const std::string& path);

// `link` must not exist; `target` must. Throws std::runtime_error.
void MakeLink(const std::string& link, const std::string& target);

// A registry link HKEY_LOCAL_MACHINE\`link` to HKEY_LOCAL_MACHINE\`target`
// (volatile: Wine makes links of that kind). Throws std::runtime_error.
void MakeRegistryLink(const std::string& link, const std::string& target);

}  // namespace uninstall_test
