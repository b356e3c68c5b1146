// Registry keys named by a root and a subkey path, opened or created on
// demand. Every registry call is recorded (name and Win32 result); the first
// failing call throws Norlib::RegException with the key's failure text.
#pragma once

#include "foundation/CallResult.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <string>
#include <vector>

// The root of a full key path: "HKEY_LOCAL_MACHINE", "HKLM", "HKCU", ...
// compared without regard to case; null for any other name.
HKEY RootKeyFromName(const std::string& name);

struct RegEntry {
    enum Kind { Subkey = 1, Value = 2 };

    std::string name;
    int kind;
    DWORD type;  // the value's registry type; 0 for a subkey
};

struct RegKeyTraits {
    using Value = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueRegKey = UniqueOwner<RegKeyTraits>;

class RegKey : public WinCallResult {
public:
    // Enumerate() flags.
    enum : unsigned { Subkeys = 1, Values = 2 };

    // `root` is a predefined root or the open handle of a parent key, which
    // must outlive this object.
    RegKey(HKEY root, const std::string& subkey);
    // "ROOT\sub\key"; a path without a backslash names the root itself.
    explicit RegKey(const std::string& fullPath);

    RegKey(RegKey&&) = default;
    RegKey& operator=(RegKey&&) = default;

    void Open(REGSAM access);
    void Create(REGSAM access, SECURITY_ATTRIBUTES* sa = nullptr);

    // An empty value name addresses the key's default value.
    std::string ReadString(const std::string& valueName, bool expand);
    std::vector<std::string> ReadMultiString(const std::string& valueName);
    void WriteString(const std::string& valueName, const std::string& text, bool expand,
                     SECURITY_ATTRIBUTES* sa = nullptr);
    void WriteMultiString(const std::string& valueName, const std::vector<std::string>& texts,
                          SECURITY_ATTRIBUTES* sa = nullptr);

    // Subkeys (in the system's index order) come before values.
    std::vector<RegEntry> Enumerate(unsigned flags);

    // Recursive: the whole tree, deepest keys first. Not recursive: the key
    // when it has no subkeys, otherwise only its values.
    void Delete(bool recursive);

    HKEY Handle() const { return m_key.get(); }

    static std::string ReadString(const std::string& fullPath, const std::string& valueName, bool expand);
    static void WriteString(const std::string& fullPath, const std::string& valueName, const std::string& text,
                            bool expand);

private:
    struct ValueData {
        DWORD type = 0;
        std::vector<char> bytes;
    };

    // Records the call; throws when it failed.
    void Check(const wchar_t* operation, DWORD code);
    ValueData QueryValue(const std::string& valueName, DWORD wantedType, DWORD otherType);
    std::string Expand(const std::string& text);
    void SetValue(const std::string& valueName, DWORD type, const void* data, DWORD size);
    void EnumerateSubkeys(std::vector<RegEntry>& entries);
    void EnumerateValues(std::vector<RegEntry>& entries);
    void DeleteTree();
    void DeleteValuesOrKey();
    void DeleteKeyItself();

    HKEY m_root;
    std::string m_subkey;
    UniqueRegKey m_key;
};

// A registry key for reads and writes whose failure is an ordinary outcome:
// the first failing call is recorded, the rest of the operation is skipped,
// and the caller asks Succeeded() and Code() afterwards.
class RegKeyNoThrow : public WinCallResult {
public:
    RegKeyNoThrow() = default;

    // The throwing key does the work; its exception skips the rest of the
    // operation, and its record is that of the first failing call. Defined
    // here so that a program that never asks links none of it.

    // Empty text when the read failed.
    std::string ReadString(const std::string& fullPath, const std::string& valueName, bool expand) {
        RegKey key(fullPath);
        std::string text;
        try {
            text = key.ReadString(valueName, expand);
        } catch (const Norlib::RegException&) {
        }
        Assign(key);
        return text;
    }

    bool WriteString(const std::string& fullPath, const std::string& valueName, const std::string& text, bool expand) {
        RegKey key(fullPath);
        try {
            key.WriteString(valueName, text, expand);
        } catch (const Norlib::RegException&) {
        }
        Assign(key);
        return key.Succeeded();
    }
};
