// Registry values and keys as tests arrange and inspect them, directly
// through the system and independently of the code under test, and the
// keys the installation writes to.
#pragma once

#include "foundation/Win.h"

#include <string>

// The key that holds every installed program's key, and the product's own.
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmore";  // HKLM
const char kMachineEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserEnvironment[] = "Environment";  // HKCU

struct RawValue {
    bool exists = false;
    DWORD type = 0;
    std::string bytes;  // exactly as stored, terminators included

    // The bytes without one trailing zero byte.
    std::string Text() const;
};

// Values: the key is created when missing; REG_SZ and REG_EXPAND_SZ get a
// terminating zero byte. WriteRaw stores the bytes exactly. Failures throw.
void WriteString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text,
                 DWORD type = REG_SZ);
void WriteRaw(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes);
RawValue ReadRaw(HKEY root, const std::string& subkey, const std::string& name);
// The string up to its first zero byte; empty when missing.
std::string ReadString(HKEY root, const std::string& subkey, const std::string& name);
void DeleteValue(HKEY root, const std::string& subkey, const std::string& name);
bool KeyExists(HKEY root, const std::string& subkey);
void DeleteTree(HKEY root, const std::string& subkey);
