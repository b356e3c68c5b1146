#include "foundation/RegKey.h"

#include "foundation/Errors.h"

#include <mbstring.h>

#include <cstring>
#include <iterator>

namespace {

struct RootName {
    const char* name;
    HKEY root;
};

const RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

// Name buffers of enumerations: one byte more than the size passed.
constexpr DWORD kNameBufferSize = 262;
constexpr DWORD kNameSizePassed = 261;

// Empty value names address the default value; an empty subkey path in an
// open call addresses the root itself.
const char* NullWhenEmpty(const std::string& name) {
    return name.empty() ? nullptr : name.c_str();
}

std::string RootPart(const std::string& fullPath) {
    return fullPath.substr(0, fullPath.find('\\'));
}

std::string SubkeyPart(const std::string& fullPath) {
    std::size_t backslash = fullPath.find('\\');
    return backslash == std::string::npos ? std::string() : fullPath.substr(backslash + 1);
}

DWORD DataSize(const std::string& text) {
    return static_cast<DWORD>(text.size() + 1);
}

}  // namespace

HKEY RootKeyFromName(const std::string& name) {
    for (const RootName& entry : kRootNames) {
        auto candidate = reinterpret_cast<const unsigned char*>(entry.name);
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(name.c_str()), candidate) == 0) return entry.root;
    }
    return nullptr;
}

RegKey::RegKey(HKEY root, const std::string& subkey) : m_root(root), m_subkey(subkey) {}

RegKey::RegKey(const std::string& fullPath)
    : m_root(RootKeyFromName(RootPart(fullPath))), m_subkey(SubkeyPart(fullPath)) {}

void RegKey::Check(const wchar_t* operation, DWORD code) {
    Record(operation, code);
    if (code != ERROR_SUCCESS) throw Norlib::RegException(*this);
}

void RegKey::Open(REGSAM access) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(m_root, NullWhenEmpty(m_subkey), 0, access, &key);
    Check(L"RegOpenKeyExA()", result);
    m_key.reset(key);
}

void RegKey::Create(REGSAM access, SECURITY_ATTRIBUTES* sa) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result =
        RegCreateKeyExA(m_root, m_subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, sa, &key, &disposition);
    Check(L"RegCreateKeyExA()", result);
    m_key.reset(key);
}

