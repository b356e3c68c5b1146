#include "support/UninstallFixture.h"

#include "foundation/UniqueHandle.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace uninstall_test {

namespace {

struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() {
        if (key != nullptr) RegCloseKey(key);
    }
};

void Check(LONG code, const std::string& what) {
    if (code != ERROR_SUCCESS) throw std::runtime_error(what + " failed with " + std::to_string(code));
}

}  // namespace

void WriteRaw(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes) {
    KeyCloser key;
    Check(RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key.key, nullptr),
          "RegCreateKeyExA(" + subkey + ")");
    Check(RegSetValueExA(key.key, name.empty() ? nullptr : name.c_str(), 0, type,
                         reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
          "RegSetValueExA(" + name + ")");
}

void WriteString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text,
                 DWORD type) {
    WriteRaw(root, subkey, name, type, text + std::string(1, '\0'));
}

RawValue ReadRaw(HKEY root, const std::string& subkey, const std::string& name) {
    RawValue value;
    KeyCloser key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key.key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    const char* valueName = name.empty() ? nullptr : name.c_str();
    if (RegQueryValueExA(key.key, valueName, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
    value.bytes.resize(size);
    Check(RegQueryValueExA(key.key, valueName, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.bytes[0]), &size),
          "RegQueryValueExA(" + name + ")");
    value.bytes.resize(size);
    value.exists = true;
    return value;
}

std::string ReadString(HKEY root, const std::string& subkey, const std::string& name) {
    const std::string bytes = ReadRaw(root, subkey, name).bytes;
    return bytes.substr(0, bytes.find('\0'));
}

bool KeyExists(HKEY root, const std::string& subkey) {
    KeyCloser key;
    return RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key.key) == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const std::string& subkey) {
    KeyCloser key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key.key) != ERROR_SUCCESS) return;
    char name[256];
    DWORD length = sizeof name;
    while (RegEnumKeyExA(key.key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(root, subkey + "\\" + name);
        length = sizeof name;
    }
    RegDeleteKeyA(root, subkey.c_str());
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file) throw std::runtime_error("cannot write " + path);
}

std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + path);
}

std::string CommandList(const Commands& commands) {
    std::string list;
    for (const auto& command : commands) {
        if (!list.empty()) list += ' ';
        list += '"' + command.first + command.second + '"';
    }
    return list;
}

std::vector<std::string> PendingDeletions() {
    const RawValue value =
        ReadRaw(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations");
    std::vector<std::string> entries;
    for (size_t start = 0; start < value.bytes.size();) {
        const size_t end = value.bytes.find('\0', start);
        if (end == std::string::npos || end == start) break;
        entries.push_back(value.bytes.substr(start, end - start));
        start = end + 1;
        const size_t targetEnd = value.bytes.find('\0', start);
        if (targetEnd == std::string::npos) break;
        if (targetEnd == start && entries.back().compare(0, 4, "\\??\\") == 0)
            entries.back() = entries.back().substr(4);
        else
            entries.pop_back();
        start = targetEnd + 1;
    }
    return entries;
}

CapturedOutput::CapturedOutput() {
    char directory[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "out", 0, path);
    m_path = path;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    m_file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable,
                         CREATE_ALWAYS, 0, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot capture output in " + m_path);
    m_previous = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, m_file);
}

CapturedOutput::~CapturedOutput() { Text(); }

std::string CapturedOutput::Text() {
    if (m_active) {
        SetStdHandle(STD_OUTPUT_HANDLE, m_previous);
        CloseHandle(m_file);
        m_active = false;
    }
    return ReadFileText(m_path);
}

}  // namespace uninstall_test
