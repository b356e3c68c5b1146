#include "support/SystemSnapshot.h"

#include "foundation/Handle.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"
#include "support/Files.h"
#include "support/Registry.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

std::string Hash(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    char text[24];
    wsprintfA(text, "%08lx%08lx", static_cast<unsigned long>(hash >> 32), static_cast<unsigned long>(hash));
    return text;
}

// Strings as they read (the tests' own texts are printable); anything else
// by size and hash.
std::string DescribeValue(DWORD type, const std::string& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::string text = data;
        for (char& c : text)
            if (c == '\0') c = '|';
        return std::to_string(type) + ":" + text;
    }
    return std::to_string(type) + ":" + std::to_string(data.size()) + " bytes " + Hash(data);
}

void EnableBackupPrivilege() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &opened)) return;
    UniqueHandle token(opened);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeBackupPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

SystemSnapshot SystemSnapshot::Take() {
    SystemSnapshot snapshot;
    snapshot.AddRegistryTree("HKLM", HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes");
    snapshot.AddRegistryTree("HKLM", HKEY_LOCAL_MACHINE, kUninstallRoot);
    // The other view of 64-bit Windows (the same on 32-bit Windows): a run
    // must not leave anything in the view it does not use either.
    snapshot.AddRegistryTree("HKLM(other view)", HKEY_LOCAL_MACHINE, kUninstallRoot,
                             sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
    snapshot.AddRegistryTree("HKLM", HKEY_LOCAL_MACHINE, kMachineEnvironment);
    snapshot.AddRegistryTree("HKCU", HKEY_CURRENT_USER, kUserEnvironment);
    snapshot.AddRegistryValue("HKLM", HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                              "PendingFileRenameOperations");
    snapshot.AddFolder("C:", false);
    snapshot.AddFolder("C:\\Program Files", true);
    snapshot.AddFolder("C:\\Apps", true);
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        snapshot.AddFolder(SpecialFolder(csidl), true);
    return snapshot;
}

// The whole tree in one request: the registry writes it out in its text
// format, every key with its values, sorted. Modification times are left
// out: a key that was written and then restored is as before.
void SystemSnapshot::AddRegistryTree(const std::string& rootName, HKEY root, const std::string& subkey, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return;
    UniqueRegKey key(opened);
    EnableBackupPrivilege();
    std::string file = TemporaryFileName("reg");
    DeleteFileA(file.c_str());  // the registry writes only a file that does not exist
    if (RegSaveKeyA(opened, file.c_str(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot save the registry tree " + subkey);
    std::ifstream in(file, std::ios::binary);
    const std::string tree = rootName + "\\" + subkey;
    m_entries[tree] = "key";
    std::string current = tree;
    std::string line;
    std::string pending;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.back() == '\\') {  // hex data goes on in the next line
            pending += line.substr(0, line.size() - 1);
            continue;
        }
        line = pending + line;
        pending.clear();
        if (line.empty() || line[0] == '#' || line[0] == ';' || line.compare(0, 5, "WINE ") == 0) continue;
        if (line[0] == '[') {
            current = tree + "\\" + line.substr(1, line.rfind(']') - 1);
            m_entries[current] = "key";
        } else {
            m_entries[current + " " + line] = "value";
        }
    }
    in.close();
    DeleteFileA(file.c_str());
}

void SystemSnapshot::AddRegistryValue(const std::string& rootName, HKEY root, const std::string& subkey,
                                      const std::string& valueName) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return;
    UniqueRegKey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return;
    std::string data(size, '\0');
    RegQueryValueExA(opened, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    m_entries[rootName + "\\" + subkey + "\\:" + valueName] = DescribeValue(type, data.substr(0, size));
}

void SystemSnapshot::AddFolder(const std::string& path, bool recursive) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA((path + "\\*").c_str(), &found));
    if (!search.valid()) return;
    std::vector<std::string> folders;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string child = path + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            m_entries[child] = "folder";
            folders.push_back(child);
        } else if (!recursive) {
            m_entries[child] = "file";
        } else {
            const std::string bytes = ReadFileBytes(child);
            m_entries[child] = "file " + std::to_string(bytes.size()) + " bytes " + Hash(bytes);
        }
    } while (FindNextFileA(search.get(), &found));
    if (recursive)
        for (const std::string& folder : folders) AddFolder(folder, true);
}

std::string Difference(const SystemSnapshot& before, const SystemSnapshot& after) {
    std::string lines;
    auto old = before.m_entries.begin();
    auto now = after.m_entries.begin();
    while (old != before.m_entries.end() || now != after.m_entries.end()) {
        if (now == after.m_entries.end() || (old != before.m_entries.end() && old->first < now->first)) {
            lines += "- " + old->first + ": " + old->second + "\n";
            ++old;
        } else if (old == before.m_entries.end() || now->first < old->first) {
            lines += "+ " + now->first + ": " + now->second + "\n";
            ++now;
        } else {
            if (old->second != now->second)
                lines += "~ " + old->first + ": " + old->second + " -> " + now->second + "\n";
            ++old;
            ++now;
        }
    }
    return lines;
}
