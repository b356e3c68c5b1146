#include "support/Registry.h"

#include <stdexcept>

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

void WriteString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text, DWORD type) {
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

void DeleteValue(HKEY root, const std::string& subkey, const std::string& name) {
    RegDeleteKeyValueA(root, subkey.c_str(), name.c_str());
}

std::string RawValue::Text() const {
    return !bytes.empty() && bytes.back() == '\0' ? bytes.substr(0, bytes.size() - 1) : bytes;
}
