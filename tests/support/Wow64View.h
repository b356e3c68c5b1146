// What this build's programs see of 64-bit Windows. The 32-bit build there
// runs under WoW64: its registry view of HKLM\SOFTWARE is the 64-bit view's
// HKLM\SOFTWARE\WOW6432Node (the Classes keys are shared by both views; the
// Environment under SYSTEM is not redirected) and its Program Files folder
// is "C:\Program Files (x86)"; its system directory keeps the name
// system32 (the file system redirects it). The 64-bit build and every
// program on 32-bit Windows see the native view and folder.
#pragma once

#include "foundation/Win.h"

#include <string>

namespace wow64_test {

// The 32-bit build on 64-bit Windows.
bool UnderWow64();

// The installed-programs list reads the Uninstall keys of both views: these
// are the key's paths in the 64-bit view (the only view on 32-bit Windows).
const char kNativeUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kWow64Uninstall[] = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Whether HKLM\subkey exists in the 64-bit view (KEY_WOW64_64KEY; ignored
// on 32-bit Windows).
bool ExistsIn64BitView(const std::string& subkey);
// The default value of HKLM\subkey read through the given view flag.
std::string DefaultValueInView(const std::string& subkey, REGSAM view);

// "C:\Program Files", or "C:\Program Files (x86)" under WoW64.
std::string ExpectedProgramFiles();

}  // namespace wow64_test
