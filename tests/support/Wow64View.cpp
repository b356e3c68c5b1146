#include "support/Wow64View.h"

#include "foundation/RegKey.h"

namespace wow64_test {

namespace {

UniqueRegKey OpenInView(const std::string& subkey, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(opened);
}

}  // namespace

bool UnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool ExistsIn64BitView(const std::string& subkey) {
    return OpenInView(subkey, KEY_WOW64_64KEY).valid();
}

std::string DefaultValueInView(const std::string& subkey, REGSAM view) {
    UniqueRegKey key = OpenInView(subkey, view);
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (!key.valid() ||
        RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return value;
}

std::string ExpectedProgramFiles() {
    return UnderWow64() ? "C:\\Program Files (x86)" : "C:\\Program Files";
}

}  // namespace wow64_test
