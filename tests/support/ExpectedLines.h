// Console lines that several tests expect, written out once, as users and
// scripts read them (misspellings included); never taken from the product.
#pragma once

#include <string>

namespace expected {

// The installer.
inline std::string Completed(const std::string& version = "4.33") {
    return "Vantrel Quillmore " + version + " installation completed";
}
inline std::string Uninstalling(const std::string& version) {
    return "Uninstalling the existing Quillmore " + version + " installation\n";
}
constexpr char kUninstallerFailed12[] =
    "Uninstaller failed with error code 12: Loading uninstallation information failed";
constexpr char kUninstallerFailed13[] =
    "Uninstaller failed with error code 13: Uninstallation failed partally or completely";
constexpr char kUseForce[] = " (use /Force flag to override uninstallation failure); aborting\n";

// The uninstaller.
constexpr char kRemoved[] = "Quillmore uninstallation completed\n";
constexpr char kLoadFailed[] = "Loading uninstallation information failed: ";
constexpr char kUnparsable[] =
    "Loading uninstallation information failed: the uninstallation command list cannot be parsed: ";

}  // namespace expected