RegKey::ValueData RegKey::QueryValue(const std::string& valueName, DWORD wantedType, DWORD otherType) {
    Open(KEY_QUERY_VALUE);
    ValueData value;
    DWORD size = 0;
    LONG result = RegQueryValueExA(m_key.get(), NullWhenEmpty(valueName), nullptr, &value.type, nullptr, &size);
    Check(L"RegQueryValueExA()", result);
    if (value.type != wantedType && value.type != otherType) Check(L"RegQueryValueExA()", ERROR_INVALID_DATATYPE);
    value.bytes.resize(size);
    result = RegQueryValueExA(m_key.get(), NullWhenEmpty(valueName), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    Check(L"RegQueryKeyEx()", result);
    value.bytes.resize(size);
    if (!value.bytes.empty() && value.bytes.back() != '\0') Check(L"RegQueryValueExA()", ERROR_INVALID_DATA);
    return value;
}

std::string RegKey::ReadString(const std::string& valueName, bool expand) {
    ValueData value = QueryValue(valueName, REG_SZ, REG_EXPAND_SZ);
    if (value.bytes.empty()) return std::string();
    std::string text(value.bytes.data());
    if (value.type == REG_EXPAND_SZ && expand) return Expand(text);
    return text;
}

std::string RegKey::Expand(const std::string& text) {
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) Check(L"ExpandEnvironmentStringsA()", GetLastError());
    std::vector<char> buffer(needed + 2, '\0');
    if (ExpandEnvironmentStringsA(text.c_str(), buffer.data(), needed + 1) == 0)
        Check(L"ExpandEnvironmentStringsA()", GetLastError());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

std::vector<std::string> RegKey::ReadMultiString(const std::string& valueName) {
    ValueData value = QueryValue(valueName, REG_MULTI_SZ, REG_MULTI_SZ);
    std::vector<std::string> texts;
    std::size_t counted = value.bytes.size();
    if (counted <= 1) return texts;
    // The usual double terminator ends the list; a single one ends the last text.
    if (value.bytes[counted - 2] == '\0') --counted;
    for (std::size_t position = 0; position < counted;) {
        texts.emplace_back(value.bytes.data() + position);
        position += texts.back().size() + 1;
    }
    return texts;
}

void RegKey::SetValue(const std::string& valueName, DWORD type, const void* data, DWORD size) {
    LONG result = RegSetValueExA(m_key.get(), NullWhenEmpty(valueName), 0, type, static_cast<const BYTE*>(data), size);
    Check(L"RegSetValueExA()", result);
}

void RegKey::WriteString(const std::string& valueName, const std::string& text, bool expand, SECURITY_ATTRIBUTES* sa) {
    Create(KEY_SET_VALUE, sa);
    SetValue(valueName, expand ? REG_EXPAND_SZ : REG_SZ, text.c_str(), DataSize(text));
}

void RegKey::WriteMultiString(const std::string& valueName, const std::vector<std::string>& texts,
                              SECURITY_ATTRIBUTES* sa) {
    Create(KEY_SET_VALUE, sa);
    std::string data;
    for (const std::string& text : texts) data.append(text).push_back('\0');
    data.push_back('\0');
    // An empty list is stored as two zero bytes.
    if (texts.empty()) data.push_back('\0');
    SetValue(valueName, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
}

std::vector<RegEntry> RegKey::Enumerate(unsigned flags) {
    std::vector<RegEntry> entries;
    REGSAM access = 0;
    if (flags & Subkeys) access |= KEY_ENUMERATE_SUB_KEYS;
    if (flags & Values) access |= KEY_QUERY_VALUE;
    Open(access);
    if (flags & Subkeys) EnumerateSubkeys(entries);
    if (flags & Values) EnumerateValues(entries);
    return entries;
}

void RegKey::EnumerateSubkeys(std::vector<RegEntry>& entries) {
    for (DWORD index = 0;; ++index) {
        char name[kNameBufferSize] = {};
        DWORD size = kNameSizePassed;
        LONG result = RegEnumKeyExA(m_key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return;
        Check(L"RegEnumKeyExA()", result);
        entries.push_back(RegEntry{name, RegEntry::Subkey, 0});
    }
}

void RegKey::EnumerateValues(std::vector<RegEntry>& entries) {
    for (DWORD index = 0;; ++index) {
        char name[kNameBufferSize] = {};
        DWORD size = kNameSizePassed;
        DWORD type = 0;
        LONG result = RegEnumValueA(m_key.get(), index, name, &size, nullptr, &type, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return;
        Check(L"RegEnumValueA()", result);
        entries.push_back(RegEntry{name, RegEntry::Value, type});
    }
}

void RegKey::Delete(bool recursive) {
    try {
        if (recursive)
            DeleteTree();
        else
            DeleteValuesOrKey();
    } catch (const Norlib::RegException& e) {
        // A failure in a subkey's object shows in this one too.
        Record(e.OperationName(), e.ErrorCode());
        throw;
    }
}

void RegKey::DeleteTree() {
    for (const RegEntry& subkey : Enumerate(Subkeys)) RegKey(m_key.get(), subkey.name).Delete(true);
    DeleteKeyItself();
}

void RegKey::DeleteValuesOrKey() {
    if (Enumerate(Subkeys).empty()) {
        DeleteKeyItself();
        return;
    }
    for (const RegEntry& value : Enumerate(Values)) {
        Open(KEY_SET_VALUE);
        Check(L"RegDeleteValueA()", RegDeleteValueA(m_key.get(), NullWhenEmpty(value.name)));
    }
}

void RegKey::DeleteKeyItself() {
    Check(L"RegDeleteKeyA()", RegDeleteKeyA(m_root, m_subkey.c_str()));
}

std::string RegKey::ReadString(const std::string& fullPath, const std::string& valueName, bool expand) {
    return RegKey(fullPath).ReadString(valueName, expand);
}

void RegKey::WriteString(const std::string& fullPath, const std::string& valueName, const std::string& text,
                         bool expand) {
    RegKey(fullPath).WriteString(valueName, text, expand);
}
